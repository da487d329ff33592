// bench_openclick [REPEATS] [TEXT_FILE]
// The two waits a learner has when a text is opened, on the real windows, shown:
//  1. the click on the open-text dialog's "打开" in the test window: segmentation, filters, the
//     rendering with its progress bar, the dialog closing and the test window painting the
//     new text (REPEATS times, default 20; the dialog is opened and its file loaded untimed);
//  2. the details dialog (DlgMoreInfo) of that text: built and shown until it has painted, the
//     first time in the process and then REPEATS times.
// Prints median, 90th percentile and maximum in milliseconds. Without a file the text is 2,000
// characters of news-like sentences with numbers, punctuation and Latin letters. The dialog's
// filters are off, so that the text keeps its numbers and symbols.
#include "prepare/codedictionary.h"
#include "prepare/externallibs.h"
#include "prepare/frmopenfile.h"
#include "segtest/dlgmoreinfo.h"
#include "segtest/frmfctest.h"
#include "shell/pictures.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace orvane;

namespace {

class SilentPrompts final : public Prompts {
public:
    MessageAnswer message(const QString &, const QString &, MessageIcon, MessageButtons) override
    {
        return MessageAnswer::Ok;
    }
    QString openFile(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFile(const QString &, const QString &, const QString &) override { return {}; }
    std::optional<quint32> chooseColor(quint32) override { return std::nullopt; }
};

void print(const char *what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%s (%d runs): median %.2f ms, p90 %.2f ms, max %.2f ms\n", what, int(ms.size()), ms[ms.size() / 2],
        ms[ms.size() * 9 / 10], ms.back());
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type != QtDebugMsg && !message.contains(QLatin1String("propagateSizeHints")))
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int repeats = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    QTemporaryDir tmp;
    SilentPrompts prompts;
    SystemClock clock;
    NoInputMethodProvider ime;
    ExternalLibs libs;
    AppContext ctx;
    ctx.folder = ProgramFolder(tmp.path(), {QStringLiteral(ORVANE_BIN_DIR)});
    ctx.prompts = &prompts;
    ctx.clock = &clock;
    ctx.imeProvider = &ime;
    ctx.realTimers = false;
    ctx.settings = DefaultUserSettings();
    ctx.settings.NeedSegmentation = ctx.settings.NeedShortCodeTips = true;
    if (!libs.open({QStringLiteral(ORVANE_BIN_DIR)}, QStringLiteral(ORVANE_BIN_DIR), nullptr)) {
        std::fprintf(stderr, "the language libraries did not load from %s\n", ORVANE_BIN_DIR);
        return 1;
    }
    ctx.libs = &libs;
    const QStringList names = pictureFileNames();
    for (int i = 0; i < names.size(); ++i)
        WriteResourceFile(ctx.folder, 101 + i, QStringLiteral("JPG"), names[i]);

    QString path = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (path.isEmpty()) {
        const QString sentence = QStringLiteral("新华社北京２０１１年３月５日电，国家统计局今天发布的数据显示，"
                                                "2010年国内生产总值达到３９.８万亿元，比上年增长10.3%，CPI上涨4.9%。");
        QString text;
        while (text.size() < 2300)
            text += sentence;
        path = tmp.filePath(QStringLiteral("article.txt"));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text.toUtf8());
    }

    frmFcTest window(ctx);
    if (!window.Form_Load())
        return 1;
    window.show();
    QApplication::processEvents();

    std::vector<double> click;
    int characters = 0;
    for (int run = 0; run < repeats + 1; ++run) { // the first run warms up and is not counted
        QElapsedTimer t;
        bool clicked = false;
        QTimer::singleShot(0, &window, [&] {
            auto *dialog = window.findChild<frmOpenFile *>();
            if (!dialog)
                return;
            dialog->loadFile(path);
            dialog->chkUseFilter->setChecked(false); // the dialog's filters keep a full text
            dialog->chkAlpha->setChecked(false);
            QApplication::processEvents(); // the dialog has painted its preview
            clicked = true;
            t.start();
            dialog->cmdOpenFile->click();
        });
        window.mnuOpenTestFile->trigger();
        QApplication::processEvents(); // the test window paints the new text
        const double ms = double(t.nsecsElapsed()) / 1e6;
        if (!clicked) {
            std::fprintf(stderr, "the open-text dialog did not show\n");
            return 1;
        }
        if (run > 0)
            click.push_back(ms);
        characters = int(window.mainText->toPlainText().size());
    }
    int words = 0;
    const QString &marks = window.run().doc.CharMarks;
    for (int i = 0; i < marks.size(); ++i)
        words += (marks[i] == u'0' || marks[i] == u'1') && (i == 0 || marks[i - 1] != marks[i]);
    std::printf("text: %d characters, %d words\n", characters, words);
    print("click on 打开 until the test window has painted the text", click);

    window.run().charTable();
    window.run().wordTable();
    std::vector<double> details;
    std::vector<double> built; // the constructor alone (the grids filled, nothing shown yet)
    double first = 0;
    for (int run = 0; run < repeats + 1; ++run) {
        QElapsedTimer t;
        t.start();
        DlgMoreInfo dialog(ctx, window.run(), &window);
        built.push_back(double(t.nsecsElapsed()) / 1e6);
        dialog.show();
        QApplication::processEvents(); // laid out and painted
        const double ms = double(t.nsecsElapsed()) / 1e6;
        if (run == 0)
            first = ms;
        else
            details.push_back(ms);
        dialog.close();
        QApplication::processEvents();
    }
    std::printf("details dialog, first showing in the process: %.2f ms\n", first);
    print("details dialog, later showings", details);
    print("  of which building the dialog", built);
    std::printf("code database opened %d time(s) in the process\n", CodeDictionary::openCount());
    // ORVANE_BENCH_SHOW=1: keep the test window with the text on screen for a few seconds, then
    // the details dialog over it (screenshots).
    if (qEnvironmentVariableIntValue("ORVANE_BENCH_SHOW") == 1) {
        window.raise();
        window.activateWindow();
        DlgMoreInfo dialog(ctx, window.run(), &window);
        QTimer::singleShot(6000, &dialog, &QWidget::show);
        QTimer::singleShot(10000, &app, &QCoreApplication::quit);
        return app.exec();
    }
    return 0;
}
