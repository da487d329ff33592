#include "scriptedprompts.h"

namespace orvane::test {

MessageAnswer ScriptedPrompts::message(
    const QString &text, const QString &title, MessageIcon icon, MessageButtons buttons)
{
    messages.append({text, title, icon, buttons});
    if (!answers.isEmpty())
        return answers.dequeue();
    switch (buttons) {
    case MessageButtons::Ok: return MessageAnswer::Ok;
    case MessageButtons::YesNo: return MessageAnswer::No;
    case MessageButtons::OkCancel:
    case MessageButtons::YesNoCancel: return MessageAnswer::Cancel;
    }
    return MessageAnswer::Ok;
}

QString ScriptedPrompts::openFile(const QString &, const QString &, const QString &)
{
    ++fileDialogs;
    return files.isEmpty() ? QString() : files.dequeue();
}

QString ScriptedPrompts::saveFile(const QString &, const QString &, const QString &)
{
    ++fileDialogs;
    return files.isEmpty() ? QString() : files.dequeue();
}

std::optional<quint32> ScriptedPrompts::chooseColor(quint32)
{
    ++colorDialogs;
    return colors.isEmpty() ? std::nullopt : colors.dequeue();
}

} // namespace orvane::test
