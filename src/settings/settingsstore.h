// The per-user settings store: QSettings under the application name "Tarvos2006", section
// "用户设置", one string value per key, in a plain UTF-8 INI file (see inifile.h) whose keys keep
// the order in which the program defines its settings.
#pragma once

#include <QSettings>
#include <QString>
#include <memory>

namespace orvane {

class SettingsStore {
public:
    // The user's own store (on Linux ~/.config/Tarvos2006/Tarvos2006.ini).
    SettingsStore();
    // A store in the given file (tests).
    explicit SettingsStore(const QString &filePath);
    ~SettingsStore();

    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    // The empty text when the key is missing.
    QString read(const QString &key) const;
    void write(const QString &key, const QString &value);

    // Writes pending changes to the file now. When the file cannot be written (read-only
    // folder, full disk) the old file stays as it was, the changes stay in the store for this
    // run, and syncError() says which file and why; false then.
    bool sync();
    // The message of the last sync when it failed, else empty.
    QString syncError() const;
    QString fileName() const;

    static QString applicationName() { return QStringLiteral("Tarvos2006"); }
    static QString section() { return QStringLiteral("用户设置"); }

    // The registered QSettings format of the file.
    static QSettings::Format format();

private:
    std::unique_ptr<QSettings> m_settings;
    QString m_syncError;
};

} // namespace orvane
