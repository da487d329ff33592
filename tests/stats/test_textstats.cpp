// The character and word tables, the sort, the key counts of the whole text and of the typed
// stretch, and the user's figures, on the real code database and segmenter.
#include "prepare/codedictionary.h"
#include "prepare/externallibs.h"
#include "segtest/textstats.h"
#include "segtest/userkeys.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;
using namespace orvane::KeySlot;

namespace {

QString describeChars(const QVector<StatEntry> &entries)
{
    QStringList parts;
    for (const StatEntry &e : entries)
        parts << e.text + QString::number(e.count);
    return parts.join(u' ');
}

// "2:你好2 | 5:人民代表大会1": the classes that hold entries, each in table order.
QString describeWords(const WordTable &table)
{
    QStringList classes;
    for (int k = 1; k <= 5; ++k) {
        if (table[k].isEmpty())
            continue;
        QStringList words;
        for (const StatEntry &e : table[k])
            words << e.text + QString::number(e.count);
        classes << QString::number(k) + u':' + words.join(u' ');
    }
    return classes.join(QStringLiteral(" | "));
}

QList<int> keyList(const KeyCountSlots &k)
{
    return QList<int>(k.begin(), k.end());
}

// The 24 slots from the figures of the four modes, in slot order within each mode.
QList<int> keys(
    std::array<int, 5> charStd, std::array<int, 6> charShort, std::array<int, 6> wordStd, std::array<int, 7> wordShort)
{
    KeyCountSlots k{};
    // total, character keys, punctuation, function, letters
    k[CharStdTotal] = charStd[0], k[CharStdCharKeys] = charStd[1], k[CharStdPunct] = charStd[2];
    k[CharStdFunction] = charStd[3], k[CharStdAlpha] = charStd[4];
    // total, standard, short, punctuation, function, letters
    k[CharShortTotal] = charShort[0], k[CharShortStdKeys] = charShort[1], k[CharShortShortKeys] = charShort[2];
    k[CharShortPunct] = charShort[3], k[CharShortFunction] = charShort[4], k[CharShortAlpha] = charShort[5];
    // total, character keys, word keys, punctuation, function, letters
    k[WordStdTotal] = wordStd[0], k[WordStdCharKeys] = wordStd[1], k[WordStdWordKeys] = wordStd[2];
    k[WordStdPunct] = wordStd[3], k[WordStdFunction] = wordStd[4], k[WordStdAlpha] = wordStd[5];
    // total, standard, character short, word short, punctuation, function, letters
    k[WordShortTotal] = wordShort[0], k[WordShortStdKeys] = wordShort[1], k[WordShortCharShortKeys] = wordShort[2];
    k[WordShortWordShortKeys] = wordShort[3], k[WordShortPunct] = wordShort[4], k[WordShortFunction] = wordShort[5];
    k[WordShortAlpha] = wordShort[6];
    return keyList(k);
}

struct Fixture {
    QTemporaryDir userData;
    ExternalLibs libs;
    CodeDictionary dict{&libs};

    Fixture()
    {
        qputenv("XDG_DATA_HOME", userData.path().toUtf8());
        QString error;
        if (!libs.open({QStringLiteral(ORVANE_TEST_DATA_DIR)}, QStringLiteral(ORVANE_TEST_DATA_DIR), &error))
            qWarning() << error;
        if (!dict.open(QStringLiteral(ORVANE_TEST_DATA_DIR "/jtdb.dat"), &error))
            qWarning() << error;
    }

    QString marksOf(const QString &text)
    {
        QString marks;
        libs.divideSentence(text, &marks);
        return marks;
    }
};

} // namespace

class TestTextStats : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void textTables_data();
    void textTables();
    void codesOfTheTables();
    void characterTableTakesNoGeneratedCodes();
    void sortPutsTiesLater_data();
    void sortPutsTiesLater();
    void shortCodeFromTheSecondField();
    void textKeyCounts_data();
    void textKeyCounts();
    void typingDetails_data();
    void typingDetails();
    void userAnalysisOfTypedText();
    void userCounting_data();
    void userCounting();
    void userAnalysisWithoutLibraries();
};

void TestTextStats::initTestCase()
{
    Fixture f;
    QVERIFY2(f.libs.isOpen(), "the language libraries must load from the build folder");
    QVERIFY2(f.dict.isOpen(), "jtdb.dat must be in the build folder");
}

void TestTextStats::textTables_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("chars");
    QTest::addColumn<QString>("words");

    // Letters and digits stay out of both tables; punctuation only out of the word table.
    QTest::newRow("words, symbols and letters")
        << QStringLiteral("你好，world。你好") << QStringLiteral("你2 好2 ，1 。1") << QStringLiteral("2:你好2");
    QTest::newRow("letters and digits only") << QStringLiteral("abc123XYZ") << QString() << QString();
    // Two words met once each: the later one is sorted first.
    QTest::newRow("equal counts") << QStringLiteral("我们学生") << QStringLiteral("我1 们1 学1 生1")
                                  << QStringLiteral("2:学生1 我们1");
    QTest::newRow("six characters go to class 5")
        << QStringLiteral("人民代表大会") << QStringLiteral("人1 民1 代1 表1 大1 会1")
        << QStringLiteral("5:人民代表大会1");
    QTest::newRow("higher count first") << QStringLiteral("学生我们学生") << QStringLiteral("学2 生2 我1 们1")
                                        << QStringLiteral("2:学生2 我们1");
    QTest::newRow("line break counts as a character")
        << QStringLiteral("你好\n你好") << QStringLiteral("你2 好2 \n1") << QStringLiteral("2:你好2");
}

void TestTextStats::textTables()
{
    QFETCH(QString, text);
    QFETCH(QString, chars);
    QFETCH(QString, words);
    Fixture f;
    const QString marks = f.marksOf(text);
    QCOMPARE(marks.size(), text.size());
    TestStatistics stats;
    BuildCharStats(stats, text, f.dict);
    BuildWordStats(stats, text, marks, f.dict);
    QCOMPARE(describeChars(stats.CharStats), chars);
    QCOMPARE(describeWords(stats.WordStats), words);
    QCOMPARE(stats.charStatsLast(), int(stats.CharStats.size()) - 1);
}

void TestTextStats::codesOfTheTables()
{
    Fixture f;
    const QString text = QStringLiteral("你好，高。");
    TestStatistics stats;
    BuildCharStats(stats, text, f.dict);
    BuildWordStats(stats, text, QStringLiteral("00212"), f.dict);
    QCOMPARE(stats.CharStats.value(0),
        (StatEntry{QStringLiteral("你"), 1, QStringLiteral("272907"), QStringLiteral("2729")}));
    // Neither the database nor, for characters, the library codes the comma.
    QCOMPARE(stats.CharStats.value(2), (StatEntry{QStringLiteral("，"), 1, QString(), QString()}));
    // 高 has a blank in both short-code fields: no short code.
    QCOMPARE(stats.CharStats.value(3), (StatEntry{QStringLiteral("高"), 1, QStringLiteral("002270"), QString()}));
    QCOMPARE(stats.WordStats[2].value(0), (StatEntry{QStringLiteral("你好"), 1, QStringLiteral("277476"), QString()}));
    QCOMPARE(stats.WordStats[1].value(0), (StatEntry{QStringLiteral("高"), 1, QStringLiteral("002270"), QString()}));
}

void TestTextStats::characterTableTakesNoGeneratedCodes()
{
    Fixture f;
    // A custom word of two characters that the database lacks (a custom word has two or more
    // Chinese characters): the library codes the word, the character table gives its
    // characters no code.
    const QString character = QStringLiteral("\U00030000");
    const QString custom = character + character;
    QCOMPARE(f.libs.addWord(QStringLiteral("123456"), custom), 0);
    QCOMPARE(f.dict.LookupCodes(custom).standard, QStringLiteral("123456"));
    TestStatistics stats;
    BuildCharStats(stats, custom, f.dict);
    QCOMPARE(stats.CharStats.value(0), (StatEntry{character, 2, QString(), QString()}));
    // As a word it takes the library's code.
    BuildWordStats(stats, custom, QString(custom.size(), QLatin1Char('0')), f.dict);
    QString wordCode;
    for (const auto &table : stats.WordStats) {
        for (const StatEntry &e : table) {
            if (e.text == custom)
                wordCode = e.standardCode;
        }
    }
    QCOMPARE(wordCode, QStringLiteral("123456"));
}

void TestTextStats::sortPutsTiesLater_data()
{
    QTest::addColumn<QList<int>>("counts"); // of entries named a, b, c, ...
    QTest::addColumn<QString>("order");
    QTest::newRow("two equal") << QList<int>{1, 1} << QStringLiteral("ba");
    QTest::newRow("three equal") << QList<int>{1, 1, 1} << QStringLiteral("cab");
    QTest::newRow("mixed") << QList<int>{1, 3, 1, 3, 2} << QStringLiteral("dbeca");
    QTest::newRow("distinct falling") << QList<int>{3, 2, 1} << QStringLiteral("abc");
    QTest::newRow("distinct rising") << QList<int>{1, 2, 3} << QStringLiteral("cba");
    QTest::newRow("one") << QList<int>{4} << QStringLiteral("a");
    QTest::newRow("none") << QList<int>{} << QString();
}

void TestTextStats::sortPutsTiesLater()
{
    QFETCH(QList<int>, counts);
    QFETCH(QString, order);
    QVector<StatEntry> entries;
    for (int i = 0; i < counts.size(); ++i)
        entries.append({QString(QChar(u'a' + i)), counts[i], {}, {}});
    sortByFallingCount(entries);
    QString got;
    for (const StatEntry &e : entries)
        got += e.text;
    QCOMPARE(got, order);
}

void TestTextStats::shortCodeFromTheSecondField()
{
    // The real database has no character whose first short-code field is blank and whose second
    // is not: a database of three characters shows the rule.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("jtdb.dat"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fixture"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        for (const char *sql : {"CREATE TABLE jtzi (hz TEXT, srm TEXT, jm1 TEXT, jm2 TEXT, freq TEXT, gb2312 TEXT)",
                 "CREATE TABLE jtci (hz TEXT, srm TEXT, jm1 TEXT, jm2 TEXT, freq TEXT)",
                 "CREATE TABLE jmzici (hz TEXT, srm TEXT)",
                 "INSERT INTO jtzi VALUES ('甲', '123456', ' ', '2', '1', '1')",
                 "INSERT INTO jtzi VALUES ('乙', '234567', ' ', ' ', '1', '1')",
                 "INSERT INTO jtzi VALUES ('丙', '345678', '34', '5', '1', '1')"})
            QVERIFY2(q.exec(QString::fromUtf8(sql)), sql);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fixture"));
    CodeDictionary dict;
    QVERIFY(dict.open(path));
    TestStatistics stats;
    BuildCharStats(stats, QStringLiteral("甲乙丙"), dict);
    QCOMPARE(stats.CharStats.value(0).shortCode, QStringLiteral("2"));
    QCOMPARE(stats.CharStats.value(1).shortCode, QString());
    QCOMPARE(stats.CharStats.value(2).shortCode, QStringLiteral("34"));
    // 甲 by its short code (1 key), 乙 by its standard code (6), 丙 by its short code (2).
    const KeyCountSlots k = CountTextKeys(stats, 0, 0);
    QCOMPARE(k[CharShortShortKeys], 3);
    QCOMPARE(k[CharShortStdKeys], 6);
    QCOMPARE(k[CharShortFunction], 6);
    QCOMPARE(k[CharShortTotal], 15);
}

void TestTextStats::textKeyCounts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("expected");

    // 你 272907/2729 and 好 474476/474 twice each, the comma and the stop uncoded; 你好 277476
    // without a short code twice; 2 symbols, 5 letters.
    QTest::newRow("words, symbols and letters")
        << QStringLiteral("你好，world。你好")
        << keys({39, 24, 2, 8, 5}, {29, 0, 14, 2, 8, 5}, {23, 0, 12, 2, 4, 5}, {23, 12, 0, 0, 2, 4, 5});
    QTest::newRow("letters and digits only") << QStringLiteral(
        "abc123") << keys({6, 0, 0, 0, 6}, {6, 0, 0, 0, 0, 6}, {6, 0, 0, 0, 0, 6}, {6, 0, 0, 0, 0, 0, 6});
    // 高 (002270, no short code) is a word of one character: character keys of the word modes.
    // 学 324078/32, 生 251005/25, 学生 328255/3282.
    QTest::newRow("single-character word and short-coded word") << QStringLiteral(
        "高学生") << keys({24, 18, 0, 6, 0}, {16, 6, 4, 0, 6, 0}, {16, 6, 6, 0, 4, 0}, {14, 6, 0, 4, 0, 4, 0});
}

void TestTextStats::textKeyCounts()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, expected);
    Fixture f;
    const QString marks = f.marksOf(text);
    TestStatistics stats;
    BuildCharStats(stats, text, f.dict);
    BuildWordStats(stats, text, marks, f.dict);
    const int symbols = int(marks.count(QLatin1Char('2')));
    const int letters = int(marks.count(QLatin1Char('4')));
    QCOMPARE(keyList(CountTextKeys(stats, symbols, letters)), expected);
}

void TestTextStats::typingDetails_data()
{
    QTest::addColumn<int>("typed");
    QTest::addColumn<QList<int>>("bursts"); // finished bursts of 1..5 characters
    QTest::addColumn<int>("keystrokes");
    QTest::addColumn<QList<int>>("words"); // shown for 1..5
    QTest::addColumn<QString>("average");

    QTest::newRow("unfinished four-character burst")
        << 10 << QList<int>{2, 2, 0, 0, 0} << 25 << QList<int>{2, 2, 0, 1, 0} << QStringLiteral("2.50");
    QTest::newRow("three keys a character")
        << 3 << QList<int>{1, 1, 0, 0, 0} << 10 << QList<int>{1, 1, 0, 0, 0} << QStringLiteral("3.33");
    QTest::newRow("long unfinished burst is a long word")
        << 12 << QList<int>{1, 0, 0, 0, 0} << 30 << QList<int>{1, 0, 0, 0, 1} << QStringLiteral("2.50");
    QTest::newRow("class 5 counts five characters")
        << 7 << QList<int>{0, 1, 0, 0, 1} << 14 << QList<int>{0, 1, 0, 0, 1} << QStringLiteral("2.00");
    QTest::newRow("unfinished single character")
        << 1 << QList<int>{0, 0, 0, 0, 0} << 2 << QList<int>{1, 0, 0, 0, 0} << QStringLiteral("2.00");
    QTest::newRow("nothing typed") << 0 << QList<int>{3, 0, 0, 0, 0} << 9 << QList<int>{0, 0, 0, 0, 0}
                                   << QStringLiteral("0");
}

void TestTextStats::typingDetails()
{
    QFETCH(int, typed);
    QFETCH(QList<int>, bursts);
    QFETCH(int, keystrokes);
    QFETCH(QList<int>, words);
    QFETCH(QString, average);
    TestCounters doc;
    doc.RightCharCount = typed - typed / 3;
    doc.WrongCharCount = typed / 3;
    for (int k = 1; k <= 5; ++k)
        doc.UserWordCounts[k] = bursts[k - 1];
    doc.KeystrokeCount = keystrokes;
    const TypingDetails d = orvane::typingDetails(doc);
    QCOMPARE(d.typed, typed);
    QCOMPARE(QList<int>(d.wordCounts.begin() + 1, d.wordCounts.end()), words);
    QCOMPARE(d.averageText, average);
    // What the report prints: with nothing typed, no keys of the counters either.
    QCOMPARE(d.keystrokes, typed ? keystrokes : 0);
    QCOMPARE(d.average, average.toDouble());
}

void TestTextStats::userAnalysisOfTypedText()
{
    Fixture f;
    TestStatistics stats;
    QString error;
    QVERIFY2(AnalyzeTypedText(stats, QStringLiteral("你好。"), &f.libs, f.dict, &error), qPrintable(error));
    QCOMPARE(stats.UserMarks, QStringLiteral("002"));
    // The full stop is entered, uncoded, in class 1; the table keeps the order of first meeting.
    QCOMPARE(describeWords(stats.UserWordStats), QStringLiteral("1:。1 | 2:你好1"));
    QCOMPARE(stats.UserWordStats[1].value(0).standardCode, QString());
    QCOMPARE(describeChars(stats.UserCharStats), QStringLiteral("你1 好1 。1"));
    const KeyCountSlots k = CountUserKeys(stats);
    QCOMPARE(k[WordStdWordKeys], 6);
    QCOMPARE(k[WordStdFunction], 2);
    QCOMPARE(k[WordStdPunct], 1);
    QCOMPARE(k[WordStdTotal], 9);
    // 你 2729 and 好 474 by their short codes, the stop one key.
    QCOMPARE(k[CharShortTotal], 4 + 3 + 4 + 1);
}

void TestTextStats::userCounting_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("marks"); // empty: the segmenter's
    QTest::addColumn<QList<int>>("expected");

    // 你 272907/2729, 好 474476/474, 学 324078/32, 生 251005/25, 我 235507/23, 们 272205/272,
    // 学生 328255/3282, 我们 237275/2372.
    QTest::newRow("typed stop") << QStringLiteral("你好。") << QString()
                                << keys({17, 12, 1, 4, 0}, {12, 0, 7, 1, 4, 0}, {9, 0, 6, 1, 2, 0},
                                       {9, 6, 0, 0, 1, 2, 0});
    // A blank typed between two words costs nothing singly; as a class-1 run it costs nothing in
    // 词组标准码 and 2 function keys in 词组简码.
    QTest::newRow("blank between words") << QStringLiteral("你 好") << QStringLiteral("021")
                                         << keys({16, 12, 0, 4, 0}, {11, 0, 7, 0, 4, 0}, {16, 12, 0, 0, 4, 0},
                                                {13, 0, 7, 0, 0, 6, 0});
    // Two blanks make a class-2 run: 2 function keys in both word modes.
    QTest::newRow("two blanks between words")
        << QStringLiteral("你  好") << QStringLiteral("0221")
        << keys({16, 12, 0, 4, 0}, {11, 0, 7, 0, 4, 0}, {18, 12, 0, 0, 6, 0}, {13, 0, 7, 0, 0, 6, 0});
    // An uncoded three-character run twice: 6 punctuation keys in both word modes.
    QTest::newRow("uncoded run twice") << QStringLiteral("☆★◇你☆★◇") << QString()
                                       << keys({14, 6, 6, 2, 0}, {12, 0, 4, 6, 2, 0}, {14, 6, 0, 6, 2, 0},
                                              {12, 0, 4, 0, 6, 2, 0});
    QTest::newRow("letters are counted, not entered")
        << QStringLiteral("学生abc我们") << QString()
        << keys({35, 24, 0, 8, 3}, {20, 0, 9, 0, 8, 3}, {19, 0, 12, 0, 4, 3}, {15, 0, 0, 8, 0, 4, 3});
    // Marks missing at the end count as punctuation.
    QTest::newRow("marks cut short") << QStringLiteral("你好。") << QStringLiteral("00")
                                     << keys({17, 12, 1, 4, 0}, {12, 0, 7, 1, 4, 0}, {9, 0, 6, 1, 2, 0},
                                            {9, 6, 0, 0, 1, 2, 0});
}

void TestTextStats::userCounting()
{
    QFETCH(QString, typed);
    QFETCH(QString, marks);
    QFETCH(QList<int>, expected);
    Fixture f;
    TestStatistics stats;
    BuildUserStats(stats, typed, marks.isEmpty() ? f.marksOf(typed) : marks, f.dict);
    QCOMPARE(keyList(CountUserKeys(stats)), expected);
    // Counting again from the kept tables gives the same figures.
    QCOMPARE(keyList(CountUserKeys(stats)), expected);
}

void TestTextStats::userAnalysisWithoutLibraries()
{
    Fixture f;
    TestStatistics stats;
    stats.UserAlphaCount = 5; // from an earlier analysis
    QString error;
    QVERIFY(!AnalyzeTypedText(stats, QStringLiteral("你好"), nullptr, f.dict, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(stats.UserAlphaCount, 0);
    QCOMPARE(keyList(CountUserKeys(stats)), keyList(KeyCountSlots{}));
}

QTEST_GUILESS_MAIN(TestTextStats)
#include "test_textstats.moc"
