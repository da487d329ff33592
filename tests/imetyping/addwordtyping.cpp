// orvane-addwordtyping LOG_FILE [MILLISECONDS]
// A word is added in the real add-word dialog while fcitx5 runs and has already loaded the
// Orvane table; the program's table update runs, and then a text box waits for the learner to type
// the word's code. LOG_FILE gets the steps, the messages, and the text of the box after each
// change; "ready" is written only when the update has finished, so that the typing script
// types into the updated input method. The word and its code come from ORVANE_NEW_WORD and
// ORVANE_NEW_CODE.
#include "context/appcontext.h"
#include "editor/dlgaddword.h"
#include "prepare/externallibs.h"
#include "scriptedprompts.h"
#include "shell/imeproviders.h"
#include "shell/imetableupdate.h"
#include "shell/pictures.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace orvane;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2)
        return 2;
    QFile log(args[1]);
    if (!log.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    auto write = [&log](const QString &line) {
        log.write((line + QLatin1Char('\n')).toUtf8());
        log.flush();
    };

    QTemporaryDir folder;
    test::ScriptedPrompts prompts;
    Fcitx5Provider fcitx;
    ExternalLibs libs;
    AppContext ctx;
    ctx.folder = ProgramFolder(folder.path(), {QStringLiteral(ORVANE_BIN_DIR)});
    ctx.prompts = &prompts;
    ctx.imeProvider = &fcitx;
    QString error;
    if (!libs.open({QStringLiteral(ORVANE_BIN_DIR)}, QStringLiteral(ORVANE_BIN_DIR), &error)) {
        write(QStringLiteral("no libraries: ") + error);
        return 1;
    }
    ctx.libs = &libs;
    for (int id = 101; id <= 103; ++id)
        WriteResourceFile(ctx.folder, id, QStringLiteral("JPG"), QStringLiteral("%1.jpg").arg(id));
    if (FindIme(ctx.ime, fcitx) != ImeDetection::Found) {
        write(QStringLiteral("fcitx5 does not list the Orvane input method"));
        return 1;
    }
    ImeTableUpdate update(ctx, qEnvironmentVariable("ORVANE_INSTALL_SCRIPT"));
    ctx.customWordsChanged = [&] { update.start(nullptr); };

    QLineEdit box;
    box.setWindowTitle(QStringLiteral("orvane-addwordtyping"));
    box.resize(420, 48);
    QObject::connect(
        &box, &QLineEdit::textChanged, &box, [&](const QString &t) { write(QStringLiteral("text ") + t); });
    box.show();
    box.activateWindow();
    box.setFocus();

    DlgAddWord dialog(ctx);
    QObject::connect(&update, &ImeTableUpdate::finished, &app, [&](bool ok, const QString &message) {
        write(QStringLiteral("update %1 %2").arg(ok ? QStringLiteral("ok") : QStringLiteral("failed"), message));
        for (const auto &m : std::as_const(prompts.messages))
            write(QStringLiteral("message ") + m.text);
        dialog.close();
        box.activateWindow();
        box.setFocus();
        QTimer::singleShot(1000, &app, [&] { write(QStringLiteral("ready")); });
    });

    // fcitx5 loads the table when the input method is switched on for the box; then the word is
    // added in the dialog.
    QTimer::singleShot(1000, &app, [&] {
        write(QStringLiteral("activate ")
            + (fcitx.activate(ctx.ime.ImeLayout) ? QStringLiteral("ok") : QStringLiteral("failed")));
        QTimer::singleShot(800, &app, [&] {
            fcitx.deactivate();
            dialog.show();
            dialog.txtWord->setText(qEnvironmentVariable("ORVANE_NEW_WORD"));
            dialog.txtCode->setText(qEnvironmentVariable("ORVANE_NEW_CODE"));
            dialog.cmdAddWord->click();
            write(QStringLiteral("added, update running: ")
                + (update.isRunning() ? QStringLiteral("yes") : QStringLiteral("no")));
        });
    });
    QTimer::singleShot(args.size() > 2 ? args[2].toInt() : 60000, &app, &QApplication::quit);
    return app.exec();
}
