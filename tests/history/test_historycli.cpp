// orvane-cli history: the tests kept in the per-user history, as lines or as CSV.
#include "../support/clirun.h"
#include "history/historydb.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;

namespace {

using Run = test::CliRun;

Run history(const QStringList &args, const QString &dataHome)
{
    return test::runCli(QStringLiteral("history"), args, dataHome);
}

HistoryRecord record(const QString &name, const QDateTime &start, int right, int wrong)
{
    HistoryRecord r;
    r.start = start;
    r.end = start.addSecs(60);
    r.textName = name;
    r.textHash = historyTextHash(name);
    r.textLength = 40;
    r.total = r.hanzi = 40;
    r.elapsedSeconds = 60;
    r.right = right;
    r.wrong = wrong;
    r.accuracy = 100.0 * right / (right + wrong);
    r.speed = right + wrong;
    r.effectiveSpeed = right;
    r.keys = 3 * (right + wrong);
    r.keysPerSecond = r.keys / 60.0;
    return r;
}

} // namespace

class TestHistoryCli : public QObject {
    Q_OBJECT
private slots:
    void listsTheKeptTests()
    {
        QTemporaryDir home;
        const QString path = home.filePath(QStringLiteral("orvane-tutor/history.db"));
        QVector<HistoryRecord> written = {
            record(QStringLiteral("课文.txt"), QDateTime(QDate(2026, 3, 2), QTime(9, 0, 0)), 38, 2),
            record(QStringLiteral("第二篇.txt"), QDateTime(QDate(2026, 3, 3), QTime(20, 15, 5)), 40, 0)};
        {
            HistoryDb db;
            QString error;
            QVERIFY2(db.open(path, &error), qPrintable(error));
            for (HistoryRecord &r : written) {
                r.id = db.add(r, &error);
                QVERIFY2(r.id > 0, qPrintable(error));
            }
        }
        const Run lines = history({}, home.path());
        QVERIFY2(lines.status == 0, qPrintable(lines.err));
        QCOMPARE(lines.out,
            QStringLiteral(
                "1\t2026-03-02 09:00:00\t课文.txt\t用时=60秒 正确=38 错误=2 正确率=95.00% 速度=40 "
                "有效速度=38 键数=120 击键=2.00 码长=- 理论码长=- 打词率=- 理论打词率=- 退格=- 回改=- 键准=-\n"
                "2\t2026-03-03 20:15:05\t第二篇.txt\t用时=60秒 正确=40 错误=0 正确率=100.00% 速度=40 "
                "有效速度=40 键数=120 击键=2.00 码长=- 理论码长=- 打词率=- 理论打词率=- 退格=- 回改=- 键准=-\n"
                "tests=2\n"));

        const Run csv = history({QStringLiteral("--csv")}, home.path());
        QVERIFY2(csv.status == 0, qPrintable(csv.err));
        QCOMPARE(csv.out, historyCsv(written).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }

    void noHistoryYetIsEmptyAndCreatesNothing()
    {
        QTemporaryDir home;
        const Run run = history({}, home.path());
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QStringLiteral("tests=0\n"));
        QVERIFY(!QFile::exists(home.filePath(QStringLiteral("orvane-tutor"))));
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--json")} << false << 2 << "usage";
        QTest::newRow("two options") << QStringList{QStringLiteral("--csv"), QStringLiteral("--csv")} << false << 2
                                     << "usage";
        QTest::newRow("damaged file") << QStringList() << true << 1 << "history.db";
    }
    void failures()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, damaged);
        QFETCH(int, status);
        QFETCH(QString, message);
        QTemporaryDir home;
        if (damaged) {
            QVERIFY(QDir(home.path()).mkpath(QStringLiteral("orvane-tutor")));
            QFile f(home.filePath(QStringLiteral("orvane-tutor/history.db")));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(2048, '\x7f'));
        }
        const Run run = history(args, home.path());
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(run.out, QString());
    }
};

QTEST_GUILESS_MAIN(TestHistoryCli)
#include "test_historycli.moc"
