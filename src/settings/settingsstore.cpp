#include "settings/settingsstore.h"

#include "settings/inifile.h"
#include "settings/usersettings.h"

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

bool writeSettingsFile(QIODevice &device, const QSettings::SettingsMap &map)
{
    QList<IniEntry> entries;
    entries.reserve(map.size());
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        entries.append({it.key(), it.value().toString()});
    std::stable_sort(entries.begin(), entries.end(), [](const IniEntry &a, const IniEntry &b) {
        return keyRank(a.key) < keyRank(b.key);
    });
    const QByteArray bytes = writeIni(entries);
    return device.write(bytes) == bytes.size();
}

} // namespace

QSettings::Format SettingsStore::format()
{
    static const QSettings::Format registered =
        QSettings::registerFormat(QStringLiteral("ini"), readSettingsFile, writeSettingsFile);
    return registered;
}

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(format(), QSettings::UserScope, applicationName(),
                                             applicationName()))
{
}

SettingsStore::SettingsStore(const QString &filePath)
    : m_settings(std::make_unique<QSettings>(filePath, format()))
{
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::read(const QString &key) const
{
    return m_settings->value(section() + QLatin1Char('/') + key).toString();
}

void SettingsStore::write(const QString &key, const QString &value)
{
    m_settings->setValue(section() + QLatin1Char('/') + key, value);
}

void SettingsStore::sync()
{
    m_settings->sync();
}

QString SettingsStore::fileName() const
{
    return m_settings->fileName();
}

} // namespace orvane
