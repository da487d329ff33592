// orvane-tutor: creates the context of the run, then loads and shows the main window.
#include "core/clock.h"
#include "core/programfolder.h"
#include "prepare/externallibs.h"
#include "prepare/render.h"
#include "settings/settingsstore.h"
#include "shell/appcontext.h"
#include "shell/frmmain.h"
#include "shell/imeproviders.h"
#include "shell/qtprompts.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(orvane::SettingsStore::applicationName());
    QApplication::setApplicationDisplayName(QStringLiteral("Orvane输入法2011分词教学系统（简体）"));
    QApplication::setDesktopFileName(QStringLiteral("orvane-tutor"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/orvane-tutor.svg")));

    orvane::installFontSubstitutions();

    orvane::QtPrompts prompts;
    orvane::SystemClock clock;
    orvane::SettingsStore store;
    std::unique_ptr<orvane::InputMethodProvider> ime = orvane::makeInputMethodProvider();

    int status = 0;
    orvane::AppContext ctx;
    ctx.folder = orvane::ProgramFolder::resolve();
    ctx.prompts = &prompts;
    ctx.clock = &clock;
    ctx.store = &store;
    ctx.imeProvider = ime.get();

    // The language libraries: without them texts cannot be segmented, which the windows that
    // need them report when they are used.
    orvane::ExternalLibs libs;
    QString libsError;
    if (libs.open(orvane::ExternalLibs::defaultFolders(), QString(), &libsError))
        ctx.libs = &libs;
    else
        qWarning("%s", qPrintable(libsError));
    ctx.endProgram = [&status](int code) {
        status = code;
        QCoreApplication::exit(code);
    };

    // The test window and the editor are not part of this version yet: say so instead of doing
    // nothing.
    const auto notYet = [&prompts](const QString &what) {
        return [&prompts, what](QWidget *) {
            prompts.message(QStringLiteral("“%1”将在下一版本中提供。").arg(what), orvane::promptTitle(),
                            orvane::MessageIcon::Information, orvane::MessageButtons::Ok);
        };
    };
    ctx.showTestWindow = notYet(QStringLiteral("分词测试"));
    ctx.showEditor = notYet(QStringLiteral("分词结果处理"));

    orvane::frmMain window(ctx);
    if (!window.Form_Load())
        return status;
    window.show();
    const int loop = app.exec();
    return status != 0 ? status : loop;
}
