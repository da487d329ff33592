// orvane-cli pieces --last, book, drill and course over a history of the test's own.
#include "clirun.h"
#include "history/historydb.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;

namespace {

HistoryRecord record(const QString &kind, double accuracy, int speed, const QVector<HistoryItem> &items = {})
{
    HistoryRecord r;
    r.start = QDateTime(QDate(2026, 3, 2), QTime(9, 0));
    r.end = r.start.addSecs(60);
    r.textName = kind;
    r.kind = kind;
    r.accuracy = accuracy;
    r.speed = speed;
    r.items = items;
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

// 接近 typed in pieces once: the book holds it.
const QVector<HistoryItem> kWordInPieces = {
    {QStringLiteral("接近"), true, QStringLiteral("501327"), QStringLiteral("50132"), 1, 0, 0, 1, 1, 0}};

} // namespace

class TestTeachingCli : public QObject {
    Q_OBJECT
private slots:
    void commands_data()
    {
        QTest::addColumn<QString>("subcommand");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("withTests");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");

        QTest::newRow("pieces of the last test, most keys lost first")
            << "pieces" << QStringList{"--last"} << true << 0
            << "终点\t2782\t-\t终|点\t13\t5\t8\n接近\t50132\t-\t接|近\t8\t6\t2\ntest=2 pieces=2\n";
        QTest::newRow("pieces without a test") << "pieces" << QStringList{"--last"} << false << 1 << "";
        QTest::newRow("pieces needs --last") << "pieces" << QStringList{} << true << 2 << "";
        QTest::newRow("the book")
            << "book" << QStringList{} << true << 0
            << "接近\t词\t50132\t-\t0\t0\t2\t2026-03-03 09:00:00\t0\n终\t字\t2782\t27\t1\t0\t0\t2026-03-02 "
               "09:00:00\t1\nitems=2\n";
        QTest::newRow("an empty book") << "book" << QStringList{} << false << 0 << "items=0\n";
        QTest::newRow("book takes no arguments") << "book" << QStringList{"--all"} << true << 2 << "";
    }
    void commands()
    {
        QFETCH(QString, subcommand);
        QFETCH(QStringList, args);
        QFETCH(bool, withTests);
        QFETCH(int, status);
        QFETCH(QString, out);
        QTemporaryDir home;
        if (withTests) {
            HistoryDb db;
            QString error;
            QVERIFY2(db.open(home.filePath(QStringLiteral("orvane-tutor/history.db")), &error), qPrintable(error));
            HistoryRecord first;
            first.start = QDateTime(QDate(2026, 3, 2), QTime(9, 0, 0));
            first.end = first.start.addSecs(60);
            first.pieces = {
                {QStringLiteral("接近"), QStringLiteral("50132"), QString(), QStringLiteral("接|近"), 9, 6}};
            first.items = {{QStringLiteral("接近"), true, QStringLiteral("50132"), QString(), 1, 0, 0, 1, 1, 0},
                {QStringLiteral("终"), false, QStringLiteral("2782"), QStringLiteral("27"), 2, 1, 0, 0, 1, 1}};
            HistoryRecord second = first;
            second.start = first.start.addDays(1);
            second.pieces = {
                {QStringLiteral("接近"), QStringLiteral("50132"), QString(), QStringLiteral("接|近"), 8, 6},
                {QStringLiteral("终点"), QStringLiteral("2782"), QString(), QStringLiteral("终|点"), 13, 5}};
            second.items = {{QStringLiteral("接近"), true, QStringLiteral("50132"), QString(), 1, 0, 0, 1, 1, 0}};
            QVERIFY(db.add(first, &error) == 1);
            QVERIFY(db.add(second, &error) == 2);
        }
        const test::CliRun run = test::runCli(subcommand, args, home.path());
        QCOMPARE(run.status, status);
        QCOMPARE(run.out, out);
        if (status != 0)
            QVERIFY(!run.err.isEmpty());
    }

    void drill_data()
    {
        QTest::addColumn<bool>("missedWord");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::newRow("no history, no book") << false << QStringList{} << 1;
        QTest::newRow("printed") << true << QStringList{u"--seed"_qs, u"4"_qs} << 0;
        QTest::newRow("written to a file")
            << true << QStringList{u"--seed"_qs, u"4"_qs, u"--out"_qs, u"drill.txt"_qs} << 0;
        QTest::newRow("a seed that is no number") << true << QStringList{u"--seed"_qs, u"x"_qs} << 2;
        QTest::newRow("an unknown option") << true << QStringList{u"--all"_qs} << 2;
    }
    void drill()
    {
        QFETCH(bool, missedWord);
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QTemporaryDir home;
        if (missedWord)
            QVERIFY(writeHistory(home.path(), {record(QString(), 100, 30, kWordInPieces)}));
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
        QVERIFY2((u"\n"_qs + run.out).endsWith(u"\n接近\t501327\t50132\n"_qs), qPrintable(run.out));
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
