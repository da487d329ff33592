#include "settings/settingkeys.h"

#include <array>

namespace orvane {

namespace {

struct KeyInfo {
    SettingKey key;
    const char16_t *name;
    const char16_t *defaultText;
};

constexpr std::array<KeyInfo, 11> kKeys{{
    {SettingKey::AltColor1, u"交替颜色一", u"0"},
    {SettingKey::AltColor2, u"交替颜色二", u"16711680"},
    {SettingKey::RightColor, u"正确文字颜色", u"65280"},
    {SettingKey::ErrorColor, u"错误文字颜色", u"255"},
    {SettingKey::SymbolColor, u"标点符号颜色", u"16711935"},
    {SettingKey::AlphaColor, u"字母及数字颜色", u"16776960"},
    {SettingKey::NeedShortCodeTips, u"需要简码提示", u"True"},
    {SettingKey::NeedSegmentation, u"需要分词", u"True"},
    {SettingKey::AutoOpenIme, u"是否自动打开输入法", u"True"},
    {SettingKey::LimitTime, u"是否限制时间", u"False"},
    {SettingKey::LimitMinutes, u"限制时间长度", u"5"},
}};

const KeyInfo &info(SettingKey key)
{
    return kKeys[static_cast<std::size_t>(key)];
}

} // namespace

int settingKeyCount()
{
    return static_cast<int>(kKeys.size());
}

std::array<SettingKey, 11> allSettingKeys()
{
    std::array<SettingKey, 11> keys{};
    for (std::size_t i = 0; i < kKeys.size(); ++i)
        keys[i] = kKeys[i].key;
    return keys;
}

int settingKeyIndex(const QString &name)
{
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        if (name == QStringView(kKeys[i].name))
            return static_cast<int>(i);
    }
    return -1;
}

QString settingKeyName(SettingKey key)
{
    return QString::fromUtf16(info(key).name);
}

QString settingDefaultText(SettingKey key)
{
    return QString::fromUtf16(info(key).defaultText);
}

} // namespace orvane
