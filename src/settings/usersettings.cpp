#include "settings/usersettings.h"

#include "settings/settingsstore.h"

#include <array>
#include <limits>
#include <optional>

namespace orvane {

namespace {

std::optional<quint32> decodeColor(const QString &text)
{
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok);
    if (!ok || v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<quint32>::max())
        return std::nullopt;
    return static_cast<quint32>(v);
}

std::optional<bool> decodeSwitch(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return v != 0.0;
}

std::optional<int> decodeMinutes(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < std::numeric_limits<qint16>::min() || v > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return v;
}

// A time limit the options dialog could have stored (5 to 99 minutes); anything else in the
// file (0 or a negative number would give a countdown that never ends) is the default.
int loadedLimitMinutes(const QString &text)
{
    const std::optional<int> minutes = decodeMinutes(text);
    if (!minutes || *minutes < kMinLimitMinutes || *minutes > kMaxLimitMinutes)
        return defaults::LimitMinutes;
    return *minutes;
}

quint32 *colorField(UserSettings &s, SettingKey key)
{
    switch (key) {
    case SettingKey::AltColor1: return &s.AltColor1;
    case SettingKey::AltColor2: return &s.AltColor2;
    case SettingKey::RightColor: return &s.RightColor;
    case SettingKey::ErrorColor: return &s.ErrorColor;
    case SettingKey::SymbolColor: return &s.SymbolColor;
    case SettingKey::AlphaColor: return &s.AlphaColor;
    default: return nullptr;
    }
}

bool *switchField(UserSettings &s, SettingKey key)
{
    switch (key) {
    case SettingKey::NeedShortCodeTips: return &s.NeedShortCodeTips;
    case SettingKey::NeedSegmentation: return &s.NeedSegmentation;
    case SettingKey::AutoOpenIme: return &s.AutoOpenIme;
    case SettingKey::LimitTime: return &s.LimitTime;
    default: return nullptr;
    }
}

} // namespace

QString encodeColor(quint32 color)
{
    return QString::number(static_cast<qint32>(color));
}

QString encodeSwitch(bool on)
{
    return on ? QStringLiteral("True") : QStringLiteral("False");
}

UserSettings DefaultUserSettings()
{
    UserSettings settings;
    for (const SettingKey key : allSettingKeys()) {
        const QString text = settingDefaultText(key);
        if (quint32 *c = colorField(settings, key))
            *c = *decodeColor(text);
        else if (bool *b = switchField(settings, key))
            *b = *decodeSwitch(text);
        else
            settings.LimitMinutes = decodeMinutes(text).value_or(defaults::LimitMinutes);
    }
    return settings;
}

void LoadUserSettings(SettingsStore &store, UserSettings &settings)
{
    for (const SettingKey key : allSettingKeys()) {
        const QString name = settingKeyName(key);
        if (store.read(name).isEmpty())
            store.write(name, settingDefaultText(key));
    }
    store.sync();

    for (const SettingKey key : allSettingKeys()) {
        const QString text = store.read(settingKeyName(key));
        const QString fallback = settingDefaultText(key);
        if (quint32 *c = colorField(settings, key)) {
            *c = decodeColor(text).value_or(*decodeColor(fallback));
        } else if (bool *b = switchField(settings, key)) {
            *b = decodeSwitch(text).value_or(*decodeSwitch(fallback));
        } else {
            settings.LimitMinutes = loadedLimitMinutes(text);
        }
    }
}

void StoreColor(SettingsStore &store, UserSettings &settings, SettingKey key, quint32 color)
{
    quint32 *field = colorField(settings, key);
    Q_ASSERT(field);
    if (!field)
        return;
    *field = color;
    store.write(settingKeyName(key), encodeColor(color));
    store.sync();
}

void StoreSwitch(SettingsStore &store, UserSettings &settings, SettingKey key, bool on)
{
    bool *field = switchField(settings, key);
    Q_ASSERT(field);
    if (!field)
        return;
    *field = on;
    store.write(settingKeyName(key), encodeSwitch(on));
    store.sync();
}

void StoreLimitMinutes(SettingsStore &store, UserSettings &settings, const QString &text)
{
    store.write(settingKeyName(SettingKey::LimitMinutes), text);
    store.sync();
    settings.LimitMinutes = decodeMinutes(text).value_or(settings.LimitMinutes);
}

} // namespace orvane
