#include "settings/settingsstore.h"

#include "core/savefile.h"
#include "settings/inifile.h"
#include "settings/settingkeys.h"

#include <QDir>
#include <QFileDevice>
#include <QFileInfo>
#include <QIODevice>
#include <algorithm>

namespace orvane {

namespace {

bool readSettingsFile(QIODevice &device, QSettings::SettingsMap &map)
{
    const IniParseResult parsed = parseIni(device.readAll());
    for (const IniEntry &e : parsed.entries)
        map.insert(e.key, e.value);
    return true;
}

// Rank of a key in the file: the user settings in their defined order first, then the rest in
// the map's (alphabetical) order.
int keyRank(const QString &key)
{
    const QString prefix = SettingsStore::section() + QLatin1Char('/');
    if (!key.startsWith(prefix))
        return settingKeyCount();
    const int i = settingKeyIndex(key.mid(prefix.size()));
    return i < 0 ? settingKeyCount() : i;
}

QByteArray settingsFileBytes(const QSettings::SettingsMap &map)
{
    QList<IniEntry> entries;
    entries.reserve(map.size());
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        entries.append({it.key(), it.value().toString()});
    std::stable_sort(entries.begin(), entries.end(),
        [](const IniEntry &a, const IniEntry &b) { return keyRank(a.key) < keyRank(b.key); });
    return writeIni(entries);
}

bool writeSettingsFile(QIODevice &device, const QSettings::SettingsMap &map)
{
    const QByteArray bytes = settingsFileBytes(map);
    if (device.write(bytes) != bytes.size())
        return false;
    // QSettings writes through a QSaveFile whose commit() (Qt 6.4) renames over the old file even
    // when flushing the buffer failed: flush here, so that a full disk keeps the old file.
    auto *file = qobject_cast<QFileDevice *>(&device);
    return !file || file->flush();
}

} // namespace

QSettings::Format SettingsStore::format()
{
    static const QSettings::Format registered =
        QSettings::registerFormat(QStringLiteral("ini"), readSettingsFile, writeSettingsFile);
    return registered;
}

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(format(), QSettings::UserScope, applicationName(), applicationName()))
{ }

SettingsStore::SettingsStore(const QString &filePath) : m_settings(std::make_unique<QSettings>(filePath, format())) { }

SettingsStore::~SettingsStore() = default;

QString SettingsStore::read(const QString &key) const
{
    return m_settings->value(section() + QLatin1Char('/') + key).toString();
}

void SettingsStore::write(const QString &key, const QString &value)
{
    m_settings->setValue(section() + QLatin1Char('/') + key, value);
}

bool SettingsStore::sync()
{
    m_settings->sync();
    if (m_settings->status() == QSettings::NoError) {
        m_syncError.clear();
        return true;
    }
    // QSettings says only that it failed. Writing the same content ourselves either succeeds (the
    // settings are saved after all) or gives the system's reason for the user.
    QSettings::SettingsMap map;
    const QStringList keys = m_settings->allKeys();
    for (const QString &key : keys)
        map.insert(key, m_settings->value(key));
    QString error;
    if (QDir().mkpath(QFileInfo(fileName()).absolutePath()) && saveFile(fileName(), settingsFileBytes(map), &error)) {
        m_syncError.clear();
        return true;
    }
    if (error.isEmpty())
        error = writeErrorMessage(fileName(), QStringLiteral("无法建立文件夹"));
    m_syncError = error;
    return false;
}

QString SettingsStore::syncError() const
{
    return m_syncError;
}

QString SettingsStore::fileName() const
{
    return m_settings->fileName();
}

} // namespace orvane
