// orvane-typetest LOG_FILE [MILLISECONDS]
// The test window of the program, driven as a learner would use it with a real input method:
// it opens the text file named by ORVANE_TYPING_TEXT, starts a test (which switches the Orvane
// input method on through the running framework) and waits for keys typed from outside. When
// the result dialog appears it records the figures of the test in LOG_FILE, one per line
// ("text", "right", "wrong", "keys", "bursts", "time", "accuracy", "speed", "effective"),
// closes the dialog and quits. Every key and composition change that reached the typing box is
// logged too. "ready" is logged once the test runs. With ORVANE_END_AT=N the test is ended with
// its button once N characters have been typed (a lesson must be 20 characters or more, a check
// may type fewer). With ORVANE_CLI set, the words typed in pieces that the command line then
// reads from the history ("ORVANE_CLI pieces --last") are logged too, a line each ("pieces ...",
// fields separated by a space, the split's "|" as "+", since "|" separates the expected lines).
// With ORVANE_INSTALL_IME=1 the input method is not installed yet: the program's
// main window is loaded first, finds it missing, offers to install it (answered yes) and installs
// it with the script named by ORVANE_INSTALL_SCRIPT, as a learner's first start does.
// After the dialog it reads the test's row from the history (history.db under XDG_DATA_HOME) and
// logs "history matches the result" when its figures read as the dialog's labels, else "history
// differs" with both. With ORVANE_HISTORY_SHOT=FILE.png it then shows the history window and
// saves a picture of it.
#include "history/historydb.h"
#include "history/historywindow.h"
#include "prepare/externallibs.h"
#include "prepare/frmopenfile.h"
#include "prepare/render.h"
#include "segtest/dlgresult.h"
#include "segtest/frmfctest.h"
#include "segtest/typingfigures.h"
#include "shell/frmmain.h"
#include "shell/imeproviders.h"
#include "shell/imetableupdate.h"
#include "shell/pictures.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>

using namespace orvane;

namespace {

QFile *g_log = nullptr;   // this driver's own log file, opened once in main
bool g_answerYes = false; // questions are answered yes (the install offer), else Ok

void logLine(const QString &line)
{
    g_log->write((line + QLatin1Char('\n')).toUtf8());
    g_log->flush();
}

// Messages go to the log and are answered at once.
class LoggingPrompts final : public Prompts {
public:
    MessageAnswer message(const QString &text, const QString &, MessageIcon, MessageButtons buttons) override
    {
        logLine(QStringLiteral("message ") + QString(text).replace(QLatin1String("\r\n"), QLatin1String(" ")));
        return g_answerYes && buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
    QString openFile(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFile(const QString &, const QString &, const QString &) override { return {}; }
    std::optional<quint32> chooseColor(quint32) override { return std::nullopt; }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    installFontSubstitutions();
    if (argc < 2)
        return 2;
    QFile log(QString::fromLocal8Bit(argv[1]));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 2;
    g_log = &log;
    const int timeoutMs = argc > 2 ? atoi(argv[2]) : 30000;

    QTemporaryDir folder;
    LoggingPrompts prompts;
    SystemClock clock;
    std::unique_ptr<InputMethodProvider> ime = makeInputMethodProvider();
    ExternalLibs libs;
    AppContext ctx;
    ctx.folder = ProgramFolder(folder.path(), {QStringLiteral(ORVANE_BIN_DIR)});
    ctx.prompts = &prompts;
    ctx.clock = &clock;
    ctx.imeProvider = ime.get();
    QString error;
    if (!libs.open({QStringLiteral(ORVANE_BIN_DIR)}, QStringLiteral(ORVANE_BIN_DIR), &error)) {
        logLine(QStringLiteral("error ") + error);
        return 1;
    }
    ctx.libs = &libs;
    logLine(QStringLiteral("framework ") + ime->kind());
    if (qEnvironmentVariableIntValue("ORVANE_INSTALL_IME") == 1) {
        g_answerYes = true;
        const QString script = qEnvironmentVariable("ORVANE_INSTALL_SCRIPT");
        ctx.installIme = [&ctx, &ime, script](QString *error) {
            return ImeTableUpdate::install(script, ime->kind(), ctx.folder.dataFile(QStringLiteral("jtdb.dat")), error);
        };
        ctx.endProgram = [](int status) { logLine(QStringLiteral("end %1").arg(status)); };
        frmMain main(ctx);
        if (!main.Form_Load())
            return 1;
        g_answerYes = false;
    } else {
        DetectIme(ctx.ime, *ime, prompts);
    }
    if (ctx.ime.ImeLayout.isEmpty()) {
        logLine(QStringLiteral("error the Orvane input method is not installed"));
        return 1;
    }
    logLine(QStringLiteral("ime ") + ctx.ime.ImeLayout);
    const QStringList names = pictureFileNames();
    for (int i = 0; i < names.size(); ++i)
        WriteResourceFile(ctx.folder, 101 + i, QStringLiteral("JPG"), names[i]);

    frmFcTest window(ctx);
    if (!window.Form_Load())
        return 1;
    // The settings of a first run; with them starting a test switches the input method on.
    ctx.settings = DefaultUserSettings();
    {
        frmOpenFile open(ctx, window, &window);
        open.loadFile(qEnvironmentVariable("ORVANE_TYPING_TEXT"));
        open.chkUseFilter->setChecked(false);
        open.cmdOpenFile_Click();
    }
    window.show();
    window.activateWindow();

    QObject::connect(
        window.tmpText, &TypingBox::keyDown, [](int key) { logLine(QStringLiteral("key %1").arg(key, 0, 16)); });
    QObject::connect(window.tmpText, &TypingBox::composingKey, [] { logLine(QStringLiteral("compose")); });
    QObject::connect(window.tmpText, &QLineEdit::textChanged, [&window](const QString &text) {
        logLine(QStringLiteral("change %1 at %2").arg(text).arg(window.session().position()));
    });

    // The result dialog: record it and close it.
    const int endAt = qEnvironmentVariableIntValue("ORVANE_END_AT");
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (endAt > 0 && window.CmdEndTest->isEnabled() && window.session().position() >= endAt) {
            // Clicked from the next turn of the event loop: the result dialog runs its own loop.
            QTimer::singleShot(0, &window, [&window] { window.CmdEndTest->click(); });
            return;
        }
        auto *result = qobject_cast<DlgResult *>(QApplication::activeModalWidget());
        if (!result)
            return;
        poll.stop();
        const TestCounters &doc = window.run().counters;
        logLine(QStringLiteral("right %1").arg(doc.RightCharCount));
        logLine(QStringLiteral("wrong %1").arg(doc.WrongCharCount));
        logLine(QStringLiteral("keys %1").arg(doc.KeystrokeCount));
        logLine(QStringLiteral("bursts %1 %2 %3 %4 %5")
                    .arg(doc.UserWordCounts[1])
                    .arg(doc.UserWordCounts[2])
                    .arg(doc.UserWordCounts[3])
                    .arg(doc.UserWordCounts[4])
                    .arg(doc.UserWordCounts[5]));
        logLine(QStringLiteral("total ") + result->lblTotal->text());
        logLine(QStringLiteral("time ") + result->lblTime->text());
        logLine(QStringLiteral("accuracy ") + result->lblRgtRate->text());
        logLine(QStringLiteral("speed ") + result->lblRate->text());
        logLine(QStringLiteral("effective ") + result->lblEffRate->text());
        // The characters the view shows in the right colour while the result is up.
        int coloured = 0;
        const QColor right = colorFromSetting(ctx.settings.RightColor);
        QTextCursor c(window.mainText->document());
        for (int i = 0; i + 1 < window.mainText->document()->characterCount(); ++i) {
            c.setPosition(i);
            c.setPosition(i + 1, QTextCursor::KeepAnchor);
            coloured += c.charFormat().foreground().color() == right ? 1 : 0;
        }
        logLine(QStringLiteral("coloured %1").arg(coloured));
        logLine(QStringLiteral("text ") + doc.TypedText);
        // The history holds the test before its result is shown.
        if (const QString cli = qEnvironmentVariable("ORVANE_CLI"); !cli.isEmpty()) {
            QProcess process;
            process.start(cli, {QStringLiteral("pieces"), QStringLiteral("--last")});
            process.waitForFinished(30000);
            const QString out = QString::fromUtf8(process.readAllStandardOutput());
            for (QString line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
                logLine(QStringLiteral("pieces ")
                    + line.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('|'), QLatin1Char('+')));
            logLine(QStringLiteral("pieces status %1").arg(process.exitCode()));
        }
        // The typing figures as the dialog shows them, and as the history row gives them.
        const QStringList shown = {result->lblKeysPerSecond->text(), result->lblCodeLength->text(),
            result->lblIdealCodeLength->text(), result->lblWordShare->text(), result->lblIdealWordShare->text(),
            result->lblBackspaces->text(), result->lblRetyped->text(), result->lblKeyAccuracy->text()};
        logLine(QStringLiteral("figures ") + shown.join(QLatin1Char(' ')));
        result->cmdOk->click();
        HistoryDb db;
        QString dbError;
        QStringList stored;
        if (db.open(defaultHistoryPath(), &dbError)) {
            const QVector<HistoryRecord> tests = db.tests(&dbError);
            if (!tests.isEmpty()) {
                const HistoryRecord &r = tests.last();
                stored = {keysPerSecondText(r.keysPerSecond), codeLengthText(r.codeLength),
                    codeLengthText(r.idealCodeLength), shareText(r.wordShare), shareText(r.idealWordShare),
                    r.backspaces ? QString::number(*r.backspaces) : QStringLiteral("—"),
                    r.retyped ? QString::number(*r.retyped) : QStringLiteral("—"), shareText(r.keyAccuracy)};
            }
        }
        if (stored == shown)
            logLine(QStringLiteral("history matches the result"));
        else
            logLine(QStringLiteral("history differs: %1 %2").arg(stored.join(QLatin1Char(' ')), dbError));
        const QString shot = qEnvironmentVariable("ORVANE_HISTORY_SHOT");
        if (shot.isEmpty()) {
            QTimer::singleShot(200, &app, &QApplication::quit);
            return;
        }
        auto *history = new HistoryWindow(ctx, &window);
        history->setAttribute(Qt::WA_DeleteOnClose);
        history->resize(1100, 720);
        history->show();
        QTimer::singleShot(300, &app, [history, shot, &app] {
            logLine(history->grab().save(shot) ? QStringLiteral("history shot ") + shot
                                               : QStringLiteral("history shot failed"));
            app.quit();
        });
    });
    poll.start(20);

    QTimer::singleShot(500, [&] {
        window.CmdStartTest_Click();
        logLine(QStringLiteral("ready"));
    });
    QTimer::singleShot(timeoutMs, [&] {
        logLine(QStringLiteral("timeout"));
        app.quit();
    });
    return app.exec();
}
