// orvane-tutor: creates the context of the run, then loads and shows the main window.
#include "core/clock.h"
#include "core/programfolder.h"
#include "prepare/codedictionary.h"
#include "prepare/externallibs.h"
#include "prepare/render.h"
#include "settings/settingsstore.h"
#include "shell/appcontext.h"
#include "shell/frmmain.h"
#include "shell/imeproviders.h"
#include "shell/qtprompts.h"
#include "segtest/frmfctest.h"
#include "editor/frmpresplit.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QProcess>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(orvane::SettingsStore::applicationName());
    // No application display name: Qt would append it to every window's caption, and each window's
    // title is its own caption alone.
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
    // The code database's full check takes a few hundred milliseconds: it runs in the background
    // from the start, and a damaged database is refused when it is next opened.
    orvane::CodeDictionary::startIntegrityCheck(ctx.folder.dataFile(QStringLiteral("jtdb.dat")));
    ctx.endProgram = [&status](int code) {
        status = code;
        QCoreApplication::exit(code);
    };

    // The input method's install script: beside the program, in a build's imetable folder, or in
    // the installed data folder.
    ctx.installIme = [&ctx, &ime](QString *error) {
        const QString exeDir = QCoreApplication::applicationDirPath();
        const QStringList candidates{exeDir + QStringLiteral("/install-orvane-ime.sh"),
                                     exeDir + QStringLiteral("/../imetable/install-orvane-ime.sh"),
                                     ctx.folder.dataFile(QStringLiteral("install-orvane-ime.sh"))};
        QString script;
        for (const QString &c : candidates) {
            if (QFileInfo::exists(c)) {
                script = c;
                break;
            }
        }
        if (script.isEmpty()) {
            *error = QStringLiteral("找不到安装程序 install-orvane-ime.sh");
            return false;
        }
        QProcess p;
        p.start(QStringLiteral("sh"), {script, ime->kind() == QLatin1String("ibus") ? QStringLiteral("--ibus")
                                                                                     : QStringLiteral("--fcitx5"),
                                       QStringLiteral("--db"), ctx.folder.dataFile(QStringLiteral("jtdb.dat"))});
        if (!p.waitForFinished(180000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            *error = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
            if (error->isEmpty())
                *error = p.errorString();
            return false;
        }
        return true;
    };

    // After a custom word was added, the installed table is made again from the code database and
    // the custom words, and the framework reads it again. Without an installed input method
    // there is nothing to bring up to date.
    ctx.customWordsChanged = [&ctx, &ime] {
        if (ctx.ime.ImeLayout.isEmpty())
            return;
        QString error;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (ctx.installIme(&error))
            ime->refresh(ctx.ime.ImeLayout);
        else
            qWarning("%s", qPrintable(error));
        QApplication::restoreOverrideCursor();
    };

    ctx.showTestWindow = [&ctx](QWidget *parent) {
        orvane::frmFcTest window(ctx, parent);
        if (!window.Form_Load())
            return;
        window.exec();
    };
    ctx.showEditor = [&ctx](QWidget *parent) {
        orvane::frmPreSplit window(ctx, parent);
        if (!window.Form_Load())
            return;
        window.exec();
    };

    orvane::frmMain window(ctx);
    if (!window.Form_Load())
        return status;
    window.show();
    const int loop = app.exec();
    return status != 0 ? status : loop;
}
