// The eleven persistent user settings: six colours, four switches and the time limit.
//
// Colours are 0x00BBGGRR values. In the store every value is a string: a colour is the decimal
// text of its value as a signed 32-bit integer, a switch the word True or False (on reading also
// a decimal number, non-zero meaning true), the minutes decimal text.
#pragma once

#include "settings/settingkeys.h"

#include <QString>
#include <QtGlobal>

namespace orvane {

class SettingsStore;

struct UserSettings {
    quint32 AltColor1 = 0;
    quint32 AltColor2 = 0;
    quint32 SymbolColor = 0;
    quint32 RightColor = 0;
    quint32 ErrorColor = 0;
    quint32 AlphaColor = 0;
    bool NeedSegmentation = false;
    bool NeedShortCodeTips = false;
    bool AutoOpenIme = false;
    bool LimitTime = false;
    int LimitMinutes = 0;
    bool operator==(const UserSettings &) const = default;
};

namespace defaults {
inline constexpr quint32 AltColor1 = 0x000000;
inline constexpr quint32 AltColor2 = 0xFF0000;
inline constexpr quint32 SymbolColor = 0xFF00FF;
inline constexpr quint32 RightColor = 0x00FF00;
inline constexpr quint32 ErrorColor = 0x0000FF;
inline constexpr quint32 AlphaColor = 0xFFFF00;
inline constexpr int LimitMinutes = 5;
} // namespace defaults

// The time limits the options dialog accepts; loading takes the default for any other value.
inline constexpr int kMinLimitMinutes = 5;
inline constexpr int kMaxLimitMinutes = 99;

QString encodeColor(quint32 color);
QString encodeSwitch(bool on);

// The settings of a first run: every field at its default.
UserSettings DefaultUserSettings();

// Fills settings from the store, first writing the default of every key whose value is missing
// or empty. A non-empty value is never rewritten; one that does not convert (letters in a
// colour key, say), and a time limit outside 5 to 99 minutes, leaves the field at its default
// for this run.
void LoadUserSettings(SettingsStore &store, UserSettings &settings);

// The writers of the options dialog: store one key and set the field at the same moment.
void StoreColor(SettingsStore &store, UserSettings &settings, SettingKey key, quint32 color);
void StoreSwitch(SettingsStore &store, UserSettings &settings, SettingKey key, bool on);
// Stores the minutes text as the user typed it and sets the field to its value.
void StoreLimitMinutes(SettingsStore &store, UserSettings &settings, const QString &text);

} // namespace orvane
