// The names of the eleven user settings in the store, in the order in which loading visits them
// and the settings file lists them, with the text each has on a first run. The store orders its
// file by this list; the settings record (usersettings.h) reads and writes through it.
#pragma once

#include <QString>

#include <array>

namespace orvane {

// The settings in the order in which loading visits them and the file lists them.
enum class SettingKey {
    AltColor1,
    AltColor2,
    RightColor,
    ErrorColor,
    SymbolColor,
    AlphaColor,
    NeedShortCodeTips,
    NeedSegmentation,
    AutoOpenIme,
    LimitTime,
    LimitMinutes,
};

int settingKeyCount();
// Every key, in the order above.
std::array<SettingKey, 11> allSettingKeys();
// Index in the order above of a store key name, or -1.
int settingKeyIndex(const QString &name);
QString settingKeyName(SettingKey key);
QString settingDefaultText(SettingKey key);

} // namespace orvane
