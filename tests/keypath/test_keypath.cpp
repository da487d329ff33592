// The shortest key path: costs over a small hand-made table, the table's candidate order from a
// code database and custom words, and the command line.
#include "../support/clirun.h"
#include "segtest/keypath.h"

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;

namespace {

// Each step as "text code key keys", '-' for none, steps joined by '|'.
QString describe(const KeyPath &path)
{
    QStringList steps;
    for (const KeyPathStep &s : path.steps) {
        const QString text = s.kind == KeyPathStep::Kind::LineBreak ? QStringLiteral("\\n") : s.text;
        steps << QStringLiteral("%1 %2 %3 %4")
                     .arg(text, s.code.isEmpty() ? QStringLiteral("-") : s.code,
                         s.selectKey.isEmpty() ? QStringLiteral("-") : s.selectKey)
                     .arg(s.keys);
    }
    return steps.join(u'|');
}

// Codes and their candidates in table order.
KeyPathTable handMadeTable()
{
    const QList<QPair<QString, QStringList>> codes = {
        {"100001", {"中"}},              // the only item of a full code
        {"200002", {"国", "果"}},        // two items under a full code
        {"3", {"人"}},                   // a short code
        {"4", {"民"}},                   //
        {"345", {"人民"}},               // as many keys as its characters one by one
        {"5", {"甲", "乙", "丙", "丁"}}, // the fourth candidate takes F4
        {"6", {"子", "丑", "寅", "卯", "辰", "巳", "午", "未", "申", "酉", "戌"}},
        {"600006", {"戌", "亥"}}, // 戌 is 11th under "6": beyond the first page
        {"70", {"学生", "学"}},   // a word before a character under one code
    };
    KeyPathTable table;
    qint64 rank = 0;
    for (const auto &[code, items] : codes)
        for (const QString &item : items)
            table.addItem(code, item, rank++);
    table.finish();
    return table;
}

using Run = test::CliRun;

Run ideal(const QStringList &args, const QString &home)
{
    return test::runCli(QStringLiteral("ideal"), args, home);
}

bool writeFile(const QString &path, const QString &text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text.toUtf8()) >= 0;
}

} // namespace

class TestKeyPath : public QObject {
    Q_OBJECT
private slots:
    void costs_data();
    void costs();
    void figures();
    void tableOrderFromDatabase();
    void realTable();
    void missingDatabase();
    void commandLine();
    void commandLineUsage_data();
    void commandLineUsage();
};

void TestKeyPath::costs_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("steps");
    QTest::newRow("only item of a full code commits itself") << "中"
                                                             << "中 100001 - 6";
    QTest::newRow("first of a full code at the end takes space") << "国"
                                                                 << "国 200002 space 7";
    QTest::newRow("seventh digit commits the first candidate") << "国中"
                                                               << "国 200002 - 6|中 100001 - 6";
    QTest::newRow("punctuation commits the first candidate") << "国，"
                                                             << "国 200002 - 6|， - - 1";
    QTest::newRow("second candidate") << "果中"
                                      << "果 200002 ; 7|中 100001 - 6";
    QTest::newRow("short code") << "人"
                                << "人 3 space 2";
    QTest::newRow("fourth candidate takes an F-key") << "丁"
                                                     << "丁 5 F4 2";
    QTest::newRow("beyond the first page the full code") << "戌"
                                                         << "戌 600006 space 7";
    QTest::newRow("character without code") << "中a中"
                                            << "中 100001 - 6|a - - 1|中 100001 - 6";
    QTest::newRow("line break is Enter and does not commit") << "国\r\n国"
                                                             << "国 200002 space 7|\\n - Enter 1|国 200002 space 7";
    QTest::newRow("lone line feed") << "人\n人"
                                    << "人 3 space 2|\\n - Enter 1|人 3 space 2";
    QTest::newRow("trailing line breaks are not typed") << "中\r\n\r\n"
                                                        << "中 100001 - 6";
    QTest::newRow("tie goes to the word") << "人民"
                                          << "人民 345 space 4";
    QTest::newRow("word under a short code") << "学生"
                                             << "学生 70 space 3";
    QTest::newRow("empty text") << ""
                                << "";
}

void TestKeyPath::costs()
{
    QFETCH(QString, text);
    QFETCH(QString, steps);
    const KeyPathTable table = handMadeTable();
    const KeyPath path = table.shortestPath(text);
    QCOMPARE(describe(path), steps);
    int keys = 0;
    for (const KeyPathStep &s : path.steps)
        keys += s.keys;
    QCOMPARE(path.keys, keys);
}

void TestKeyPath::figures()
{
    const KeyPathTable table = handMadeTable();
    // 人民 4 keys (a word), ， 1, \n 1, 国 7: 13 keys over 5 positions; 2 of 3 Chinese
    // characters in words.
    const KeyPath path = table.shortestPath(u"人民，\r\n国\r\n");
    QCOMPARE(path.characters, 5);
    QCOMPARE(path.keys, 13);
    QCOMPARE(path.chineseCharacters, 3);
    QCOMPARE(path.wordCharacters, 2);
    QCOMPARE(path.codeLength(), 13.0 / 5);
    QCOMPARE(path.wordShare(), 2.0 / 3);
    const KeyPath none = table.shortestPath(u"，，");
    QCOMPARE(none.wordShare(), 0.0);
    QCOMPARE(KeyPath{}.codeLength(), 0.0);
}

void TestKeyPath::tableOrderFromDatabase()
{
    QTemporaryDir dir;
    const QString dbPath = dir.filePath(QStringLiteral("jtdb.dat"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("make"));
        db.setDatabaseName(dbPath);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(
            QStringLiteral("CREATE TABLE jtzi (hz TEXT, srm TEXT, jm1 TEXT, jm2 TEXT, freq TEXT, gb2312 TEXT)")));
        QVERIFY(q.exec(QStringLiteral("CREATE TABLE jtci (hz TEXT, srm TEXT, jm1 TEXT, jm2 TEXT, freq TEXT)")));
        // Under "8": 王 (900) before 玉 (100) by frequency; 丰 and 丰收 share 500, the character
        // first. 主 has a blank short code. Under "9": 田 and 由 by database order at equal
        // frequency, and the custom word 田由 before both.
        QVERIFY(q.exec(QStringLiteral("INSERT INTO jtzi VALUES "
                                      "('玉','800001','8',' ','100',1),('王','800002','8',' ','900',1),"
                                      "('丰','800003','8',' ','500',1),('主','800004',' ','8','x',1),"
                                      "('田','900001','9',' ','50',1),('由','900002','9',' ','50',1)")));
        QVERIFY(q.exec(QStringLiteral("INSERT INTO jtci VALUES ('丰收','800005','8',' ','500')")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("make"));
    const QString custom = dir.filePath(QStringLiteral("custom-words.txt"));
    QVERIFY(writeFile(custom, QStringLiteral("田由\t9\n")));

    QString error;
    const std::optional<KeyPathTable> table = KeyPathTable::load(dbPath, custom, {}, &error);
    QVERIFY2(table, qPrintable(error));
    const auto stepOf = [&](const QString &text) { return describe(table->shortestPath(text)); };
    QCOMPARE(stepOf(QStringLiteral("王")), QStringLiteral("王 8 space 2"));
    QCOMPARE(stepOf(QStringLiteral("丰")), QStringLiteral("丰 8 ; 2"));
    QCOMPARE(stepOf(QStringLiteral("丰收")), QStringLiteral("丰收 8 ' 2"));
    QCOMPARE(stepOf(QStringLiteral("玉")), QStringLiteral("玉 8 F4 2"));
    // A frequency that is no number counts as 0; jm2 stands in for a blank jm1.
    QCOMPARE(stepOf(QStringLiteral("主")), QStringLiteral("主 8 F5 2"));
    QCOMPARE(stepOf(QStringLiteral("田由")), QStringLiteral("田由 9 space 2"));
    QCOMPARE(stepOf(QStringLiteral("田")), QStringLiteral("田 9 ; 2"));
    QCOMPARE(stepOf(QStringLiteral("由")), QStringLiteral("由 9 ' 2"));

    // A table for one text keeps its items where the whole table has them, the others unseen.
    const std::optional<KeyPathTable> forText = KeyPathTable::load(dbPath, custom, u"玉由田由", &error);
    QVERIFY2(forText, qPrintable(error));
    QCOMPARE(describe(forText->shortestPath(u"玉由")), QStringLiteral("玉 8 F4 2|由 9 ' 2"));
    QCOMPARE(describe(forText->shortestPath(u"田由")), QStringLiteral("田由 9 space 2"));
    QCOMPARE(describe(forText->shortestPath(u"王")), QStringLiteral("王 - - 1"));

    // Without custom words 田 leads under "9".
    const std::optional<KeyPathTable> plain = KeyPathTable::load(dbPath, dir.filePath(QStringLiteral("none.txt")));
    QVERIFY(plain);
    QCOMPARE(describe(plain->shortestPath(u"田")), QStringLiteral("田 9 space 2"));
}

void TestKeyPath::realTable()
{
    // The worked example of the figures document, over the code database the program ships.
    const QString text = QStringLiteral("人民进步，\r\n我们是学生");
    QString error;
    const std::optional<KeyPathTable> table =
        KeyPathTable::load(QStringLiteral(ORVANE_TEST_DATA_DIR "/jtdb.dat"), QString(), text, &error);
    QVERIFY2(table, qPrintable(error));
    const KeyPath path = table->shortestPath(text);
    QCOMPARE(describe(path),
        QStringLiteral("人 8 space 2|民 7 space 2|进步 357217 - 6|， - - 1|\\n - Enter 1|"
                       "我们 2372 space 5|是 6 space 2|学生 3282 space 5"));
    QCOMPARE(path.characters, 11);
    QCOMPARE(path.keys, 24);
    QCOMPARE(path.wordCharacters, 6);
    QCOMPARE(path.chineseCharacters, 9);
}

void TestKeyPath::missingDatabase()
{
    QTemporaryDir dir;
    QString error;
    QVERIFY(!KeyPathTable::load(dir.filePath(QStringLiteral("jtdb.dat")), {}, {}, &error));
    QVERIFY(error.contains(dir.filePath(QStringLiteral("jtdb.dat"))));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("bad.dat")), QStringLiteral("not a database")));
    QVERIFY(!KeyPathTable::load(dir.filePath(QStringLiteral("bad.dat")), {}, {}, &error));
}

void TestKeyPath::commandLine()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.txt"));
    QVERIFY(writeFile(file, QStringLiteral("我们热爱学习，world学习使我们进步。\r\n你好，我们是学生。\r\n\r\n")));
    // A custom word of the learner is an entry of the installed table.
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("orvane-tutor")));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("orvane-tutor/custom-words.txt")), QStringLiteral("热爱学习\t1\n")));

    const Run run = ideal({file, QStringLiteral("--path")}, dir.path());
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QStringList lines = run.out.split(u'\n');
    QCOMPARE(lines.takeLast(), QString());
    const QString summary = lines.takeLast();
    QVERIFY(lines.contains(QStringLiteral("热爱学习\t1\tspace\t2")));
    int keys = 0;
    QString typed;
    for (const QString &line : lines) {
        const QStringList f = line.split(u'\t');
        QCOMPARE(f.size(), 4);
        keys += f[3].toInt();
        typed += f[0];
    }
    // The text as the open-text dialog's defaults leave it: the listed punctuation, the letters
    // and the line breaks are filtered out.
    QCOMPARE(typed, QStringLiteral("我们热爱学习学习使我们进步你好我们是学生"));
    const QRegularExpression form(QStringLiteral(
        "^characters=(\\d+) keys=(\\d+) ideal_code_length=(\\d+\\.\\d{3}) ideal_word_share=(\\d\\.\\d{3})$"));
    const QRegularExpressionMatch m = form.match(summary);
    QVERIFY2(m.hasMatch(), qPrintable(summary));
    QCOMPARE(m.captured(1).toInt(), 20);
    QCOMPARE(m.captured(2).toInt(), keys);
    QCOMPARE(m.captured(3), QString::number(double(keys) / 20, 'f', 3));

    // Without --path only the line.
    const Run plain = ideal({file}, dir.path());
    QCOMPARE(plain.out, summary + u'\n');
}

void TestKeyPath::commandLineUsage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::newRow("no file") << QStringList{} << 2;
    QTest::newRow("two files") << QStringList{"a", "b"} << 2;
    QTest::newRow("unknown option") << QStringList{"a", "--paths"} << 2;
    QTest::newRow("missing file") << QStringList{"/nonexistent/x.txt"} << 1;
}

void TestKeyPath::commandLineUsage()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QTemporaryDir dir;
    const Run run = ideal(args, dir.path());
    QCOMPARE(run.status, status);
    QVERIFY(run.out.isEmpty());
    QVERIFY(!run.err.isEmpty());
}

QTEST_GUILESS_MAIN(TestKeyPath)
#include "test_keypath.moc"
