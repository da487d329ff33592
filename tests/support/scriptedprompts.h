// Prompts for tests: every message is recorded; answers come from a queue the test fills.
#pragma once

#include "core/prompts.h"

#include <QList>
#include <QQueue>
#include <QString>

namespace orvane::test {

struct RecordedMessage {
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

class ScriptedPrompts final : public Prompts {
public:
    MessageAnswer message(const QString &text, const QString &title, MessageIcon icon, MessageButtons buttons) override;
    QString openFile(const QString &caption, const QString &folder, const QString &filter) override;
    QString saveFile(const QString &caption, const QString &suggestedPath, const QString &filter) override;
    std::optional<quint32> chooseColor(quint32 initial) override;

    // Answers, taken in order. Without a queued answer a message is answered Ok, No or Cancel
    // (the harmless choice), a file dialog and a colour dialog are cancelled.
    QQueue<MessageAnswer> answers;
    QQueue<QString> files;
    QQueue<std::optional<quint32>> colors;

    QList<RecordedMessage> messages;
    int fileDialogs = 0;
    int colorDialogs = 0;
};

} // namespace orvane::test
