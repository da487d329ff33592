// orvane-cli segment, codes and prepare, run as a user runs them.
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString kBin = QStringLiteral(ORVANE_TEST_DATA_DIR);

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run run(const QString &program, const QStringList &args, const QByteArray &input = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("ORVANE_HOME"));
    // Nothing installed on this machine takes part: only the folders a test gives.
    env.insert(QStringLiteral("ORVANE_DATA_DIR"), QString());
    env.insert(QStringLiteral("ORVANE_LIB_DIR"), QString());
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
        QString::fromUtf8(p.readAllStandardError())};
}
} // namespace

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir m_home;
    QString cli() const { return kBin + QStringLiteral("/orvane-cli"); }

private slots:
    void initTestCase()
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path()));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("cache"))));
    }
    void segment_data();
    void segment();
    void codes();
    void usage_data();
    void usage();
    void missingData();
    void dataFilesComeFromTheirCopyOnlyWhileUnchanged();
    void prepare_data();
    void prepare();
    void prepareNewsWithBothFilters();
};

// A news text full of years, dates, amounts, percentages and Latin abbreviations, in half and
// full width: with both filters no digit and no Latin letter is left, and the Chinese words
// that stood after the numbers (年, 月, 亿) are.
void TestCli::prepareNewsWithBothFilters()
{
    const QString news = QStringLiteral(ORVANE_SOURCE_DIR "/tests/codes/data/news-numbers.txt");
    const Run r = run(cli(),
        {QStringLiteral("prepare"), news, QStringLiteral("--filter-symbols"), QStringLiteral("--filter-letters")});
    QCOMPARE(r.exitCode, 0);
    static const QRegularExpression latinOrDigit(QStringLiteral("[0-9A-Za-z０-９Ａ-Ｚａ-ｚ]"));
    const QRegularExpressionMatch found = latinOrDigit.match(r.out);
    QVERIFY2(!found.hasMatch(), qPrintable(QStringLiteral("“%1” left in %2").arg(found.captured(), r.out)));
    for (const QString &kept : {QStringLiteral("新华社北京年月日电"), QStringLiteral("国内生产总值达到万亿元"),
             QStringLiteral("总投资亿元的新项目已于年开工"), QStringLiteral("于上午时分开幕")})
        QVERIFY2(r.out.contains(kept), qPrintable(kept + QStringLiteral(" missing in ") + r.out));

    const Run marks = run(cli(), {QStringLiteral("prepare"), news, QStringLiteral("--marks")});
    QCOMPARE(marks.exitCode, 0);
    QVERIFY(marks.out.contains(QLatin1Char('4')));
}

void TestCli::prepare_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out"); // standard output, or a part of the message
    const QByteArray text =
        QStringLiteral("“我们是学生。”\r\n 今天天气很好，abc 123 我们一起去公园散步吧！\r\n").toUtf8();
    QTest::newRow("no filters") << text << QStringList{} << 0
                                << QStringLiteral("“我们是学生。”今天天气很好，abc123我们一起去公园散步吧！\n");
    QTest::newRow("both filters") << text << QStringList{"--filter-symbols", "--filter-letters"} << 0
                                  << QStringLiteral("我们是学生今天天气很好我们一起去公园散步吧\n");
    QTest::newRow("marks") << QStringLiteral("我们是学生，我们热爱学习中文，也喜欢读书。").toUtf8()
                           << QStringList{"--marks"} << 0 << QStringLiteral("001002110011002100112\n");
    QTest::newRow("too short") << QStringLiteral("太短。").toUtf8() << QStringList{} << 1
                               << QStringLiteral("此文件中的汉字太少，不适于进行分词测试！");
    QTest::newRow("not text") << QByteArray(3000, '\0') << QStringList{} << 1 << QStringLiteral("不是文本文件");
}

void TestCli::prepare()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, out);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(file);
    f.close();
    const Run r = run(cli(), QStringList{QStringLiteral("prepare"), path} + args);
    QCOMPARE(r.exitCode, status);
    if (status == 0)
        QCOMPARE(r.out, out);
    else
        QVERIFY2(r.err.contains(out), qPrintable(r.err));
    // A missing file is reported with its name.
    const Run missing = run(cli(), {QStringLiteral("prepare"), dir.filePath(QStringLiteral("none.txt"))});
    QCOMPARE(missing.exitCode, 1);
    QVERIFY(missing.err.contains(QStringLiteral("none.txt")));
}

void TestCli::segment_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("output");
    const QString text = QStringLiteral("我们今天去北京\r\n\n你好，ABC123。\n");
    QTest::newRow("utf-8") << text.toUtf8() << QStringList()
                           << QStringLiteral("我们 今天 去 北京\n\n你好 ， ABC123 。\n");
    QStringEncoder toGb("GB18030");
    QTest::newRow("gb18030") << QByteArray(toGb(text)) << QStringList()
                             << QStringLiteral("我们 今天 去 北京\n\n你好 ， ABC123 。\n");
    QTest::newRow("marks") << text.toUtf8() << QStringList{"--marks"} << QStringLiteral("0011011\n\n0024444442\n");
    QTest::newRow("blanks are separators, last line without end")
        << QStringLiteral("中国  人民").toUtf8() << QStringList() << QStringLiteral("中国 人民\n");
    QTest::newRow("empty input") << QByteArray() << QStringList() << QString();
    QTest::newRow("utf-16 with byte-order mark")
        << QByteArray(QStringEncoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom)(text))
        << QStringList() << QStringLiteral("我们 今天 去 北京\n\n你好 ， ABC123 。\n");
    // The input is read in pieces: lines and characters cut between two reads come out whole,
    // in the encoding found at the start.
    QString many;
    QString manyWords;
    for (int i = 0; i < 12000; ++i) {
        many += QStringLiteral("我们今天去北京\r\n");
        manyWords += QStringLiteral("我们 今天 去 北京\n");
    }
    QTest::newRow("gb18030 over many reads") << QByteArray(toGb(many)) << QStringList() << manyWords;
    QTest::newRow("utf-8 over many reads")
        << (many + QStringLiteral("完")).toUtf8() << QStringList() << manyWords + QStringLiteral("完\n");
}

void TestCli::segment()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, args);
    QFETCH(QString, output);
    const Run r = run(cli(), QStringList{"segment"} + args, input);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, output);
}

void TestCli::codes()
{
    const Run r = run(cli(), {"codes", "中", "中国", "国中国"});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QStringLiteral("中\t500064\t5\n中国\t504608\t5046\n国中国\t-\t-\n"));
}

void TestCli::usage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("nothing") << QStringList();
    QTest::newRow("unknown subcommand") << QStringList{"frobnicate"};
    QTest::newRow("codes without words") << QStringList{"codes"};
    QTest::newRow("unknown option") << QStringList{"segment", "--fast"};
}

void TestCli::usage()
{
    QFETCH(QStringList, args);
    const Run r = run(cli(), args);
    QCOMPARE(r.exitCode, 2);
    QVERIFY(r.err.contains(QStringLiteral("usage")) || r.err.contains(QStringLiteral("unknown")));
}

void TestCli::missingData()
{
    // A program folder with the program alone: the libraries are missing.
    QTemporaryDir alone;
    const QString copy = alone.filePath(QStringLiteral("orvane-cli"));
    QVERIFY(QFile::copy(cli(), copy));
    Run r = run(copy, {"segment"}, "中国\n");
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(QStringLiteral("libtalvex.so")), qPrintable(r.err));

    // Libraries and dictionaries, but no code database.
    for (const char *name : {"libtalvex.so", "libmorrin.so", "libquenlor.so", "orvane-seg.dict", "orvane-codes.dat"})
        QVERIFY(QFile::link(kBin + QLatin1Char('/') + QLatin1String(name), alone.filePath(QLatin1String(name))));
    r = run(copy, {"segment"}, "中国\n");
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QStringLiteral("中国\n"));
    r = run(copy, {"codes", "中国"});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(QStringLiteral("jtdb.dat")), qPrintable(r.err));
}

// The dictionary and the code data are read and checked once, then taken from their copies in
// the cache folder; a damaged copy is made again, and a data file changed in place is read again
// (here: cut short, so refused) instead of being answered for by its old copy.
void TestCli::dataFilesComeFromTheirCopyOnlyWhileUnchanged()
{
    QTemporaryDir alone;
    QVERIFY(alone.isValid());
    const QString copy = alone.filePath(QStringLiteral("orvane-cli"));
    QVERIFY(QFile::copy(cli(), copy));
    for (const char *name : {"libtalvex.so", "libmorrin.so", "libquenlor.so", "jtdb.dat"})
        QVERIFY(QFile::link(kBin + QLatin1Char('/') + QLatin1String(name), alone.filePath(QLatin1String(name))));
    const QString dict = alone.filePath(QStringLiteral("orvane-seg.dict"));
    QVERIFY(QFile::copy(kBin + QStringLiteral("/orvane-seg.dict"), dict));
    QVERIFY(QFile::copy(kBin + QStringLiteral("/orvane-codes.dat"), alone.filePath(QStringLiteral("orvane-codes.dat"))));
    const QString cache = alone.filePath(QStringLiteral("cache"));
    const QByteArray savedCache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache));
    const auto restore = qScopeGuard([&] { qputenv("XDG_CACHE_HOME", savedCache); });

    const QString expected = QStringLiteral("我们 在 北京 天安门\n");
    Run r = run(copy, {"segment"}, "我们在北京天安门\n");
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, expected);
    const QDir folder(cache + QStringLiteral("/orvane-tutor"));
    const QStringList copies = folder.entryList({QStringLiteral("data-*.copy")}, QDir::Files);
    QCOMPARE(copies.size(), 2);
    QString dictCopy;
    for (const QString &name : copies)
        if (QFileInfo(folder.filePath(name)).size() == QFileInfo(dict).size() + 64)
            dictCopy = folder.filePath(name);
    QVERIFY(!dictCopy.isEmpty());
    QFile f(dictCopy);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray whole = f.readAll();
    f.close();

    // A damaged copy: not used, and made again.
    QByteArray damaged = whole;
    damaged[damaged.size() / 2] = char(damaged[damaged.size() / 2] ^ 0x5A);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(damaged), damaged.size());
    f.close();
    r = run(copy, {"segment"}, "我们在北京天安门\n");
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, expected);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), whole);
    f.close();

    // The dictionary cut short in place: its copy no longer stands for it.
    QVERIFY(QFile::resize(dict, QFileInfo(dict).size() - 1));
    r = run(copy, {"segment"}, "我们在北京天安门\n");
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(QStringLiteral("orvane-seg.dict")), qPrintable(r.err));
}

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
