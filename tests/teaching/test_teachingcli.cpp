// orvane-cli pieces --last and orvane-cli book over a history of the test's own.
#include "clirun.h"
#include "history/historydb.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;
using orvane::test::runCli;

class TeachingCliTest : public QObject {
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
        const test::CliRun run = runCli(subcommand, args, home.path());
        QCOMPARE(run.status, status);
        QCOMPARE(run.out, out);
        if (status != 0)
            QVERIFY(!run.err.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TeachingCliTest)
#include "test_teachingcli.moc"
