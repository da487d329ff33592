// orvane-tutor: creates the context of the run, then loads and shows the main window.
#include "context/appcontext.h"
#include "core/clock.h"
#include "core/programfolder.h"
#include "core/workfiles.h"
#include "editor/dlgcustomwords.h"
#include "editor/frmpresplit.h"
#ifdef ORVANE_HAVE_HISTORY_WINDOW
#include "history/historywindow.h"
#endif
#include "prepare/codedictionary.h"
#include "prepare/externallibs.h"
#include "prepare/render.h"
#include "segtest/frmfctest.h"
#include "settings/settingsstore.h"
#include "shell/frmmain.h"
#include "shell/imeproviders.h"
#include "shell/imetableupdate.h"
#include "shell/qtprompts.h"
#include "teaching/bookwindow.h"
#include "teaching/coursewindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLocale>
#include <QTranslator>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(orvane::SettingsStore::applicationName());
    // No application display name: Qt would append it to every window's caption, and each window's
    // title is its own caption alone.
    QApplication::setDesktopFileName(QStringLiteral("orvane-tutor"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/orvane-tutor.svg")));

    orvane::installFontSubstitutions();

    // The standard dialogs (files, colours, messages) speak Chinese like the rest of the program,
    // whatever the system language; without Qt's translations they stay in English.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    const std::unique_ptr<QTranslator> qtTranslations = orvane::installQtTranslations();
    if (!qtTranslations)
        qWarning("Qt's Chinese translations (qtbase_zh_CN.qm) were not found: the standard dialogs speak English");

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
    // The code database's full check takes a few hundred milliseconds: it runs in the background
    // from the start, and a damaged database is refused when it is next opened.
    orvane::CodeDictionary::startIntegrityCheck(ctx.folder.dataFile(orvane::workfiles::codeDatabase()));
    ctx.endProgram = [&status](int code) {
        status = code;
        QCoreApplication::exit(code);
    };

    // The input method's install script: beside the program, in a build's imetable folder, or in
    // the installed data folder.
    const QString installScript = orvane::ImeTableUpdate::findInstallScript(ctx.folder);
    ctx.installIme = [&ctx, &ime, installScript](QString *error) {
        return orvane::ImeTableUpdate::install(
            installScript, ime->kind(), ctx.folder.dataFile(orvane::workfiles::codeDatabase()), error);
    };

    // After the custom words changed, the installed table is made again from the code database
    // and the custom words while the windows stay usable, and the framework reads it again.
    // Without an installed input method there is nothing to bring up to date.
    orvane::ImeTableUpdate tableUpdate(ctx, installScript);
    ctx.customWordsChanged = [&ctx, &tableUpdate] {
        if (ctx.ime.ImeLayout.isEmpty())
            return;
        tableUpdate.start(QApplication::activeWindow());
    };

    ctx.showTestWindow = [&ctx](QWidget *parent) {
        orvane::frmFcTest window(ctx, parent);
        if (!window.Form_Load())
            return;
        window.exec();
    };
    ctx.showPracticeText = [&ctx](QWidget *parent, const orvane::OpenedText &practice) {
        orvane::frmFcTest window(ctx, parent);
        if (!window.Form_Load())
            return;
        window.openPracticeText(practice);
        window.exec();
    };
    ctx.showCourse = [&ctx](QWidget *parent) {
        orvane::CourseWindow window(ctx, parent);
        window.exec();
    };
    ctx.practiseWeakItems = [&ctx](QWidget *parent) { orvane::practiseWeakItems(ctx, parent); };
    ctx.showEditor = [&ctx](QWidget *parent) {
        orvane::frmPreSplit window(ctx, parent);
        if (!window.Form_Load())
            return;
        window.exec();
    };

    ctx.showCustomWords = [&ctx](QWidget *parent) {
        orvane::dlgCustomWords window(ctx, QString(), parent);
        window.exec();
    };

    ctx.showBook = [&ctx](QWidget *parent) {
        orvane::BookWindow window(ctx, parent);
        window.exec();
    };

#ifdef ORVANE_HAVE_HISTORY_WINDOW
    ctx.showHistory = [&ctx](QWidget *parent) {
        orvane::HistoryWindow window(ctx, parent);
        window.exec();
    };
#endif

    orvane::frmMain window(ctx);
    if (!window.Form_Load())
        return status;
    window.show();
    const int loop = app.exec();
    return status != 0 ? status : loop;
}
