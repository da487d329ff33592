// bench_teaching [TESTS]
// A text of 2,000 characters made of the database's most frequent words, typed word by word with
// every third word in pieces: times building the text's table from jtdb.dat (median of 3) and the
// lessons of the test (median of 20), the work the test window does when a test ends. Then writes
// a history of TESTS such tests (2,000 by default) with their items and times building the
// mistake book from it (median of 5). Prints milliseconds.
#include "prepare/codedictionary.h"
#include "segtest/keypath.h"
#include "teaching/mistakebook.h"
#include "teaching/testlessons.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace orvane;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

QStringList frequentWords(const QString &database)
{
    QStringList words;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("words"));
    db.setDatabaseName(database);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (db.open()) {
        QSqlQuery q(db);
        q.exec(QStringLiteral("SELECT hz FROM jtci WHERE length(hz) BETWEEN 2 AND 4 ORDER BY CAST(freq AS INTEGER) "
                              "DESC LIMIT 400"));
        while (q.next())
            words << q.value(0).toString();
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("words"));
    return words;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 2000;
    const QString database = QStringLiteral(ORVANE_BIN_DIR "/jtdb.dat");
    const QStringList words = frequentWords(database);
    if (words.isEmpty()) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(database));
        return 1;
    }

    // The text, its marks and a typing of it: one commit a word, every third word a commit a
    // character, 700 ms a commit.
    TypedStretch test;
    for (int i = 0; test.text.size() < 2000; ++i) {
        const QString &w = words[(i * 37) % words.size()];
        const QChar mark = i % 2 ? u'1' : u'0';
        const QStringList commits = i % 3 == 1 ? w.split(QString(), Qt::SkipEmptyParts) : QStringList{w};
        int offset = 0;
        for (const QString &c : commits) {
            test.commits.push_back({int(test.text.size()) + offset, c, 700 * (test.commits.size() + 1), 4});
            offset += int(c.size());
        }
        test.text += w;
        test.marks += QString(w.size(), mark);
    }
    test.results = QVector<quint8>(test.text.size(), 1);

    QElapsedTimer timer;
    std::vector<double> loads;
    std::optional<KeyPathTable> table;
    for (int run = 0; run < 3; ++run) {
        timer.start();
        table = KeyPathTable::load(database, QString(), test.text);
        loads.push_back(timer.nsecsElapsed() / 1e6);
    }
    CodeDictionary codes;
    codes.open(database);
    const CodeLookup lookup = [&codes](const QString &item) { return codes.LookupCodes(item); };
    std::vector<double> lessonTimes;
    TestLessons lessons;
    for (int run = 0; run < 20; ++run) {
        timer.start();
        lessons = lessonsOfTest(test, *table, lookup);
        lessonTimes.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("text %lld characters: table %.1f ms, lessons %.1f ms (%lld pieces, %lld items)\n",
        qlonglong(test.text.size()), median(loads), median(lessonTimes), qlonglong(lessons.pieces.size()),
        qlonglong(lessons.items.size()));

    QTemporaryDir dir;
    HistoryDb db;
    QString error;
    if (!db.open(dir.filePath(QStringLiteral("history.db")), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::vector<double> keepTimes;
    timer.start();
    const QDateTime first(QDate(2024, 1, 1), QTime(8, 0, 0));
    for (int i = 0; i < count; ++i) {
        HistoryRecord r;
        r.start = first.addSecs(qint64(i) * 3600);
        r.end = r.start.addSecs(300);
        r.kind = i % 10 == 9 ? QStringLiteral("drill") : QString();
        r.pieces = lessons.pieces;
        r.items = lessons.items;
        // A different handful of items missed in each test.
        for (int k = 0; k < r.items.size(); ++k)
            if ((k + i) % 23 == 0) {
                r.items[k].wrong = r.items[k].missed = 1;
                r.items[k].cleanAfterMiss = r.items[k].seen - 1;
            }
        // As the test window does: only the items that can change the book are kept.
        QElapsedTimer keep;
        keep.start();
        keepItemsThatCount(r.items, loadMistakeBook(db, &error));
        keepTimes.push_back(keep.nsecsElapsed() / 1e6);
        if (!db.add(r, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }
    const double writing = timer.nsecsElapsed() / 1e6;
    std::vector<double> books;
    MistakeBook book;
    for (int run = 0; run < 5; ++run) {
        timer.start();
        book = loadMistakeBook(db, &error);
        books.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("history of %d tests (%lld items each): written in %.0f ms, choosing the items to keep at the last "
                "test %.1f ms; mistake book %.0f ms (slowest %.0f ms, %lld items in the book)\n",
        count, qlonglong(lessons.items.size()), writing, keepTimes.back(), median(books),
        *std::max_element(books.begin(), books.end()), qlonglong(book.items.size()));
    return 0;
}
