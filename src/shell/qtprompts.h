// Prompts through Qt's own message box and file and colour dialogs.
#pragma once

#include "core/prompts.h"

#include <QString>

#include <memory>

class QTranslator;
class QWidget;

namespace orvane {

// Qt's own Chinese translations (qtbase_zh_CN.qm, Debian package qt6-translations-l10n) from
// folder, Qt's translations folder by default. Installed in the application, they make the
// standard file, colour and message dialogs speak Chinese whatever the system language; they stay
// installed while the returned translator lives. Null when the file is missing or unreadable: the
// dialogs then speak Qt's English and the program goes on.
std::unique_ptr<QTranslator> installQtTranslations(const QString &folder = QString());

// Qt's own dialogs rather than the desktop's, so that they speak the program's language (see
// installQtTranslations) and look the same on every desktop.
class QtPrompts final : public Prompts {
public:
    MessageAnswer message(const QString &text, const QString &title, MessageIcon icon, MessageButtons buttons) override;
    QString openFile(const QString &caption, const QString &folder, const QString &filter) override;
    QString saveFile(const QString &caption, const QString &suggestedPath, const QString &filter) override;
    std::optional<quint32> chooseColor(quint32 initial) override;
};

} // namespace orvane
