// What one finished test teaches, over a small table: the words typed in pieces with their keys
// lost, and how each character and word fared (wrong, slow, in pieces).
#include "segtest/keypath.h"
#include "teaching/testlessons.h"

#include <QtTest>

using namespace orvane;

namespace {

// 接近 is a word of the table (50132, first candidate: five digits and space); 终点 is not.
KeyPathTable smallTable()
{
    KeyPathTable table;
    table.addItem(QStringLiteral("50132"), QStringLiteral("接近"), 1);
    table.addItem(QStringLiteral("5013"), QStringLiteral("接"), 2);
    table.addItem(QStringLiteral("461"), QStringLiteral("近"), 3);
    table.addItem(QStringLiteral("27"), QStringLiteral("终"), 4);
    table.addItem(QStringLiteral("82"), QStringLiteral("点"), 5);
    table.finish();
    return table;
}

ItemCodes codesOf(const QString &item)
{
    return {QStringLiteral("S") + item, item.size() > 1 ? QStringLiteral("J") + item : QString()};
}

// "position text ms keys" per commit, separated by ';'.
QVector<HistoryCommit> commitsOf(const QString &script)
{
    QVector<HistoryCommit> out;
    for (const QString &c : script.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList f = c.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        out.push_back({f[0].toInt(), f[1], f[2].toLongLong(), f[3].toInt()});
    }
    return out;
}

// One letter per character: '.' not typed, 'r' right, 'w' wrong.
QVector<quint8> resultsOf(const QString &script)
{
    QVector<quint8> out;
    for (QChar c : script)
        out.push_back(c == u'r' ? 1 : c == u'w' ? 2 : 0);
    return out;
}

QStringList piecesText(const QVector<HistoryPiece> &pieces)
{
    QStringList out;
    for (const HistoryPiece &p : pieces)
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 lost %7")
                   .arg(p.word, p.standardCode, p.shortCode, p.split)
                   .arg(p.keys)
                   .arg(p.idealKeys)
                   .arg(p.keysLost());
    return out;
}

// text word seen wrong slow pieces missed cleanAfterMiss
QStringList itemsText(const QVector<HistoryItem> &items)
{
    QStringList out;
    for (const HistoryItem &i : items)
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
                   .arg(i.text, i.word ? QStringLiteral("词") : QStringLiteral("字"))
                   .arg(i.seen)
                   .arg(i.wrong)
                   .arg(i.slow)
                   .arg(i.pieces)
                   .arg(i.missed)
                   .arg(i.cleanAfterMiss);
    return out;
}

} // namespace

class TestLessonsTest : public QObject {
    Q_OBJECT
private slots:
    void lessons_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QString>("commits");
        QTest::addColumn<QString>("results");
        QTest::addColumn<QStringList>("pieces");
        QTest::addColumn<QStringList>("items");

        QTest::newRow("接 then 近: listed with its keys lost")
            << "接近终点"
            << "0011"
            << "0 接 1000 5;1 近 2000 4;2 终点 3000 3"
            << "rrrr" << QStringList{"接近 S接近 J接近 接|近 9 6 lost 3"}
            << QStringList{"接 字 1 0 0 0 0 1", "近 字 1 0 0 0 0 1", "接近 词 1 0 0 1 1 0", "终 字 1 0 0 0 0 1",
                   "点 字 1 0 0 0 0 1"};
        QTest::newRow("接近 whole: not listed") << "接近终点"
                                                << "0011"
                                                << "0 接近 1000 6;2 终点 2000 3"
                                                << "rrrr" << QStringList{}
                                                << QStringList{"接 字 1 0 0 0 0 1", "近 字 1 0 0 0 0 1",
                                                       "接近 词 1 0 0 0 0 1", "终 字 1 0 0 0 0 1", "点 字 1 0 0 0 0 1"};
        QTest::newRow("a word without a word code in two commits: never listed")
            << "接近终点"
            << "0011"
            << "0 接近 1000 6;2 终 1500 3;3 点 2000 3"
            << "rrrr" << QStringList{}
            << QStringList{"接 字 1 0 0 0 0 1", "近 字 1 0 0 0 0 1", "接近 词 1 0 0 0 0 1", "终 字 1 0 0 0 0 1",
                   "点 字 1 0 0 0 0 1"};
        QTest::newRow("a word at the end of the text")
            << "终点接近"
            << "0011"
            << "0 终点 1000 3;2 接 2000 5;3 近 3000 4"
            << "rrrr" << QStringList{"接近 S接近 J接近 接|近 9 6 lost 3"}
            << QStringList{"终 字 1 0 0 0 0 1", "点 字 1 0 0 0 0 1", "接 字 1 0 0 0 0 1", "近 字 1 0 0 0 0 1",
                   "接近 词 1 0 0 1 1 0"};
        QTest::newRow("a word typed only in part is no word typing")
            << "接近终点"
            << "0011"
            << "0 接 1000 5"
            << "r..." << QStringList{} << QStringList{"接 字 1 0 0 0 0 1"};
        QTest::newRow("a retyped character counts by the commit that typed it last")
            << "接近终点"
            << "0011"
            << "0 接 1000 5;1 王 2000 4;1 近 3000 4;2 终点 4000 3"
            << "rrrr" << QStringList{"接近 S接近 J接近 接|近 9 6 lost 3"}
            << QStringList{"接 字 1 0 0 0 0 1", "近 字 1 0 0 0 0 1", "接近 词 1 0 0 1 1 0", "终 字 1 0 0 0 0 1",
                   "点 字 1 0 0 0 0 1"};
        QTest::newRow("slow: more than twice the median time per character")
            << "接近终点"
            << "0011"
            << "0 接近 1000 6;2 终 1500 3;3 点 5000 3"
            << "rrrr" << QStringList{}
            << QStringList{"接 字 1 0 0 0 0 1", "近 字 1 0 0 0 0 1", "接近 词 1 0 0 0 0 1", "终 字 1 0 0 0 0 1",
                   "点 字 1 0 1 0 1 0"};
        QTest::newRow("twice the median exactly is not slow")
            << "接近终点"
            << "0011"
            << "0 接近 1000 6;2 终 1500 3;3 点 2500 3"
            << "rrrr" << QStringList{}
            << QStringList{"接 字 1 0 0 0 0 1", "近 字 1 0 0 0 0 1", "接近 词 1 0 0 0 0 1", "终 字 1 0 0 0 0 1",
                   "点 字 1 0 0 0 0 1"};
        QTest::newRow("a wrong character makes its word wrong; clean typings after the miss are counted")
            << "接近，接近，接近"
            << "00211200"
            << "0 接王 1000 6;2 ， 1500 1;3 接近 2500 6;5 ， 3000 1;6 接近 4000 6"
            << "rwrrrrrr" << QStringList{}
            << QStringList{"接 字 3 0 0 0 0 3", "近 字 3 1 0 0 1 2", "接近 词 3 1 0 0 1 2"};
        QTest::newRow("symbols, letters and line breaks are no items")
            << "接，a\n接"
            << "02420"
            << "0 接 1000 5;1 ， 2000 1;2 a 3000 1;3 \n 4000 1;4 接 5000 5"
            << "rrrrr" << QStringList{} << QStringList{"接 字 2 0 0 0 0 2"};
    }
    void lessons()
    {
        QFETCH(QString, text);
        QFETCH(QString, marks);
        QFETCH(QString, commits);
        QFETCH(QString, results);
        QFETCH(QStringList, pieces);
        QFETCH(QStringList, items);
        const KeyPathTable table = smallTable();
        const TestLessons lessons =
            lessonsOfTest({text, marks, commitsOf(commits), resultsOf(results)}, table, codesOf);
        QCOMPARE(piecesText(lessons.pieces), pieces);
        QCOMPARE(itemsText(lessons.items), items);
    }

    // The list is by keys lost, most first; bad input (marks or results shorter than the text,
    // commits beyond it) gives what can be read and never crashes.
    void piecesComeMostKeysLostFirst()
    {
        KeyPathTable table;
        table.addItem(QStringLiteral("50132"), QStringLiteral("接近"), 1);
        table.addItem(QStringLiteral("2782"), QStringLiteral("终点"), 2);
        table.finish();
        const TestLessons lessons = lessonsOfTest({QStringLiteral("接近终点"), QStringLiteral("0011"),
                                                      commitsOf(QStringLiteral("0 接 1000 5;1 近 2000 3;2 终 3000 "
                                                                               "4;3 点 4000 9")),
                                                      resultsOf(QStringLiteral("rrrr"))},
            table, codesOf);
        QCOMPARE(piecesText(lessons.pieces),
            (QStringList{"终点 S终点 J终点 终|点 13 5 lost 8", "接近 S接近 J接近 接|近 8 6 lost 2"}));

        const TestLessons cut = lessonsOfTest(
            {QStringLiteral("接近终点"), QStringLiteral("00"),
                commitsOf(QStringLiteral("0 接 1000 5;1 近 2000 3;7 终 3000 4")), resultsOf(QStringLiteral("rrr"))},
            table, codesOf);
        QCOMPARE(piecesText(cut.pieces), QStringList{"接近 S接近 J接近 接|近 8 6 lost 2"});
    }
};

QTEST_GUILESS_MAIN(TestLessonsTest)
#include "test_testlessons.moc"
