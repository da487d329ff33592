// orvane-cli drill and course over a history of the test's own.
#include "../support/clirun.h"
#include "history/historydb.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;

namespace {

HistoryRecord record(const QString &kind, double accuracy, int speed, const QVector<HistoryCommit> &commits = {})
{
    HistoryRecord r;
    r.start = QDateTime(QDate(2026, 3, 2), QTime(9, 0));
    r.end = r.start.addSecs(60);
    r.textName = kind;
    r.kind = kind;
    r.accuracy = accuracy;
    r.speed = speed;
    r.commits = commits;
    return r;
}

// Writes the tests into the history below home.
bool writeHistory(const QString &home, const QVector<HistoryRecord> &tests)
{
    HistoryDb db;
    QString error;
    if (!db.open(home + QStringLiteral("/orvane-tutor/history.db"), &error))
        return false;
    for (const HistoryRecord &r : tests)
        if (db.add(r, &error) == 0)
            return false;
    return true;
}

const QVector<HistoryCommit> kSlowWord = {{0, QStringLiteral("我们"), 1000, 2}, {2, QStringLiteral("是"), 1500, 2},
    {3, QStringLiteral("的"), 2000, 2}, {4, QStringLiteral("接近"), 9000, 4}};

} // namespace

class TestTeachingCli : public QObject {
    Q_OBJECT
private slots:
    void drill_data()
    {
        QTest::addColumn<bool>("slowWord");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::newRow("no history") << false << QStringList{} << 1;
        QTest::newRow("printed") << true << QStringList{u"--seed"_qs, u"4"_qs} << 0;
        QTest::newRow("written to a file")
            << true << QStringList{u"--seed"_qs, u"4"_qs, u"--out"_qs, u"drill.txt"_qs} << 0;
        QTest::newRow("a seed that is no number") << true << QStringList{u"--seed"_qs, u"x"_qs} << 2;
        QTest::newRow("an unknown option") << true << QStringList{u"--all"_qs} << 2;
    }
    void drill()
    {
        QFETCH(bool, slowWord);
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QTemporaryDir home;
        if (slowWord)
            QVERIFY(writeHistory(home.path(), {record(QString(), 100, 30, kSlowWord)}));
        const int out = int(args.indexOf(u"--out"_qs));
        if (out >= 0)
            args[out + 1] = home.filePath(args[out + 1]);
        const test::CliRun run = test::runCli(QStringLiteral("drill"), args, home.path());
        QCOMPARE(run.status, status);
        if (status == 2) {
            QVERIFY(run.err.contains(u"usage: orvane-cli drill"_qs));
            return;
        }
        if (status == 1) {
            QVERIFY(run.err.contains(u"还没有需要练习的字词"_qs));
            QVERIFY(run.out.isEmpty());
            return;
        }
        QString text;
        if (out >= 0) {
            QFile f(args[out + 1]);
            QVERIFY(f.open(QIODevice::ReadOnly));
            text = QString::fromUtf8(f.readAll()).trimmed();
        } else {
            text = run.out.section(u'\n', 0, 0);
        }
        // The weak word three times, a word of its own each time, and its codes after the text.
        QCOMPARE(text.split(u' ', Qt::SkipEmptyParts).count(u"接近"_qs), 3);
        QCOMPARE(text.count(u"接近"_qs), 3);
        QVERIFY2(run.out.contains(QRegularExpression(u"^接近\\t\\d{6}\\t"_qs, QRegularExpression::MultilineOption)),
            qPrintable(run.out));
        // The same seed gives the same text.
        QCOMPARE(test::runCli(QStringLiteral("drill"), args, home.path()).out, run.out);
    }

    void course()
    {
        QTemporaryDir home;
        QVERIFY(writeHistory(home.path(),
            {record(u"lesson 1"_qs, 99, 25), record(u"lesson 2"_qs, 99, 10), record(u"drill"_qs, 100, 80)}));
        const test::CliRun run = test::runCli(QStringLiteral("course"), {}, home.path());
        QCOMPARE(run.status, 0);
        const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 11);
        QCOMPARE(lines[0], u"1\t一位简码字\t98% · 20字/分\t已通过\t99.00% · 25字/分\t测试1次"_qs);
        QVERIFY2(lines[1].contains(u"\t可以练习\t99.00% · 10字/分\t测试1次"_qs), qPrintable(lines[1]));
        QVERIFY2(lines[2].endsWith(u"\t未开放\t-\t测试0次"_qs), qPrintable(lines[2]));
        QVERIFY(lines[10].contains(u"60字/分"_qs));

        const test::CliRun text = test::runCli(QStringLiteral("course"), {u"--text"_qs, u"1"_qs}, home.path());
        QCOMPARE(text.status, 0);
        QVERIFY(text.out.contains(u'，'));
        QCOMPARE(test::runCli(QStringLiteral("course"), {u"--text"_qs, u"12"_qs}, home.path()).status, 1);
        QCOMPARE(test::runCli(QStringLiteral("course"), {u"--text"_qs}, home.path()).status, 2);
    }
};

QTEST_GUILESS_MAIN(TestTeachingCli)
#include "test_teachingcli.moc"
