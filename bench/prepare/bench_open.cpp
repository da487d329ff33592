// bench_open [TEXT_FILE]
// Times opening a text as the open-text dialog does it, 20 times, and prints the median of each
// step in milliseconds. Without a file it makes a 2,000-character text of common words.
#include "prepare/codedictionary.h"
#include "prepare/externallibs.h"
#include "prepare/frmopenfile.h"
#include "prepare/pipeline.h"
#include "prepare/render.h"
#include "prepare/symbolfilters.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>
#include <cstdio>

using namespace orvane;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTemporaryDir tmp;
    QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (path.isEmpty()) {
        path = tmp.filePath(QStringLiteral("article.txt"));
        const QString sentence = QStringLiteral("我们今天在学校里学习中文输入法，老师说按词输入比按字输入快得多。");
        QString text;
        while (text.size() < 2600)
            text += sentence + QStringLiteral("\r\n");
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text.toUtf8());
    }

    ExternalLibs libs;
    QString error;
    if (!libs.open({QStringLiteral(ORVANE_BIN_DIR)}, QStringLiteral(ORVANE_BIN_DIR), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    UserSettings settings;
    settings.AltColor2 = 0xFF0000;
    settings.SymbolColor = 0xFF00FF;
    settings.AlphaColor = 0xFFFF00;
    settings.NeedSegmentation = settings.NeedShortCodeTips = true;
    const QStringList symbols =
        filterSymbols(defaultFilterFileText().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts));

    QTextEdit view;
    view.resize(900, 600);
    view.show();

    std::vector<double> preview, divide, prepare, render, total;
    int words = 0;
    for (int run = 0; run < 20; ++run) {
        QElapsedTimer t;
        t.start();
        const Preview p = loadPreview(path);
        const double t1 = t.nsecsElapsed() / 1e6;
        QString marks;
        libs.divideSentence(p.text, &marks, &error);
        const double t2 = t.nsecsElapsed() / 1e6;
        const PreparedText prepared = prepareText(p.text, marks, {true, true, symbols}); // the dialog's defaults
        const double t3 = t.nsecsElapsed() / 1e6;
        setViewText(&view, prepared.text);
        CodeDictionary dict(&libs);
        dict.open(QStringLiteral(ORVANE_BIN_DIR "/jtdb.dat"));
        int lookups = 0;
        RenderTestView(*view.document(), prepared.marks, settings, [&](const QString &w) {
            ++lookups;
            return dict.FindShortCodeWord(w);
        });
        QCoreApplication::processEvents(); // the layout and paint of the shown view
        const double t4 = t.nsecsElapsed() / 1e6;
        words = lookups;
        preview.push_back(t1);
        divide.push_back(t2 - t1);
        prepare.push_back(t3 - t2);
        render.push_back(t4 - t3);
        total.push_back(t4);
    }
    std::printf("text: %d characters, %d words looked up\n", int(view.toPlainText().size()), words);
    std::printf("median of 20 runs (ms): read+clean %.2f, segment %.2f, widen+filter %.2f, "
                "view+render %.2f, total %.2f\n",
        median(preview), median(divide), median(prepare), median(render), median(total));
    // ORVANE_BENCH_SHOW=1: keep the rendered view on screen for a few seconds (screenshots).
    if (qEnvironmentVariableIntValue("ORVANE_BENCH_SHOW") == 1) {
        QFont font = view.font();
        font.setPointSize(15);
        view.setFont(font);
        view.setWindowTitle(QStringLiteral("分词测试"));
        QTimer::singleShot(4000, &app, &QCoreApplication::quit);
        return app.exec();
    }
    return 0;
}
