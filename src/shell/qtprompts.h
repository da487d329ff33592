// Prompts through Qt's own message box and file and colour dialogs.
#pragma once

#include "core/prompts.h"

class QWidget;

namespace orvane {

class QtPrompts final : public Prompts {
public:
    MessageAnswer message(const QString &text, const QString &title, MessageIcon icon, MessageButtons buttons) override;
    QString openFile(const QString &caption, const QString &folder, const QString &filter) override;
    QString saveFile(const QString &caption, const QString &suggestedPath, const QString &filter) override;
    std::optional<quint32> chooseColor(quint32 initial) override;
};

} // namespace orvane
