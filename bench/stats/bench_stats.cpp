// bench_stats [TEXT_FILE]
// Times the first "更多信息" of a text 20 times: opening the code database, the character table,
// the word table with its sort, and the key counts of the four modes; prints the medians in
// milliseconds. Without a file it makes a 2,000-character text of words from the database, mixed
// with punctuation, so that most entries are distinct (the slow case for the tables).
#include "prepare/codedictionary.h"
#include "prepare/externallibs.h"
#include "prepare/pipeline.h"
#include "segtest/textstats.h"

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

    ExternalLibs libs;
    QString error;
    if (!libs.open({QStringLiteral(ORVANE_BIN_DIR)}, QStringLiteral(ORVANE_BIN_DIR), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QString marks;
    if (!libs.divideSentence(text, &marks, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const int symbols = int(marks.count(QLatin1Char('2')));
    const int letters = int(marks.count(QLatin1Char('4')));

    std::vector<double> open, chars, words, keys, total;
    TestStatistics stats;
    for (int run = 0; run < 20; ++run) {
        QElapsedTimer t;
        t.start();
        // A fresh dictionary each time, as each first showing opens one: nothing is cached.
        CodeDictionary dict(&libs);
        dict.open(QStringLiteral(ORVANE_BIN_DIR "/jtdb.dat"));
        const double t1 = t.nsecsElapsed() / 1e6;
        BuildCharStats(stats, text, dict);
        const double t2 = t.nsecsElapsed() / 1e6;
        BuildWordStats(stats, text, marks, dict);
        const double t3 = t.nsecsElapsed() / 1e6;
        stats.TextKeyCounts = CountTextKeys(stats, symbols, letters);
        const double t4 = t.nsecsElapsed() / 1e6;
        open.push_back(t1);
        chars.push_back(t2 - t1);
        words.push_back(t3 - t2);
        keys.push_back(t4 - t3);
        total.push_back(t4);
    }
    int distinctWords = 0;
    for (int k = 1; k <= 5; ++k)
        distinctWords += stats.wordClassSize(k);
    std::printf("text: %d characters, %d distinct characters, %d distinct words\n", int(text.size()),
        int(stats.CharStats.size()), distinctWords);
    std::printf("median of 20 runs (ms): open database %.2f, character table %.2f, word table + sort %.2f, "
                "key counts %.3f, total %.2f\n",
        median(open), median(chars), median(words), median(keys), median(total));
    return 0;
}
