// orvane-cli analyze: the report's text detail and whole-text key sections for a file.
#include "../support/clirun.h"
#include "prepare/codedictionary.h"
#include "prepare/externallibs.h"
#include "segtest/report.h"
#include "segtest/textstats.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;

namespace {

using Run = test::CliRun;

Run analyze(const QStringList &args, const QString &home)
{
    return test::runCli(QStringLiteral("analyze"), args, home);
}

} // namespace

class TestAnalyzeCli : public QObject {
    Q_OBJECT
private slots:
    void printsTheSectionsOfTheReport();
    void failures_data();
    void failures();
};

void TestAnalyzeCli::printsTheSectionsOfTheReport()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("你好，world。你好，我们是学生，我们热爱学习。\r\n").toUtf8());
    f.close();
    const Run run = analyze({path}, dir.path());
    QVERIFY2(run.status == 0, qPrintable(run.err));

    // The same pipeline in process: the default filters take the letters and the listed
    // punctuation out.
    ExternalLibs libs;
    QVERIFY(libs.open({QStringLiteral(ORVANE_TEST_DATA_DIR)}, QStringLiteral(ORVANE_TEST_DATA_DIR)));
    CodeDictionary dict(&libs);
    QVERIFY(dict.open(QStringLiteral(ORVANE_TEST_DATA_DIR "/jtdb.dat")));
    const QStringList lines = run.out.split(u'\n');
    QCOMPARE(lines.value(0), QStringLiteral("以下是关于文本的详细信息："));
    QVERIFY(!run.out.contains(u'\r'));
    QVERIFY(!run.out.contains(QStringLiteral("world")));
    QVERIFY(run.out.contains(QStringLiteral("     你好       2      277476       \n")));
    QVERIFY(run.out.contains(QStringLiteral("关于全部文本的键数信息：\n")));
    QVERIFY(run.out.contains(QStringLiteral("单字标准码输入时的字母数字数：0\n")));
    QVERIFY(run.out.contains(QStringLiteral("词组简码输入时的功能键数：")));
    // 我们 twice before 你好 twice: the later of two equal counts comes first.
    QVERIFY(run.out.indexOf(QStringLiteral("     我们 ")) < run.out.indexOf(QStringLiteral("     你好 ")));
}

void TestAnalyzeCli::failures_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::newRow("no file") << QStringList{} << 2;
    QTest::newRow("two files") << QStringList{"a", "b"} << 2;
    QTest::newRow("missing file") << QStringList{"/nonexistent/x.txt"} << 1;
    QTest::newRow("below a plain file") << QStringList{"PLAIN/x.txt"} << 1;
    QTest::newRow("too short") << QStringList{"SHORT"} << 1;
}

void TestAnalyzeCli::failures()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QTemporaryDir dir;
    QFile plain(dir.filePath(QStringLiteral("plain")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    QFile shortText(dir.filePath(QStringLiteral("short.txt")));
    QVERIFY(shortText.open(QIODevice::WriteOnly));
    shortText.write(QStringLiteral("你好").toUtf8());
    shortText.close();
    for (QString &a : args) {
        a.replace(QStringLiteral("PLAIN"), plain.fileName());
        a.replace(QStringLiteral("SHORT"), shortText.fileName());
    }
    const Run run = analyze(args, dir.path());
    QCOMPARE(run.status, status);
    QVERIFY(run.out.isEmpty());
    QVERIFY(!run.err.isEmpty());
}

QTEST_GUILESS_MAIN(TestAnalyzeCli)
#include "test_analyzecli.moc"
