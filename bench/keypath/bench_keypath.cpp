// bench_keypath [TEXT_FILE]
// Times the shortest key path of a 2,000-character text 50 times and prints the median in
// milliseconds, with the time of building the text's table from jtdb.dat (once per text, median
// of 5). Without a file it makes a text of frequent words from the database mixed with
// punctuation and line breaks.
#include "prepare/pipeline.h"
#include "segtest/keypath.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <algorithm>
#include <cstdio>

using namespace orvane;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

QString generatedText()
{
    QStringList words;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-words"));
        db.setDatabaseName(QStringLiteral(ORVANE_BIN_DIR "/jtdb.dat"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            QSqlQuery q(QStringLiteral("SELECT hz FROM jtci WHERE length(hz) BETWEEN 2 AND 6 "
                                       "ORDER BY CAST(freq AS INTEGER) DESC LIMIT 3000"),
                db);
            while (q.next())
                words << q.value(0).toString();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-words"));
    if (words.isEmpty())
        words << QStringLiteral("我们") << QStringLiteral("学习") << QStringLiteral("输入法");
    QRandomGenerator random(2011);
    const QString stops = QStringLiteral("，。、；！？");
    QString text;
    int n = 0;
    while (text.size() < kMaxTextLength) {
        text += words.at(random.bounded(int(words.size())));
        if (++n % 7 == 0)
            text += stops.at(random.bounded(int(stops.size())));
        if (n % 60 == 0)
            text += QStringLiteral("\r\n");
    }
    return text.left(kMaxTextLength);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString text;
    if (argc > 1) {
        const Preview p = loadPreview(QString::fromLocal8Bit(argv[1]));
        if (p.status != PreviewStatus::Accepted) {
            std::fprintf(stderr, "cannot use %s\n", argv[1]);
            return 1;
        }
        text = p.text;
    } else {
        text = generatedText();
    }

    std::vector<double> loads;
    std::optional<KeyPathTable> table;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer t;
        t.start();
        QString error;
        table = KeyPathTable::load(QStringLiteral(ORVANE_BIN_DIR "/jtdb.dat"), QString(), text, &error);
        if (!table) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        loads.push_back(t.nsecsElapsed() / 1e6);
    }

    std::vector<double> paths;
    KeyPath path;
    for (int run = 0; run < 50; ++run) {
        QElapsedTimer t;
        t.start();
        path = table->shortestPath(text);
        paths.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("text: %d characters, %d keys, ideal code length %.3f, ideal word share %.3f; table: %d items\n",
        path.characters, path.keys, path.codeLength(), path.wordShare(), table->itemCount());
    std::printf("median (ms): shortest key path %.3f (of 50), building the table for the text %.1f (of 5)\n",
        median(paths), median(loads));
    return 0;
}
