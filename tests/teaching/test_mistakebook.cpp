// The mistake book over scripted histories: a miss puts an item in, three clean typings in running
// text after the last miss take it out, drills alone never do, and an item taken out by hand comes
// back only with a new miss.
#include "teaching/mistakebook.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace orvane;

namespace {

const QDateTime kFirst(QDate(2026, 3, 2), QTime(9, 0, 0));

// One test of the item 近 per entry: "n" running text or "d" a drill, then seen, missed (all of
// them wrong) and clean typings after the last miss; "removed" takes the item out by hand there.
struct History {
    QVector<HistoryTestItems> tests;
    QVector<HistoryBookRemoval> removals;
};

History historyOf(const QStringList &script)
{
    History h;
    qint64 id = 0;
    for (const QString &entry : script) {
        if (entry == QLatin1String("removed")) {
            h.removals.push_back({QStringLiteral("近"), false, id});
            continue;
        }
        const QStringList f = entry.split(QLatin1Char(' '));
        ++id;
        HistoryItem item;
        item.text = QStringLiteral("近");
        item.standardCode = QStringLiteral("461");
        item.seen = f[1].toInt();
        item.missed = item.wrong = f[2].toInt();
        item.cleanAfterMiss = f[3].toInt();
        h.tests.push_back({id, kFirst.addDays(id), f[0] == QLatin1String("d"), {item}});
    }
    return h;
}

} // namespace

class MistakeBookTest : public QObject {
    Q_OBJECT
private slots:
    void leavingTheBook_data()
    {
        QTest::addColumn<QStringList>("tests");
        QTest::addColumn<bool>("inBook");
        QTest::addColumn<int>("wrong");
        QTest::addColumn<int>("cleanSince");
        QTest::addColumn<int>("lastMissDay");

        QTest::newRow("never missed") << QStringList{"n 5 0 5"} << false << 0 << 0 << 0;
        QTest::newRow("a miss puts it in") << QStringList{"n 2 1 1"} << true << 1 << 1 << 1;
        QTest::newRow("two clean typings are not enough") << QStringList{"n 1 1 0", "n 2 0 2"} << true << 1 << 2 << 1;
        QTest::newRow("three clean typings in running text take it out")
            << QStringList{"n 1 1 0", "n 1 0 1", "n 2 0 2"} << false << 0 << 0 << 0;
        QTest::newRow("clean typings after the miss in the same test count")
            << QStringList{"n 4 1 3"} << false << 0 << 0 << 0;
        QTest::newRow("drills alone do not take it out")
            << QStringList{"n 1 1 0", "d 3 0 3", "d 5 0 5", "n 1 0 1"} << true << 1 << 1 << 1;
        QTest::newRow("a miss in a drill counts and starts the count again")
            << QStringList{"n 1 1 0", "n 2 0 2", "d 2 1 1"} << true << 2 << 0 << 3;
        QTest::newRow("a new miss starts the count again")
            << QStringList{"n 1 1 0", "n 2 0 2", "n 3 2 1", "n 1 0 1"} << true << 3 << 2 << 3;
        QTest::newRow("after leaving, a new miss counts from zero")
            << QStringList{"n 2 2 0", "n 3 0 3", "n 1 1 0"} << true << 1 << 0 << 3;
        QTest::newRow("taken out by hand") << QStringList{"n 1 1 0", "removed"} << false << 0 << 0 << 0;
        QTest::newRow("taken out by hand, back with a new miss")
            << QStringList{"n 3 3 0", "removed", "n 1 0 1", "n 1 1 0"} << true << 1 << 0 << 3;
    }
    void leavingTheBook()
    {
        QFETCH(QStringList, tests);
        QFETCH(bool, inBook);
        QFETCH(int, wrong);
        QFETCH(int, cleanSince);
        QFETCH(int, lastMissDay);
        const History h = historyOf(tests);
        const MistakeBook book = buildMistakeBook(h.tests, h.removals);
        QCOMPARE(book.items.size(), inBook ? 1 : 0);
        if (!inBook)
            return;
        const BookItem &item = book.items[0];
        QCOMPARE(item.text, QStringLiteral("近"));
        QCOMPARE(item.standardCode, QStringLiteral("461"));
        QCOMPARE(item.wrong, wrong);
        QCOMPARE(item.misses, wrong);
        QCOMPARE(item.cleanSince, cleanSince);
        QCOMPARE(item.lastMiss, kFirst.addDays(lastMissDay));
    }

    // A new test keeps the items it missed and the items in the book; clean typings of the others
    // change nothing.
    void onlyItemsThatCanChangeTheBookAreKept()
    {
        const History h = historyOf({"n 1 1 0"});
        const MistakeBook book = buildMistakeBook(h.tests, {});
        const auto item = [](const QString &text, bool word, int missed) {
            HistoryItem i;
            i.text = text;
            i.word = word;
            i.seen = 2;
            i.missed = i.slow = missed;
            return i;
        };
        QVector<HistoryItem> items = {
            item("近", false, 0), item("近", true, 0), item("接", false, 0), item("接近", true, 1)};
        keepItemsThatCount(items, book);
        QStringList kept;
        for (const HistoryItem &i : items)
            kept << i.text + (i.word ? QStringLiteral("(词)") : QString());
        QCOMPARE(kept, (QStringList{"近", "接近(词)"}));
    }

    // The book kept in the history after a replay, and the replays that start from it, give
    // exactly the book replayed from the first test, whatever happens to the history in between:
    // tests and drills added (some starting before earlier ones), items taken out by hand, tests
    // deleted, the file closed and opened again. After each load the next one starts from the kept
    // book with nothing left to replay.
    void theKeptBookIsTheReplayedBook()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("history.db"));
        auto db = std::make_unique<HistoryDb>();
        QString error;
        QVERIFY2(db->open(path, &error), qPrintable(error));
        const QStringList texts = {"近", "接", "接近", "终点", "点", "终"};
        QRandomGenerator random(2011);
        QVector<qint64> ids;
        const auto describe = [](const MistakeBook &book) {
            QStringList out;
            for (const BookItem &b : book.items)
                out << QStringLiteral("%1%2 w%3 s%4 p%5 m%6 c%7 %8 %9 %10")
                           .arg(b.text, b.word ? QStringLiteral("(词)") : QString())
                           .arg(b.wrong)
                           .arg(b.slow)
                           .arg(b.pieces)
                           .arg(b.misses)
                           .arg(b.cleanSince)
                           .arg(b.lastMiss.toString(Qt::ISODate), b.standardCode, b.shortCodes);
            return out;
        };
        for (int step = 0; step < 150; ++step) {
            const quint32 op = random.bounded(20);
            if (op < 13) {
                HistoryRecord r;
                // Mostly in order; now and then a test that started before the last one.
                r.start = kFirst.addSecs(qint64(step) * 600 - (op == 12 ? 3000 : 0));
                r.end = r.start.addSecs(120);
                r.kind = op % 5 == 4 ? QStringLiteral("drill") : QString();
                for (const QString &text : texts) {
                    if (random.bounded(3) == 0)
                        continue;
                    HistoryItem i;
                    i.text = text;
                    i.word = text.size() > 1;
                    i.standardCode = QString::number(100 + step);
                    i.shortCode = QString::number(step % 7);
                    i.seen = 1 + int(random.bounded(3));
                    i.missed = random.bounded(3) == 0 ? 1 : 0;
                    i.wrong = i.missed && random.bounded(2) ? 1 : 0;
                    i.slow = i.missed && !i.wrong ? 1 : 0;
                    i.cleanAfterMiss = i.missed ? i.seen - 1 : 0;
                    r.items.push_back(i);
                }
                const qint64 id = db->add(r, &error);
                QVERIFY2(id > 0, qPrintable(error));
                ids.push_back(id);
            } else if (op < 15) {
                const QString text = texts[int(random.bounded(texts.size()))];
                QVERIFY2(db->removeFromBook(text, text.size() > 1, &error), qPrintable(error));
            } else if (op < 17 && !ids.isEmpty()) {
                const qint64 id = ids.takeAt(int(random.bounded(ids.size())));
                QVERIFY2(db->remove({id}, &error), qPrintable(error));
            } else if (op == 17) {
                db = std::make_unique<HistoryDb>();
                QVERIFY2(db->open(path, &error), qPrintable(error));
            }
            if (random.bounded(3) == 0 && op != 19)
                continue; // several changes before the next load
            const MistakeBook replayed = buildMistakeBook(db->itemsOfTests(&error), db->bookRemovals(&error));
            const MistakeBook loaded = loadMistakeBook(*db, &error);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QCOMPARE(describe(loaded), describe(replayed));
            const HistoryBookSource next = db->bookSource(&error);
            QVERIFY(next.kept.has_value());
            QVERIFY(next.tests.isEmpty());
        }
    }

    // The items that most need practice: the most misses first, among equal misses the most
    // recently missed; a character and a word of the same text are two items.
    void weakestItemsComeFirst()
    {
        const auto item = [](const QString &text, bool word, int wrong, int slow, int pieces) {
            HistoryItem i;
            i.text = text;
            i.word = word;
            i.seen = i.missed = wrong + slow + pieces;
            i.wrong = wrong;
            i.slow = slow;
            i.pieces = pieces;
            return i;
        };
        const QVector<HistoryTestItems> tests = {
            {1, kFirst, false, {item("接近", true, 0, 0, 1), item("终", false, 2, 0, 0), item("点", false, 0, 1, 0)}},
            {2, kFirst.addDays(1), false, {item("点", false, 1, 0, 0), item("近", false, 1, 0, 0)}},
            {3, kFirst.addDays(2), false, {item("近", true, 0, 1, 0)}},
        };
        const MistakeBook book = buildMistakeBook(tests, {});
        QStringList order;
        for (const BookItem &b : weakestItems(book, 4))
            order << b.text + (b.word ? QStringLiteral("(词)") : QString());
        QCOMPARE(order, (QStringList{"点", "终", "近(词)", "近"}));
        QCOMPARE(weakestItems(book, 2).size(), 2);
        QCOMPARE(weakestItems(book).size(), 5);
        QCOMPARE(weakestItems(book, -1).size(), 0);
    }
};

QTEST_GUILESS_MAIN(MistakeBookTest)
#include "test_mistakebook.moc"
