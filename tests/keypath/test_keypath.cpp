// The shortest key path: costs over a small hand-made table, the table's candidate order from a
// code database and custom words, and the command line.
#include "../support/clirun.h"
#include "segtest/keypath.h"
#include "segtest/keypathindex.h"

#include <QFile>
#include <QFileInfo>
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

// A code database of the generator's two tables with the rows these statements insert.
bool makeDatabase(const QString &path, const QStringList &inserts)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("make"));
        db.setDatabaseName(path);
        ok = db.open();
        QSqlQuery q(db);
        ok = ok
            && q.exec(
                QStringLiteral("CREATE TABLE jtzi (hz TEXT, srm TEXT, jm1 TEXT, jm2 TEXT, freq TEXT, gb2312 TEXT)"));
        ok = ok && q.exec(QStringLiteral("CREATE TABLE jtci (hz TEXT, srm TEXT, jm1 TEXT, jm2 TEXT, freq TEXT)"));
        for (const QString &insert : inserts)
            ok = ok && q.exec(insert);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("make"));
    return ok;
}

// A small database whose code "5" holds twelve characters, more than a page, 甲 (the most
// frequent) to 癸, then 子 and 丑; words under "56" and a full code shared by two items.
QStringList crowdedCodeRows()
{
    const QString chars = QStringLiteral("甲乙丙丁戊己庚辛壬癸子丑");
    QStringList values;
    for (int i = 0; i < chars.size(); ++i)
        values << QStringLiteral("('%1','5000%2','5',' ','%3',1)").arg(chars[i]).arg(i + 10).arg(100 - i);
    return {QStringLiteral("INSERT INTO jtzi VALUES ") + values.join(u','),
        QStringLiteral("INSERT INTO jtci VALUES ('甲乙','560001','56',' ','90'),('丙丁','560001','56',' ','80'),"
                       "('子丑','560002',' ',' ','70')")};
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
    void indexGivesTheSamePath_data();
    void indexGivesTheSamePath();
    void damagedIndexIsMadeAgain_data();
    void damagedIndexIsMadeAgain();
    void unwritableCacheFolder();
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
    // Under "8": 王 (900) before 玉 (100) by frequency; 丰 and 丰收 share 500, the character
    // first. 主 has a blank short code. Under "9": 田 and 由 by database order at equal
    // frequency, and the custom word 田由 before both.
    QVERIFY(makeDatabase(dbPath,
        {QStringLiteral("INSERT INTO jtzi VALUES "
                        "('玉','800001','8',' ','100',1),('王','800002','8',' ','900',1),"
                        "('丰','800003','8',' ','500',1),('主','800004',' ','8','x',1),"
                        "('田','900001','9',' ','50',1),('由','900002','9',' ','50',1)"),
            QStringLiteral("INSERT INTO jtci VALUES ('丰收','800005','8',' ','500')")}));
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

void TestKeyPath::indexGivesTheSamePath_data()
{
    QTest::addColumn<QString>("database"); // "real": the shipped jtdb.dat, else crowdedCodeRows
    QTest::addColumn<QString>("customWords");
    QTest::addColumn<QString>("text");
    const QString lesson =
        QStringLiteral("我们是学生，我们热爱学习。老师带我们去公园参观，今天天气很好，愈接近公园愈高兴。");
    QTest::newRow("worked example") << "real"
                                    << ""
                                    << "人民进步，\r\n我们是学生\r\n";
    QTest::newRow("lesson") << "real"
                            << "" << lesson;
    QTest::newRow("letters, digits, symbols, a character outside the BMP")
        << "real"
        << ""
        << "Qt6版本的输入法，速度达到120字/分钟！𠀀中文abc";
    // Custom words go first under their code: 人民 pushes 人 down under 8; 我们 is a custom word
    // and a word of the database under the same code, which counts once.
    QTest::newRow("custom words in front of the database") << "real"
                                                           << "人民\t8\n我们\t2372\n热爱学习\t1\n"
                                                           << lesson + QStringLiteral("人民人");
    QTest::newRow("no custom words, a crowded code") << "small"
                                                     << ""
                                                     << "甲乙丙丁戊己庚辛壬癸子丑甲乙丙丁子丑";
    // 丙丁 is a custom word and the database's second word under 56: it counts once, first.
    QTest::newRow("custom word repeats an item of the page") << "small"
                                                             << "丙丁\t56\n"
                                                             << "甲乙丙丁甲乙";
    QTest::newRow("custom words fill the page") << "small"
                                                << "甲乙\t5\n丙丁\t5\n戊己\t5\n庚辛\t5\n甲乙\t56\n子丑\t560002\n"
                                                << "甲乙丙丁戊己庚辛壬癸子丑子丑";
}

void TestKeyPath::indexGivesTheSamePath()
{
    QFETCH(QString, database);
    QFETCH(QString, customWords);
    QFETCH(QString, text);
    QTemporaryDir dir;
    QString dbPath = QStringLiteral(ORVANE_TEST_DATA_DIR "/jtdb.dat");
    if (database != QLatin1String("real")) {
        dbPath = dir.filePath(QStringLiteral("jtdb.dat"));
        QVERIFY(makeDatabase(dbPath, crowdedCodeRows()));
    }
    const QString custom = dir.filePath(QStringLiteral("custom-words.txt"));
    QVERIFY(writeFile(custom, customWords));
    const QString cache = dir.filePath(QStringLiteral("cache"));

    QString error;
    const std::optional<KeyPathTable> plain = KeyPathTable::load(dbPath, custom, text, &error);
    QVERIFY2(plain, qPrintable(error));
    const KeyPath expected = plain->shortestPath(text);
    // Once from a fresh index, once from the file it left.
    for (int round = 0; round < 2; ++round) {
        const std::optional<KeyPathTable> cached = KeyPathTable::loadCached(dbPath, custom, text, cache, &error);
        QVERIFY2(cached, qPrintable(error));
        const KeyPath path = cached->shortestPath(text);
        QCOMPARE(describe(path), describe(expected));
        QCOMPARE(path.keys, expected.keys);
        QCOMPARE(path.wordCharacters, expected.wordCharacters);
        // Any part of the text, as the typed stretch is.
        QCOMPARE(describe(cached->shortestPath(QStringView(text).left(text.size() / 2))),
            describe(plain->shortestPath(QStringView(text).left(text.size() / 2))));
    }
    QVERIFY(QFile::exists(KeyPathIndex::filePath(cache, dbPath)));
}

void TestKeyPath::damagedIndexIsMadeAgain_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("missing") << "missing";
    QTest::newRow("empty") << "empty";
    QTest::newRow("truncated") << "truncated";
    QTest::newRow("one byte changed") << "flipped";
    QTest::newRow("another version") << "version";
    QTest::newRow("database changed since") << "stale";
}

void TestKeyPath::damagedIndexIsMadeAgain()
{
    QFETCH(QString, damage);
    QTemporaryDir dir;
    const QString dbPath = dir.filePath(QStringLiteral("jtdb.dat"));
    QVERIFY(makeDatabase(dbPath, crowdedCodeRows()));
    const QString cache = dir.filePath(QStringLiteral("cache"));
    const QString file = KeyPathIndex::filePath(cache, dbPath);
    bool rebuilt = false;
    QVERIFY(KeyPathIndex::open(dbPath, cache, nullptr, &rebuilt));
    QVERIFY(rebuilt);
    QVERIFY(KeyPathIndex::open(dbPath, cache, nullptr, &rebuilt));
    QVERIFY(!rebuilt);

    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QByteArray bytes = f.readAll();
    f.close();
    if (damage == QLatin1String("stale")) {
        // 乙 becomes the most frequent under "5": an index of the old database would keep 甲 first.
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("change"));
        db.setDatabaseName(dbPath);
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(QStringLiteral("UPDATE jtzi SET freq = '1000' WHERE hz = '乙'")));
        db.close();
        QSqlDatabase::removeDatabase(QStringLiteral("change"));
        QFile touched(dbPath);
        QVERIFY(touched.open(QIODevice::ReadWrite));
        QVERIFY(touched.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    } else {
        if (damage == QLatin1String("missing"))
            QVERIFY(QFile::remove(file));
        else if (damage == QLatin1String("empty"))
            bytes.clear();
        else if (damage == QLatin1String("truncated"))
            bytes.chop(5);
        else if (damage == QLatin1String("flipped"))
            bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x10);
        else if (damage == QLatin1String("version"))
            bytes[8] = char(bytes[8] + 1);
        if (damage != QLatin1String("missing")) {
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QVERIFY(f.write(bytes) == bytes.size());
            f.close();
        }
        QVERIFY(!KeyPathIndex::fromBytes(bytes) || damage == QLatin1String("missing"));
    }

    const QString text = QStringLiteral("乙甲子丑");
    QString error;
    const std::optional<KeyPathTable> cached = KeyPathTable::loadCached(dbPath, {}, text, cache, &error);
    QVERIFY2(cached, qPrintable(error));
    QCOMPARE(describe(cached->shortestPath(text)), describe(KeyPathTable::load(dbPath, {}, text)->shortestPath(text)));
    // The file is whole again and serves the next call as it is.
    QVERIFY(KeyPathIndex::open(dbPath, cache, nullptr, &rebuilt));
    QVERIFY(!rebuilt);
}

void TestKeyPath::unwritableCacheFolder()
{
    // A cache folder that cannot be made (a file stands in its way) keeps no index, and the
    // table is the same.
    QTemporaryDir dir;
    const QString dbPath = dir.filePath(QStringLiteral("jtdb.dat"));
    QVERIFY(makeDatabase(dbPath, crowdedCodeRows()));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("cache")), QStringLiteral("a file")));
    const QString cache = dir.filePath(QStringLiteral("cache/orvane-tutor"));
    const QString text = QStringLiteral("子丑甲乙");
    QString error;
    for (int round = 0; round < 2; ++round) {
        const std::optional<KeyPathTable> cached = KeyPathTable::loadCached(dbPath, {}, text, cache, &error);
        QVERIFY2(cached, qPrintable(error));
        QCOMPARE(describe(cached->shortestPath(text)), QStringLiteral("子丑 560002 - 6|甲乙 56 space 3"));
    }
    QVERIFY(!QFileInfo::exists(cache));
    // A database that cannot be read is told as by the plain load.
    QVERIFY(!KeyPathTable::loadCached(dir.filePath(QStringLiteral("none.dat")), {}, text, cache, &error));
    QVERIFY(error.contains(QStringLiteral("none.dat")));
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
