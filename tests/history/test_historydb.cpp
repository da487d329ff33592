// history.db on real SQLite files: a test with its commits comes back as written, the schema
// is created and kept, files that cannot be opened are refused with a reason, and a test whose
// writing fails leaves nothing behind.
#include "history/historydb.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;

namespace {

HistoryRecord sampleRecord(const QString &name, const QDateTime &start)
{
    HistoryRecord r;
    r.start = start;
    r.end = start.addSecs(95);
    r.textName = name;
    r.textHash = historyTextHash(QStringLiteral("我们是学生。"));
    r.textLength = 6;
    r.total = 6;
    r.hanzi = 5;
    r.symbols = 1;
    r.elapsedSeconds = 90;
    r.right = 5;
    r.wrong = 1;
    r.accuracy = 83.33;
    r.speed = 4;
    r.effectiveSpeed = 3;
    r.keys = 17;
    r.bursts = {0, 1, 1, 0, 0, 0};
    r.keysPerSecond = 0.19;
    r.backspaces = 2;
    r.commits = {{0, QStringLiteral("我们"), 1200, 5}, {2, QStringLiteral("是"), 2500, 4},
        {3, QStringLiteral("学生"), 4100, 6}, {5, QStringLiteral("。"), 4300, 1}};
    return r;
}

void compareRecords(const HistoryRecord &a, const HistoryRecord &b)
{
    QCOMPARE(a.start, b.start);
    QCOMPARE(a.end, b.end);
    QCOMPARE(a.textName, b.textName);
    QCOMPARE(a.textHash, b.textHash);
    QCOMPARE(a.textLength, b.textLength);
    QCOMPARE(a.total, b.total);
    QCOMPARE(a.hanzi, b.hanzi);
    QCOMPARE(a.symbols, b.symbols);
    QCOMPARE(a.alpha, b.alpha);
    QCOMPARE(a.elapsedSeconds, b.elapsedSeconds);
    QCOMPARE(a.right, b.right);
    QCOMPARE(a.wrong, b.wrong);
    QCOMPARE(a.accuracy, b.accuracy);
    QCOMPARE(a.speed, b.speed);
    QCOMPARE(a.effectiveSpeed, b.effectiveSpeed);
    QCOMPARE(a.keys, b.keys);
    QCOMPARE(a.bursts, b.bursts);
    QCOMPARE(a.keysPerSecond, b.keysPerSecond);
    QCOMPARE(a.codeLength, b.codeLength);
    QCOMPARE(a.idealCodeLength, b.idealCodeLength);
    QCOMPARE(a.wordShare, b.wordShare);
    QCOMPARE(a.idealWordShare, b.idealWordShare);
    QCOMPARE(a.backspaces, b.backspaces);
    QCOMPARE(a.retyped, b.retyped);
    QCOMPARE(a.keyAccuracy, b.keyAccuracy);
    QCOMPARE(a.kind, b.kind);
}

// Runs SQL on the file through a connection of its own, as another program would.
struct OtherConnection {
    explicit OtherConnection(const QString &path)
    {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        db.setDatabaseName(path);
        db.open();
    }
    ~OtherConnection()
    {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
    }
    bool exec(const QString &sql)
    {
        QSqlQuery q(db);
        if (!q.exec(sql))
            qWarning("%s", qPrintable(q.lastError().text()));
        return !q.lastError().isValid();
    }
    QSqlDatabase db;
};

const QDateTime kMonday(QDate(2026, 3, 2), QTime(9, 0, 0));

} // namespace

class TestHistoryDb : public QObject {
    Q_OBJECT
private slots:
    void aTestComesBackAsWritten()
    {
        QTemporaryDir dir;
        // The folder is created with the file.
        const QString path = dir.filePath(QStringLiteral("data/orvane-tutor/history.db"));
        HistoryRecord second = sampleRecord(QStringLiteral("第二篇, \"引\""), kMonday.addDays(1));
        second.keysPerSecond.reset();
        second.backspaces.reset();
        second.codeLength = 2.5;
        second.retyped = 0;
        second.kind = QStringLiteral("lesson 3");
        second.commits.clear();
        {
            HistoryDb db;
            QString error;
            QVERIFY2(db.open(path, &error), qPrintable(error));
            // Written newer first: the list is by start time all the same.
            QVERIFY(db.add(second, &error) > 0);
            QVERIFY(db.add(sampleRecord(QStringLiteral("课文.txt"), kMonday), &error) > 0);
        }
        HistoryDb db;
        QString error;
        QVERIFY2(db.open(path, &error), qPrintable(error));
        const QVector<HistoryRecord> tests = db.tests(&error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(tests.size(), 2);
        compareRecords(tests[0], sampleRecord(QStringLiteral("课文.txt"), kMonday));
        compareRecords(tests[1], second);
        QCOMPARE(db.commits(tests[0].id), sampleRecord(QString(), kMonday).commits);
        QCOMPARE(db.commits(tests[1].id), QVector<HistoryCommit>());

        // Deleting a test takes its commits with it.
        QVERIFY(db.remove({tests[0].id}, &error));
        QCOMPARE(db.tests().size(), 1);
        QCOMPARE(db.commits(tests[0].id), QVector<HistoryCommit>());
        OtherConnection other(path);
        QSqlQuery q(other.db);
        QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*) FROM commits")) && q.next());
        QCOMPARE(q.value(0).toInt(), 0);
    }

    // The words typed in pieces and the items of a test are written with it and go with it when
    // it is deleted; the items of a test with a kind (a drill) are practice, not running text.
    void whatATestTeachesGoesWithIt()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("history.db"));
        HistoryDb db;
        QString error;
        QVERIFY2(db.open(path, &error), qPrintable(error));
        QVERIFY(!db.lastTest(&error));
        HistoryRecord drill = sampleRecord(QStringLiteral("练习"), kMonday);
        drill.kind = QStringLiteral("drill");
        drill.pieces = {{QStringLiteral("接近"), QStringLiteral("50132"), QString(), QStringLiteral("接|近"), 9, 6},
            {QStringLiteral("学生"), QStringLiteral("328211"), QStringLiteral("3282"), QStringLiteral("学|生"), 8, 5}};
        drill.items = {{QStringLiteral("接近"), true, QStringLiteral("50132"), QString(), 2, 0, 1, 1, 2, 0},
            {QStringLiteral("接"), false, QStringLiteral("5013"), QStringLiteral("5"), 2, 1, 0, 0, 1, 1}};
        const qint64 first = db.add(drill, &error);
        HistoryRecord plain = sampleRecord(QStringLiteral("课文"), kMonday.addDays(1));
        const qint64 second = db.add(plain, &error);
        QVERIFY2(first > 0 && second > first, qPrintable(error));

        const QVector<HistoryRecord> tests = db.tests(&error);
        QCOMPARE(tests.size(), 2);
        QCOMPARE(tests[0].kind, QStringLiteral("drill"));
        QCOMPARE(tests[1].kind, QString());
        QCOMPARE(db.lastTest(&error)->id, second);
        QCOMPARE(db.pieces(first, &error), drill.pieces);
        QCOMPARE(db.pieces(second, &error), QVector<HistoryPiece>());
        const QVector<HistoryTestItems> items = db.itemsOfTests(&error);
        QCOMPARE(items.size(), 1); // the second test has none
        QCOMPARE(items[0].testId, first);
        QCOMPARE(items[0].start, kMonday);
        QVERIFY(items[0].practice);
        QCOMPARE(items[0].items.size(), 2);
        for (const HistoryItem &item : drill.items)
            QVERIFY(items[0].items.contains(item));

        // A removal from the book counts up to the newest test kept when it was made.
        QVERIFY(db.removeFromBook(QStringLiteral("接"), false, &error));
        const QVector<HistoryBookRemoval> removals = db.bookRemovals(&error);
        QCOMPARE(removals.size(), 1);
        QCOMPARE(removals[0].text, QStringLiteral("接"));
        QCOMPARE(removals[0].afterTestId, second);

        QVERIFY(db.remove({first}, &error));
        QCOMPARE(db.pieces(first, &error), QVector<HistoryPiece>());
        QCOMPARE(db.itemsOfTests(&error).size(), 0);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    // A file of the first version (written before kinds, pieces and the book), and one of the
    // second (tests with a kind, no pieces or book yet), open with their tests and commits as
    // they were; their tests keep their kind and teach nothing yet.
    void anOlderFileKeepsItsTests_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("kind");
        QTest::newRow("version 1") << 1 << QString();
        QTest::newRow("version 2, a lesson") << 2 << QStringLiteral("lesson 2");
        QTest::newRow("version 2, running text") << 2 << QString();
    }
    void anOlderFileKeepsItsTests()
    {
        QFETCH(int, version);
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("history.db"));
        {
            OtherConnection old(path);
            QVERIFY(old.exec(QStringLiteral(
                "CREATE TABLE tests (id INTEGER PRIMARY KEY AUTOINCREMENT, start_time TEXT NOT NULL, end_time TEXT NOT "
                "NULL, text_name TEXT NOT NULL, text_hash TEXT NOT NULL, text_length INTEGER NOT NULL, total INTEGER "
                "NOT "
                "NULL, hanzi INTEGER NOT NULL, symbols INTEGER NOT NULL, alpha INTEGER NOT NULL, elapsed_seconds "
                "INTEGER "
                "NOT NULL, right_chars INTEGER NOT NULL, wrong_chars INTEGER NOT NULL, accuracy REAL NOT NULL, speed "
                "INTEGER NOT NULL, effective_speed INTEGER NOT NULL, keys INTEGER NOT NULL, burst1 INTEGER NOT NULL, "
                "burst2 INTEGER NOT NULL, burst3 INTEGER NOT NULL, burst4 INTEGER NOT NULL, burst5 INTEGER NOT NULL, "
                "keys_per_second REAL, code_length REAL, ideal_code_length REAL, word_share REAL, ideal_word_share "
                "REAL, backspaces INTEGER, retyped INTEGER, key_accuracy REAL)")));
            QVERIFY(old.exec(QStringLiteral("CREATE INDEX tests_by_start ON tests(start_time)")));
            QVERIFY(old.exec(QStringLiteral(
                "CREATE TABLE commits (test_id INTEGER NOT NULL REFERENCES tests(id) ON DELETE CASCADE, seq INTEGER "
                "NOT NULL, position INTEGER NOT NULL, text TEXT NOT NULL, ms INTEGER NOT NULL, keys INTEGER NOT NULL, "
                "PRIMARY KEY (test_id, seq))")));
            QVERIFY(old.exec(QStringLiteral(
                "INSERT INTO tests VALUES (7, '2025-12-01T08:00:00', '2025-12-01T08:01:35', '旧课文.txt', 'abc', 6, 6, "
                "5, 1, 0, 90, 5, 1, 83.33, 4, 3, 17, 0, 1, 1, 0, 0, 0.19, NULL, NULL, NULL, NULL, 2, NULL, NULL)")));
            QVERIFY(old.exec(QStringLiteral("INSERT INTO commits VALUES (7, 0, 0, '我们', 1200, 5)")));
            QVERIFY(old.exec(QStringLiteral("INSERT INTO commits VALUES (7, 1, 2, '是', 2500, 4)")));
            if (version == 2) {
                QVERIFY(old.exec(QStringLiteral("ALTER TABLE tests ADD COLUMN kind TEXT NOT NULL DEFAULT ''")));
                QVERIFY(old.exec(QStringLiteral("UPDATE tests SET kind = '%1'").arg(kind)));
            }
            QVERIFY(old.exec(QStringLiteral("PRAGMA user_version = %1").arg(version)));
        }
        HistoryDb db;
        QString error;
        QVERIFY2(db.open(path, &error), qPrintable(error));
        const QVector<HistoryRecord> tests = db.tests(&error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(tests.size(), 1);
        QCOMPARE(tests[0].id, 7);
        QCOMPARE(tests[0].textName, QStringLiteral("旧课文.txt"));
        QCOMPARE(tests[0].start, QDateTime(QDate(2025, 12, 1), QTime(8, 0, 0)));
        QCOMPARE(tests[0].right, 5);
        QCOMPARE(tests[0].backspaces, 2);
        QCOMPARE(tests[0].kind, kind);
        QCOMPARE(db.commits(7, &error),
            (QVector<HistoryCommit>{{0, QStringLiteral("我们"), 1200, 5}, {2, QStringLiteral("是"), 2500, 4}}));
        QCOMPARE(db.pieces(7, &error), QVector<HistoryPiece>());
        QCOMPARE(db.itemsOfTests(&error).size(), 0);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        // New tests go in after it.
        HistoryRecord next = sampleRecord(QStringLiteral("课文"), kMonday);
        next.pieces = {{QStringLiteral("接近"), QStringLiteral("50132"), QString(), QStringLiteral("接|近"), 9, 6}};
        const qint64 id = db.add(next, &error);
        QVERIFY2(id > 7, qPrintable(error));
        QCOMPARE(db.pieces(id, &error), next.pieces);
        OtherConnection after(path);
        QSqlQuery q(after.db);
        QVERIFY(q.exec(QStringLiteral("PRAGMA user_version")) && q.next());
        QCOMPARE(q.value(0).toInt(), HistoryDb::kSchemaVersion);
    }

    void aNewFileCarriesTheSchemaVersion()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("history.db"));
        {
            HistoryDb db;
            QString error;
            QVERIFY2(db.open(path, &error), qPrintable(error));
        }
        OtherConnection other(path);
        QSqlQuery q(other.db);
        QVERIFY(q.exec(QStringLiteral("PRAGMA user_version")) && q.next());
        QCOMPARE(q.value(0).toInt(), HistoryDb::kSchemaVersion);
    }

    // A file written before tests had a kind: its tests stay as they were, all texts the learner
    // opened, and a drill written afterwards keeps its kind.
    void aFileOfTheFirstVersionIsBroughtUpToDate()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("history.db"));
        {
            OtherConnection other(path);
            QVERIFY(other.exec(QStringLiteral(
                "CREATE TABLE tests (id INTEGER PRIMARY KEY AUTOINCREMENT,"
                "start_time TEXT NOT NULL, end_time TEXT NOT NULL,"
                "text_name TEXT NOT NULL, text_hash TEXT NOT NULL, text_length INTEGER NOT NULL,"
                "total INTEGER NOT NULL, hanzi INTEGER NOT NULL, symbols INTEGER NOT NULL, alpha INTEGER NOT NULL,"
                "elapsed_seconds INTEGER NOT NULL, right_chars INTEGER NOT NULL, wrong_chars INTEGER NOT NULL,"
                "accuracy REAL NOT NULL, speed INTEGER NOT NULL, effective_speed INTEGER NOT NULL,"
                "keys INTEGER NOT NULL, burst1 INTEGER NOT NULL, burst2 INTEGER NOT NULL, burst3 INTEGER NOT NULL,"
                "burst4 INTEGER NOT NULL, burst5 INTEGER NOT NULL,"
                "keys_per_second REAL, code_length REAL, ideal_code_length REAL, word_share REAL,"
                "ideal_word_share REAL, backspaces INTEGER, retyped INTEGER, key_accuracy REAL)")));
            QVERIFY(other.exec(
                QStringLiteral("CREATE TABLE commits (test_id INTEGER NOT NULL REFERENCES tests(id) ON DELETE CASCADE,"
                               "seq INTEGER NOT NULL, position INTEGER NOT NULL, text TEXT NOT NULL,"
                               "ms INTEGER NOT NULL, keys INTEGER NOT NULL, PRIMARY KEY (test_id, seq))")));
            QVERIFY(other.exec(QStringLiteral(
                "INSERT INTO tests VALUES (1, '2026-03-01T10:00:00', '2026-03-01T10:01:00', 'old.txt', 'ab', 6,"
                " 6, 5, 1, 0, 60, 6, 0, 100.0, 6, 6, 12, 1, 1, 0, 0, 0,"
                " NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)")));
            QVERIFY(other.exec(QStringLiteral("PRAGMA user_version = 1")));
        }
        HistoryDb db;
        QString error;
        QVERIFY2(db.open(path, &error), qPrintable(error));
        HistoryRecord drill = sampleRecord(QStringLiteral("练习薄弱项"), kMonday);
        drill.kind = QStringLiteral("drill");
        QVERIFY2(db.add(drill, &error) > 0, qPrintable(error));
        const QVector<HistoryRecord> tests = db.tests(&error);
        QCOMPARE(tests.size(), 2);
        QCOMPARE(tests[0].textName, QStringLiteral("old.txt"));
        QCOMPARE(tests[0].right, 6);
        QCOMPARE(tests[0].kind, QString());
        compareRecords(tests[1], drill);
    }

    // Each case leaves the file or its folder in a state that cannot be opened; the reason names
    // the file and says what went wrong.
    void filesThatCannotBeOpened_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not a database") << "garbage"
                                        << "not a database";
        QTest::newRow("written by a newer version") << "newer"
                                                    << "较新的版本";
        QTest::newRow("a negative format number") << "negative"
                                                  << "不是本程序的成绩记录文件";
        QTest::newRow("folder below a plain file") << "no folder"
                                                   << "无法建立文件夹";
        QTest::newRow("locked by another program") << "locked"
                                                   << "locked";
    }
    void filesThatCannotBeOpened()
    {
        QFETCH(QString, damage);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("history.db"));
        std::unique_ptr<OtherConnection> holder;
        if (damage == QLatin1String("garbage")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(4096, 'x'));
        } else if (damage == QLatin1String("newer")) {
            OtherConnection other(path);
            QVERIFY(other.exec(QStringLiteral("PRAGMA user_version = %1").arg(HistoryDb::kSchemaVersion + 1)));
        } else if (damage == QLatin1String("negative")) {
            OtherConnection other(path);
            QVERIFY(other.exec(QStringLiteral("PRAGMA user_version = -7")));
        } else if (damage == QLatin1String("no folder")) {
            // No one can create a folder below a plain file, root included.
            QFile f(dir.filePath(QStringLiteral("plain")));
            QVERIFY(f.open(QIODevice::WriteOnly));
            path = f.fileName() + QStringLiteral("/orvane-tutor/history.db");
        } else {
            {
                HistoryDb db;
                QString error;
                QVERIFY(db.open(path, &error));
            }
            holder = std::make_unique<OtherConnection>(path);
            QVERIFY(holder->exec(QStringLiteral("BEGIN EXCLUSIVE")));
        }
        HistoryDb db;
        QString error;
        QVERIFY(!db.open(path, &error));
        QVERIFY(!db.isOpen());
        QVERIFY2(error.contains(reason, Qt::CaseInsensitive), qPrintable(error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
        // Nothing is written into a database that is not open.
        QCOMPARE(db.add(sampleRecord(QStringLiteral("a"), kMonday), &error), 0);
        QCOMPARE(db.tests().size(), 0);
    }

    // A commit that cannot be written takes its test with it: the history never holds half a
    // test.
    void aTestIsWrittenWholeOrNotAtAll()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("history.db"));
        HistoryDb db;
        QString error;
        QVERIFY(db.open(path, &error));
        {
            OtherConnection other(path);
            QVERIFY(other.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON commits WHEN NEW.seq = 2 "
                                              "BEGIN SELECT RAISE(ABORT, 'disk trouble'); END")));
        }
        QCOMPARE(db.add(sampleRecord(QStringLiteral("a"), kMonday), &error), 0);
        QVERIFY2(error.contains(QLatin1String("disk trouble")), qPrintable(error));
        QCOMPARE(db.tests().size(), 0);
        // The database goes on: a test without that many commits is written.
        HistoryRecord shortTest = sampleRecord(QStringLiteral("b"), kMonday);
        shortTest.commits.resize(2);
        QVERIFY(db.add(shortTest, &error) > 0);
        QCOMPARE(db.tests().size(), 1);
        QCOMPARE(db.commits(db.tests().first().id).size(), 2);
    }

    void csvQuotesAndLeavesMissingFiguresEmpty()
    {
        HistoryRecord r = sampleRecord(QStringLiteral("第二篇, \"引\""), kMonday);
        r.id = 7;
        const QStringList lines = historyCsv({r}).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 3); // header, the test, and the empty rest after the last CR LF
        QCOMPARE(lines[2], QString());
        QCOMPARE(lines[1],
            QStringLiteral(
                "7,2026-03-02T09:00:00,2026-03-02T09:01:35,\"第二篇, \"\"引\"\"\",6,6,5,1,0,90,5,1,83.33,4,3,"
                "17,1,1,0,0,0,0.19,,,,,2,,"));
        QCOMPARE(lines[0].count(QLatin1Char(',')), lines[1].count(QLatin1Char(',')) - 1); // one comma quoted
    }
};

QTEST_GUILESS_MAIN(TestHistoryDb)
#include "test_historydb.moc"
