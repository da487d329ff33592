#include "shell/ime.h"

#include "core/prompts.h"

namespace orvane {

ImeDetection FindIme(ImeState &state, InputMethodProvider &provider)
{
    const std::optional<QList<InputMethodEntry>> methods = provider.list();
    if (!methods)
        return ImeDetection::Unreadable;
    for (const InputMethodEntry &m : *methods) {
        if (m.name == orvaneImeName()) { // exact comparison; the first match wins
            state.ImeLayout = m.id;
            state.EnglishLayout = englishLayoutId();
            return ImeDetection::Found;
        }
    }
    return ImeDetection::Missing;
}

ImeDetection DetectIme(ImeState &state, InputMethodProvider &provider, Prompts &prompts)
{
    const ImeDetection result = FindIme(state, provider);
    if (result != ImeDetection::Missing)
        return result; // found, or nothing readable: stay silent
    prompts.message(QStringLiteral("本计算机未安装Orvane输入法2011简体版，\r\n本软件大部分功能无法正常使用！"),
        QStringLiteral("Orvane输入法2011简体版"), MessageIcon::Critical);
    state.EnglishLayout = englishLayoutId();
    return result;
}

void SwitchImeOn(const ImeState &state, InputMethodProvider &provider)
{
    if (state.ImeLayout.isEmpty())
        return;
    (void)provider.activate(state.ImeLayout);
}

void SwitchImeOff(const ImeState &state, InputMethodProvider &provider)
{
    if (state.EnglishLayout.isEmpty())
        return;
    (void)provider.deactivate();
}

} // namespace orvane
