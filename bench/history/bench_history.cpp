// bench_history [TESTS]
// Writes a history of TESTS tests (10,000 by default, each with 60 commits) into a temporary
// folder, then times 20 times opening the file and reading every test, and 5 times opening the
// history window on it until it has been shown and painted (table and charts); prints the time
// of writing and the medians and slowest runs in milliseconds. Without a display the window is
// drawn offscreen.
#include "history/historydb.h"

#ifdef ORVANE_HAVE_HISTORY_WINDOW
#include "context/appcontext.h"
#include "history/historywindow.h"

#include <QApplication>
#endif
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace orvane;

int main(int argc, char **argv)
{
#ifdef ORVANE_HAVE_HISTORY_WINDOW
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 10000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.db"));

    QElapsedTimer timer;
    timer.start();
    {
        HistoryDb db;
        QString error;
        if (!db.open(path, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        QDateTime start(QDate(2024, 1, 1), QTime(8, 0, 0));
        for (int i = 0; i < count; ++i) {
            HistoryRecord r;
            r.start = start.addSecs(qint64(i) * 3600);
            r.end = r.start.addSecs(300);
            r.textName = QStringLiteral("课文%1.txt").arg(i % 40);
            r.textHash = historyTextHash(r.textName);
            r.textLength = 500;
            r.total = r.hanzi = 450;
            r.symbols = 50;
            r.elapsedSeconds = 300;
            r.right = 480 + i % 20;
            r.wrong = 20 - i % 20;
            r.accuracy = 96.0;
            r.speed = 100;
            r.effectiveSpeed = 96;
            r.keys = 1400;
            r.keysPerSecond = 4.67;
            r.codeLength = 2.8;
            for (int c = 0; c < 60; ++c)
                r.commits.push_back({c * 8, QStringLiteral("我们学习"), c * 5000, 23});
            if (db.add(r, &error) == 0) {
                std::fprintf(stderr, "%s\n", qPrintable(error));
                return 1;
            }
        }
    }
    const double writeMs = double(timer.nsecsElapsed()) / 1e6;

    std::vector<double> times;
    for (int round = 0; round < 20; ++round) {
        timer.restart();
        HistoryDb db;
        QString error;
        if (!db.open(path, &error))
            return 1;
        const QVector<HistoryRecord> tests = db.tests(&error);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (tests.size() != count) {
            std::fprintf(stderr, "read %lld of %d tests\n", qlonglong(tests.size()), count);
            return 1;
        }
    }
    std::sort(times.begin(), times.end());
    std::printf("tests=%d write_all_ms=%.0f open_and_read_median_ms=%.2f slowest_ms=%.2f\n", count, writeMs,
        times[times.size() / 2], times.back());

#ifdef ORVANE_HAVE_HISTORY_WINDOW
    std::vector<double> windowTimes;
    for (int round = 0; round < 5; ++round) {
        AppContext ctx;
        ctx.historyPath = path;
        timer.restart();
        HistoryWindow window(ctx);
        window.show();
        window.repaint();
        QCoreApplication::processEvents();
        windowTimes.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (window.shownTests().size() != count)
            return 1;
    }
    std::sort(windowTimes.begin(), windowTimes.end());
    std::printf("history_window_shown_median_ms=%.1f slowest_ms=%.1f\n", windowTimes[windowTimes.size() / 2],
        windowTimes.back());
#endif
    return 0;
}
