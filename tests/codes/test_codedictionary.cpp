// CodeDictionary over jtdb.dat and the ExternalLibs wrapper; the generated database itself.
#include "prepare/codedictionary.h"
#include "prepare/externallibs.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using orvane::CodeDictionary;
using orvane::ExternalLibs;
using orvane::ItemCodes;

Q_DECLARE_METATYPE(ItemCodes)

namespace {
const QString kBin = QStringLiteral(ORVANE_TEST_DATA_DIR);
const QString kDb = kBin + QStringLiteral("/jtdb.dat");

// A small database in the layout of jtdb.dat, to show how jm1 and jm2 become the short code.
bool writeFixture(const QString &path, const QStringList &statements)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fixture"));
        db.setDatabaseName(path);
        ok = db.open();
        QSqlQuery q(db);
        for (const QString &s : statements)
            ok = ok && q.exec(s);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fixture"));
    return ok;
}
} // namespace

class TestCodeDictionary : public QObject {
    Q_OBJECT
    QTemporaryDir m_home;
    ExternalLibs m_libs;

private slots:
    void initTestCase();
    void shortCodeOf_data();
    void shortCodeOf();
    void lookup_data();
    void lookup();
    void shortCodeFromRecord_data();
    void shortCodeFromRecord();
    void itemsOutsideTheDatabase();
    void findShortCodeWord();
    void openErrors_data();
    void openErrors();
    void damagedDatabase_data();
    void damagedDatabase();
    void changedInPlaceWhileOpen();
    void librariesMissing();
    void wrapperBuffers();
    void databaseContents();
    void databaseAgreesWithLibraries();
};

void TestCodeDictionary::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path()));
    QString error;
    QVERIFY2(m_libs.open({kBin}, QString(), &error), qPrintable(error));
}

void TestCodeDictionary::shortCodeOf_data()
{
    QTest::addColumn<QString>("jm1");
    QTest::addColumn<QString>("jm2");
    QTest::addColumn<QString>("expected");
    QTest::newRow("jm1") << "50"
                         << "500"
                         << "50";
    QTest::newRow("jm1 blank: jm2") << " "
                                    << "32"
                                    << "32";
    QTest::newRow("both blank") << " "
                                << " "
                                << "";
    QTest::newRow("empty jm1: jm2 not looked at") << ""
                                                  << "32"
                                                  << "";
    QTest::newRow("two blanks are not the blank") << "  "
                                                  << "32"
                                                  << "  ";
    QTest::newRow("jm2 empty") << " "
                               << ""
                               << "";
}

void TestCodeDictionary::shortCodeOf()
{
    QFETCH(QString, jm1);
    QFETCH(QString, jm2);
    QFETCH(QString, expected);
    QCOMPARE(CodeDictionary::ShortCodeOf(jm1, jm2), expected);
}

void TestCodeDictionary::lookup_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<ItemCodes>("codes");
    QTest::newRow("character") << QStringLiteral("中") << ItemCodes{"500064", "5"};
    QTest::newRow("character with two short codes") << QStringLiteral("我") << ItemCodes{"235507", "23"};
    QTest::newRow("word") << QStringLiteral("中国") << ItemCodes{"504608", "5046"};
    QTest::newRow("long word") << QStringLiteral("中华人民共和国") << ItemCodes{"542686", "5426"};
    QTest::newRow("word without short code") << QStringLiteral("一声") << ItemCodes{"101407", ""};
    QTest::newRow("unknown word") << QStringLiteral("国中国") << ItemCodes{};
    QTest::newRow("latin") << QStringLiteral("abc") << ItemCodes{};
    QTest::newRow("lone quote") << QStringLiteral("\"") << ItemCodes{};
    QTest::newRow("lone apostrophe") << QStringLiteral("'") << ItemCodes{};
    QTest::newRow("empty") << QString() << ItemCodes{};
}

void TestCodeDictionary::lookup()
{
    QFETCH(QString, text);
    QFETCH(ItemCodes, codes);
    CodeDictionary dict(&m_libs);
    QString error;
    QVERIFY2(dict.open(kDb, &error), qPrintable(error));
    const ItemCodes got = dict.LookupCodes(text);
    QCOMPARE(got.standard, codes.standard);
    QCOMPARE(got.shortCode, codes.shortCode);
}

void TestCodeDictionary::shortCodeFromRecord_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<ItemCodes>("codes");
    QTest::newRow("jm1 blank, jm2 32") << QStringLiteral("甲") << ItemCodes{"111111", "32"};
    QTest::newRow("both blank") << QStringLiteral("乙") << ItemCodes{"222222", ""};
    QTest::newRow("empty jm1") << QStringLiteral("丙") << ItemCodes{"333333", ""};
    QTest::newRow("first record counts") << QStringLiteral("甲乙") << ItemCodes{"123456", "12"};
    QTest::newRow("quote even when the table has it") << QStringLiteral("\"") << ItemCodes{};
    QTest::newRow("surrogate pair is one character") << QString::fromUcs4(U"\U00020000") << ItemCodes{"555555", "5"};
}

void TestCodeDictionary::shortCodeFromRecord()
{
    QFETCH(QString, text);
    QFETCH(ItemCodes, codes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("jtdb.dat"));
    QVERIFY(writeFixture(path,
        {
            "CREATE TABLE jtzi (hz TEXT, srm TEXT, jm1 TEXT, jm2 TEXT)",
            "CREATE TABLE jtci (hz TEXT, srm TEXT, jm1 TEXT, jm2 TEXT)",
            "CREATE TABLE jmzici (hz TEXT, srm TEXT)",
            "INSERT INTO jtzi VALUES ('甲', '111111', ' ', '32'), ('乙', '222222', ' ', ' '),"
            " ('丙', '333333', '', '3'), ('\"', '999999', '9', ' '), ('\U00020000', '555555', '5', ' ')",
            "INSERT INTO jtci VALUES ('甲乙', '123456', '12', ' '), ('甲乙', '654321', '65', ' ')",
        }));
    CodeDictionary dict; // no libraries: nothing outside the fixture
    QString error;
    QVERIFY2(dict.open(path, &error), qPrintable(error));
    QCOMPARE(dict.LookupCodes(text), codes);
}

void TestCodeDictionary::itemsOutsideTheDatabase()
{
    CodeDictionary dict(&m_libs);
    QVERIFY(dict.open(kDb));
    // A custom word: the library's code without the blanks, no short code.
    QCOMPARE(m_libs.addWord(QStringLiteral("4326"), QStringLiteral("葛优躺")), 0);
    QCOMPARE(dict.LookupCodes(QStringLiteral("葛优躺")), (ItemCodes{"4326", ""}));
    QCOMPARE(dict.LookupCodes(QStringLiteral("优躺")), ItemCodes{}); // GetItemCode answers 0

    // GetItemCode answering -1 (libraries not loaded) gives no codes either.
    ExternalLibs notLoaded;
    QByteArray buffer;
    QCOMPARE(notLoaded.getItemCode(QStringLiteral("葛优躺"), &buffer), -1);
    CodeDictionary withoutLibs(&notLoaded);
    QVERIFY(withoutLibs.open(kDb));
    QCOMPARE(withoutLibs.LookupCodes(QStringLiteral("葛优躺")), ItemCodes{});

    // Not open: every lookup is empty, none crashes.
    CodeDictionary closed;
    QCOMPARE(closed.LookupCodes(QStringLiteral("中")), ItemCodes{});
    QCOMPARE(closed.FindShortCodeWord(QStringLiteral("中")), QString());
}

void TestCodeDictionary::findShortCodeWord()
{
    CodeDictionary dict(&m_libs);
    QVERIFY(dict.open(kDb));
    QCOMPARE(dict.FindShortCodeWord(QStringLiteral("中国")), QStringLiteral("5046"));
    QCOMPARE(dict.FindShortCodeWord(QStringLiteral("一")), QStringLiteral("1"));
    QCOMPARE(dict.FindShortCodeWord(QStringLiteral("一声")), QString());
    QCOMPARE(dict.FindShortCodeWord(QStringLiteral("x' OR '1'='1")), QString());
}

void TestCodeDictionary::openErrors_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << "missing";
    QTest::newRow("a folder") << "folder";
    QTest::newRow("not a database") << "garbage";
    QTest::newRow("database without the tables") << "empty-db";
}

void TestCodeDictionary::openErrors()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("jtdb.dat"));
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == QLatin1String("garbage")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(5000, 'x'));
    } else if (kind == QLatin1String("empty-db")) {
        QVERIFY(writeFixture(path, {"CREATE TABLE other (a TEXT)"}));
    }
    CodeDictionary dict(&m_libs);
    QString error;
    QVERIFY(!dict.open(path, &error));
    QVERIFY(!dict.isOpen());
    QVERIFY2(error.contains(path), qPrintable(error));
    QCOMPARE(dict.LookupCodes(QStringLiteral("中国")).shortCode, QString());
    if (kind == QLatin1String("missing"))
        QVERIFY(!QFile::exists(path)); // opening never creates an empty database
}

void TestCodeDictionary::damagedDatabase_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<bool>("foundAtOpen"); // without the full check
    QTest::newRow("none") << "" << false;
    QTest::newRow("cut short") << "cut" << true;
    QTest::newRow("grown") << "grown" << true;
    QTest::newRow("header overwritten") << "header" << true;
    QTest::newRow("a page in the middle overwritten") << "page" << false;
}

void TestCodeDictionary::damagedDatabase()
{
    QFETCH(QString, damage);
    QFETCH(bool, foundAtOpen);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("jtdb.dat"));
    QVERIFY(QFile::copy(kDb, path));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        const qint64 size = f.size();
        if (damage == QLatin1String("cut")) {
            QVERIFY(f.resize(size - 4096));
        } else if (damage == QLatin1String("grown")) {
            QVERIFY(f.resize(size + 4096));
        } else if (damage == QLatin1String("header")) {
            f.write(QByteArray(100, 'x'));
        } else if (damage == QLatin1String("page")) {
            QVERIFY(f.seek(size / 2 / 4096 * 4096));
            f.write(QByteArray(4096, '\x5A'));
        }
    }
    const bool sound = damage.isEmpty();
    QString error;
    {
        // The fast checks of open() alone.
        CodeDictionary dict(&m_libs);
        QCOMPARE(dict.open(path, &error), !foundAtOpen);
        if (foundAtOpen)
            QVERIFY2(error.contains(path) && error.contains(QStringLiteral("已损坏")), qPrintable(error));
    }
    QCOMPARE(CodeDictionary::checkIntegrity(path, &error), sound);
    if (!sound)
        QVERIFY2(error.contains(path) && error.contains(QStringLiteral("已损坏")), qPrintable(error));
    // After the full check, open() knows.
    CodeDictionary dict(&m_libs);
    QCOMPARE(dict.open(path, &error), sound);
    if (sound)
        QCOMPARE(dict.LookupStoredCodes(QStringLiteral("中国")).standard.isEmpty(), false);
    else
        QVERIFY2(error.contains(QStringLiteral("已损坏")), qPrintable(error));
}

// Another program that rewrites or truncates the database in place while it is open gives
// failed lookups, never a crash (a mapped file would end the process with SIGBUS); the next open
// refuses the changed file.
void TestCodeDictionary::changedInPlaceWhileOpen()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("jtdb.dat"));
    QVERIFY(QFile::copy(kDb, path));
    CodeDictionary dict(&m_libs);
    QString error;
    QVERIFY2(dict.open(path, &error), qPrintable(error));
    QVERIFY(!dict.LookupStoredCodes(QStringLiteral("中国")).standard.isEmpty());
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        const qint64 size = f.size();
        QVERIFY(f.seek(size / 4));
        f.write(QByteArray(int(size / 4), '\0'));
        QVERIFY(f.resize(size / 2));
    }
    const QString words = QStringLiteral("北京天安门广场人民英雄纪念碑的东西南北方向有很多游客在参观学习");
    for (qsizetype i = 0; i + 2 <= words.size(); ++i) {
        (void)dict.LookupCodes(words.mid(i, 2));
        (void)dict.FindShortCodeWord(words.mid(i, 2));
    }
    CodeDictionary again(&m_libs);
    QVERIFY(!again.open(path, &error));
    QVERIFY2(error.contains(QStringLiteral("已损坏")), qPrintable(error));
}

void TestCodeDictionary::librariesMissing()
{
    QTemporaryDir empty;
    ExternalLibs libs;
    QString error;
    QVERIFY(!libs.open({empty.path()}, QString(), &error));
    QVERIFY2(error.contains(QStringLiteral("libtalvex.so")), qPrintable(error));
    QVERIFY(!libs.isOpen());
    QString marks;
    QVERIFY(!libs.divideSentence(QStringLiteral("中国"), &marks, &error));
    QCOMPARE(libs.convert(QStringLiteral("中国")), QString());
    QCOMPARE(libs.addWord(QStringLiteral("1"), QStringLiteral("词")), -1);
}

void TestCodeDictionary::wrapperBuffers()
{
    QString marks;
    QString error;
    QVERIFY2(m_libs.divideSentence(QStringLiteral("我们今天去北京"), &marks, &error), qPrintable(error));
    QCOMPARE(marks, QStringLiteral("0011011"));
    // A NUL inside the text does not cut the marks short.
    QVERIFY(m_libs.divideSentence(QStringLiteral("中国") + QChar(u'\0') + QStringLiteral("人"), &marks, &error));
    QCOMPARE(marks.size(), 4);
    QVERIFY(!marks.contains(QChar(u'\0')));
    // A lone surrogate is one unit on both sides.
    QVERIFY(m_libs.divideSentence(QStringLiteral("中") + QChar(0xD800) + QStringLiteral("国"), &marks, &error));
    QCOMPARE(marks.size(), 3);

    QCOMPARE(m_libs.convert(QStringLiteral("中国")), QStringLiteral("504608"));
    QCOMPARE(m_libs.convertAdaptor(QStringLiteral("中国")), QStringLiteral("504608"));
    QCOMPARE(m_libs.convertAdaptor(QStringLiteral("xyz")), QString());
    QByteArray buffer;
    QCOMPARE(m_libs.getItemCode(QStringLiteral("中"), &buffer), 1);
    QCOMPARE(buffer, QByteArray("500064"));
    QCOMPARE(m_libs.addProfessionWord(QStringLiteral("专业词甲"), QStringLiteral("1234")), 1);
    QCOMPARE(m_libs.addWord(QStringLiteral("1234"), QStringLiteral("专业词甲")), 1);
}

void TestCodeDictionary::databaseContents()
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("contents"));
    db.setDatabaseName(kDb);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    QVERIFY(db.open());
    {
        QSqlQuery q(db);
        const auto scalar = [&q](const QString &sql) { return q.exec(sql) && q.next() ? q.value(0).toLongLong() : -1; };
        QCOMPARE(scalar("SELECT count(*) FROM jtzi WHERE gb2312 = '1'"), 6763); // every GB2312 hanzi
        QVERIFY(scalar("SELECT count(*) FROM jtci") >= 100000);
        QCOMPARE(scalar("SELECT count(*) FROM jtci WHERE length(hz) < 2"), 0);
        // Codes: digits only, six of them; jm1 and jm2 are a code or one blank.
        QCOMPARE(scalar("SELECT count(*) FROM (SELECT srm, jm1, jm2 FROM jtzi UNION ALL SELECT srm, jm1, jm2 FROM jtci)"
                        " WHERE length(srm) <> 6 OR srm GLOB '*[^0-9]*'"
                        " OR NOT (jm1 = ' ' OR (jm1 <> '' AND NOT jm1 GLOB '*[^0-9]*'))"
                        " OR NOT (jm2 = ' ' OR (jm2 <> '' AND NOT jm2 GLOB '*[^0-9]*'))"
                        " OR (jm1 = ' ' AND jm2 <> ' ')"),
            0);
        // One item per short code, and jmzici names it with its first short code.
        QCOMPARE(scalar("SELECT count(*) FROM (SELECT c FROM (SELECT jm1 c FROM jtzi WHERE jm1 <> ' ' UNION ALL"
                        " SELECT jm2 FROM jtzi WHERE jm2 <> ' ' UNION ALL SELECT jm1 FROM jtci WHERE jm1 <> ' '"
                        " UNION ALL SELECT jm2 FROM jtci WHERE jm2 <> ' ') GROUP BY c HAVING count(*) > 1)"),
            0);
        QCOMPARE(scalar("SELECT count(*) FROM jmzici j LEFT JOIN jtzi z ON z.hz = j.hz LEFT JOIN jtci c ON c.hz = j.hz"
                        " WHERE j.srm <> coalesce(z.jm1, c.jm1)"),
            0);
        QVERIFY(scalar("SELECT count(*) FROM jmzici") > 1000);
        // The most frequent characters have short codes, and most of running text is typed with them.
        QCOMPARE(scalar("SELECT count(*) FROM (SELECT jm1 FROM jtzi ORDER BY CAST(freq AS INTEGER) DESC LIMIT 50)"
                        " WHERE jm1 = ' '"),
            0);
        QVERIFY(scalar("SELECT 100 * sum(CASE WHEN jm1 <> ' ' THEN CAST(freq AS REAL) ELSE 0 END)"
                       " / sum(CAST(freq AS REAL)) FROM jtzi")
            >= 80);
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("contents"));
}

void TestCodeDictionary::databaseAgreesWithLibraries()
{
    // The database and the libraries come from one computation: every code agrees.
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("agree"));
    db.setDatabaseName(kDb);
    QVERIFY(db.open());
    {
        QSqlQuery q(db);
        QVERIFY(q.exec("SELECT hz, srm FROM jtzi WHERE gb2312 = '1' UNION ALL "
                       "SELECT * FROM (SELECT hz, srm FROM jtci LIMIT 3000)"));
        int checked = 0;
        while (q.next()) {
            QByteArray buffer;
            const QString hz = q.value(0).toString();
            QCOMPARE(m_libs.getItemCode(hz, &buffer), 1);
            QCOMPARE(QString::fromLatin1(buffer).trimmed(), q.value(1).toString());
            ++checked;
        }
        QVERIFY(checked > 9000);
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("agree"));
}

QTEST_GUILESS_MAIN(TestCodeDictionary)
#include "test_codedictionary.moc"
