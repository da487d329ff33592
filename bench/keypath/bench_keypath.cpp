// bench_keypath [TEXT_FILE]
// Times the shortest key path of a 2,000-character text 50 times and prints the median in
// milliseconds, with the time of building the text's table from jtdb.dat (once per text, median
// of 5), the same from the database's index (cold: the index made afresh; warm: read from the
// cache folder), and the whole command `orvane-cli ideal` on the text as a process, cold and
// warm (median of 11). Without a file it makes a text of frequent words from the database mixed
// with punctuation and line breaks.
#include "prepare/pipeline.h"
#include "segtest/keypath.h"
#include "segtest/keypathindex.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
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
    // The table from the index: cold makes the index and writes it, warm reads it.
    QTemporaryDir home;
    const QString cache = home.filePath(QStringLiteral("cache/orvane-tutor"));
    const QString db = QStringLiteral(ORVANE_BIN_DIR "/jtdb.dat");
    std::vector<double> indexCold;
    std::vector<double> indexWarm;
    for (int run = 0; run < 5; ++run) {
        QFile::remove(KeyPathIndex::filePath(cache, db));
        for (std::vector<double> *times : {&indexCold, &indexWarm}) {
            QElapsedTimer t;
            t.start();
            const std::optional<KeyPathTable> cached = KeyPathTable::loadCached(db, QString(), text, cache);
            times->push_back(t.nsecsElapsed() / 1e6);
            if (!cached || cached->shortestPath(text).keys != path.keys) {
                std::fprintf(stderr, "the table from the index gives another path\n");
                return 1;
            }
        }
    }

    // The whole command as a learner runs it, in a home of its own (no custom words). The text
    // goes through the open-text dialog's filters, as the command takes it.
    const QString file = home.filePath(QStringLiteral("text.txt"));
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly) || f.write(text.toUtf8()) < 0)
            return 1;
    }
    const auto command = [&](bool cold) {
        if (cold)
            QFile::remove(KeyPathIndex::filePath(cache, db));
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
        env.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
        p.setProcessEnvironment(env);
        QElapsedTimer t;
        t.start();
        p.start(QStringLiteral(ORVANE_BIN_DIR "/orvane-cli"), {QStringLiteral("ideal"), file});
        p.waitForFinished(60000);
        const double ms = t.nsecsElapsed() / 1e6;
        return p.exitCode() == 0 ? ms : -1.0;
    };
    std::vector<double> commandCold;
    std::vector<double> commandWarm;
    for (int run = 0; run < 11; ++run) {
        commandCold.push_back(command(true));
        commandWarm.push_back(command(false));
    }

    std::printf("text: %d characters, %d keys, ideal code length %.3f, ideal word share %.3f; table: %d items\n",
        path.characters, path.keys, path.codeLength(), path.wordShare(), table->itemCount());
    std::printf("median (ms): shortest key path %.3f (of 50), building the table for the text %.1f (of 5)\n",
        median(paths), median(loads));
    std::printf("median (ms): the table from the index %.1f cold (making the index), %.1f warm (of 5)\n",
        median(indexCold), median(indexWarm));
    std::printf("median (ms): orvane-cli ideal on the text %.1f cold, %.1f warm (of 11)\n", median(commandCold),
        median(commandWarm));
    return 0;
}
