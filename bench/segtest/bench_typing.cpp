// bench_typing [REPEATS]
// Opens a 2,000-character text in the test window, starts a test, types up to position 1,998
// and then times, REPEATS times (default 500), the commit of the character at position 1,998
// (its handling leaves the position at 1,999) followed by the event processing that lays out
// and paints the window; Left moves back between repeats, untimed. Prints median, 90th
// percentile and maximum in milliseconds.
#include "prepare/externallibs.h"
#include "prepare/frmopenfile.h"
#include "prepare/render.h"
#include "segtest/frmfctest.h"
#include "shell/pictures.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextEdit>
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

void commit(QWidget *box, const QString &text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(box, &event);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int repeats = argc > 1 ? std::max(1, atoi(argv[1])) : 500;
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
    if (libs.open({QStringLiteral(ORVANE_BIN_DIR)}, QStringLiteral(ORVANE_BIN_DIR), nullptr))
        ctx.libs = &libs;
    const QStringList names = pictureFileNames();
    for (int i = 0; i < names.size(); ++i)
        WriteResourceFile(ctx.folder, 101 + i, QStringLiteral("JPG"), names[i]);

    const QString sentence = QStringLiteral("我们今天在学校里学习中文输入法，老师说按词输入比按字输入快得多。");
    QString text;
    while (text.size() < 2300)
        text += sentence;
    const QString path = tmp.filePath(QStringLiteral("article.txt"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text.toUtf8());
    f.close();

    frmFcTest window(ctx);
    if (!window.Form_Load())
        return 1;
    {
        frmOpenFile open(ctx, window, &window);
        open.loadFile(path);
        open.chkUseFilter->setChecked(false); // keep all 2,000 characters
        open.cmdOpenFile_Click();
    }
    window.show();
    QApplication::processEvents();
    const QString shown = window.mainText->toPlainText();
    if (shown.size() < 2000) {
        std::fprintf(stderr, "the opened text has %d characters, not 2000\n", int(shown.size()));
        return 1;
    }
    window.CmdStartTest_Click();
    for (int pos = 0; pos < 1998; pos += 100)
        commit(window.tmpText, shown.mid(pos, std::min(100, 1998 - pos)));
    QApplication::processEvents();
    if (window.session().position() != 1998) {
        std::fprintf(stderr, "position %d, not 1998\n", window.session().position());
        return 1;
    }

    std::vector<double> ms;
    std::vector<double> handled; // the handling alone, before layout and paint
    const QString c = shown.mid(1998, 1);
    QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer t;
        t.start();
        commit(window.tmpText, c);
        handled.push_back(double(t.nsecsElapsed()) / 1e6);
        QApplication::processEvents();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        QApplication::sendEvent(window.tmpText, &left);
        QApplication::processEvents();
    }
    std::sort(ms.begin(), ms.end());
    std::sort(handled.begin(), handled.end());
    std::printf(
        "handling alone: median %.3f ms, p90 %.3f ms\n", handled[handled.size() / 2], handled[handled.size() * 9 / 10]);
    std::printf("one committed character at position 1998 of %d (%d repeats): median %.3f ms, p90 %.3f ms, max "
                "%.3f ms\n",
        int(shown.size()), repeats, ms[ms.size() / 2], ms[ms.size() * 9 / 10], ms.back());
    return 0;
}
