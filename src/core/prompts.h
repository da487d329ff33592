// Everything the program asks or tells the user through a standard dialog goes through this
// interface: message boxes and the open, save and colour dialogs. The windows get a QtPrompts;
// tests hand them a ScriptedPrompts that records each message and answers as the test says.
#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace orvane {

enum class MessageIcon { None, Critical, Exclamation, Information, Question };

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };

enum class MessageAnswer { Ok, Cancel, Yes, No };

class Prompts {
public:
    virtual ~Prompts() = default;

    virtual MessageAnswer message(
        const QString &text, const QString &title, MessageIcon icon, MessageButtons buttons = MessageButtons::Ok) = 0;

    // An empty result means the user cancelled.
    virtual QString openFile(const QString &caption, const QString &folder, const QString &filter) = 0;
    virtual QString saveFile(const QString &caption, const QString &suggestedPath, const QString &filter) = 0;

    // Colours in the 0x00BBGGRR layout; nullopt when the user cancelled.
    virtual std::optional<quint32> chooseColor(quint32 initial) = 0;
};

// The program's name: the main window's caption and the title of messages that carry no title
// of their own.
inline QString programTitle()
{
    return QStringLiteral("Orvane输入法2011分词教学系统（简体）");
}

// The title of most messages.
inline QString promptTitle()
{
    return QStringLiteral("提示信息");
}

} // namespace orvane
