#include "history/historydb.h"

#include <QAtomicInt>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>

#include <functional>

namespace orvane {

namespace {

QAtomicInt g_connections;

// The columns of one test after its id, in the order of the tables below and of the queries.
const char *const kTestColumns = "start_time, end_time, text_name, text_hash, text_length, total, hanzi, "
                                 "symbols, alpha, elapsed_seconds, right_chars, wrong_chars, accuracy, speed, "
                                 "effective_speed, keys, burst1, burst2, burst3, burst4, burst5, "
                                 "keys_per_second, code_length, ideal_code_length, word_share, "
                                 "ideal_word_share, backspaces, retyped, key_accuracy, kind";
constexpr int kTestColumnCount = 30;

// Runs the statements of a schema step in order; false with *error at the first that fails.
template <std::size_t N> bool execAll(QSqlDatabase &db, const char *const (&statements)[N], QString *error)
{
    for (const char *sql : statements) {
        QSqlQuery q(db);
        if (!q.exec(QString::fromLatin1(sql))) {
            *error = q.lastError().text();
            return false;
        }
    }
    return true;
}

// Schema steps: step i brings version i to version i + 1. A later version appends its step.
const std::function<bool(QSqlDatabase &, QString *)> kMigrations[] = {
    [](QSqlDatabase &db, QString *error) {
        const char *statements[] = {
            "CREATE TABLE tests ("
            "id INTEGER PRIMARY KEY AUTOINCREMENT,"
            "start_time TEXT NOT NULL, end_time TEXT NOT NULL,"
            "text_name TEXT NOT NULL, text_hash TEXT NOT NULL, text_length INTEGER NOT NULL,"
            "total INTEGER NOT NULL, hanzi INTEGER NOT NULL, symbols INTEGER NOT NULL, alpha INTEGER NOT NULL,"
            "elapsed_seconds INTEGER NOT NULL, right_chars INTEGER NOT NULL, wrong_chars INTEGER NOT NULL,"
            "accuracy REAL NOT NULL, speed INTEGER NOT NULL, effective_speed INTEGER NOT NULL,"
            "keys INTEGER NOT NULL, burst1 INTEGER NOT NULL, burst2 INTEGER NOT NULL, burst3 INTEGER NOT NULL,"
            "burst4 INTEGER NOT NULL, burst5 INTEGER NOT NULL,"
            "keys_per_second REAL, code_length REAL, ideal_code_length REAL, word_share REAL,"
            "ideal_word_share REAL, backspaces INTEGER, retyped INTEGER, key_accuracy REAL)",
            "CREATE INDEX tests_by_start ON tests(start_time)",
            "CREATE TABLE commits ("
            "test_id INTEGER NOT NULL REFERENCES tests(id) ON DELETE CASCADE,"
            "seq INTEGER NOT NULL, position INTEGER NOT NULL, text TEXT NOT NULL,"
            "ms INTEGER NOT NULL, keys INTEGER NOT NULL, PRIMARY KEY (test_id, seq))",
        };
        return execAll(db, statements, error);
    },
    // Version 2: what each test's text was for (a drill, a lesson of the course); the tests
    // kept before were all texts the learner opened.
    [](QSqlDatabase &db, QString *error) {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("ALTER TABLE tests ADD COLUMN kind TEXT NOT NULL DEFAULT ''"))) {
            *error = q.lastError().text();
            return false;
        }
        return true;
    },
    // Version 3: the words each test typed in pieces; how each of its characters and words fared;
    // the items taken out of the mistake book by hand. Whether a test counts as running text for
    // the book comes from its kind (version 2).
    [](QSqlDatabase &db, QString *error) {
        const char *statements[] = {
            "CREATE TABLE pieces ("
            "test_id INTEGER NOT NULL REFERENCES tests(id) ON DELETE CASCADE,"
            "seq INTEGER NOT NULL, word TEXT NOT NULL, standard_code TEXT NOT NULL, short_code TEXT NOT NULL,"
            "split TEXT NOT NULL, keys INTEGER NOT NULL, ideal_keys INTEGER NOT NULL,"
            "PRIMARY KEY (test_id, seq))",
            "CREATE TABLE items ("
            "test_id INTEGER NOT NULL REFERENCES tests(id) ON DELETE CASCADE,"
            "item TEXT NOT NULL, word INTEGER NOT NULL, standard_code TEXT NOT NULL, short_code TEXT NOT NULL,"
            "seen INTEGER NOT NULL, wrong INTEGER NOT NULL, slow INTEGER NOT NULL, pieces INTEGER NOT NULL,"
            "missed INTEGER NOT NULL, clean_after_miss INTEGER NOT NULL,"
            "PRIMARY KEY (test_id, item, word))",
            "CREATE TABLE book_removals ("
            "item TEXT NOT NULL, word INTEGER NOT NULL, after_test INTEGER NOT NULL,"
            "PRIMARY KEY (item, word))",
        };
        return execAll(db, statements, error);
    },
    // Version 4: the mistake book as it stood after some test (see HistoryDb::bookSource), so that
    // the end of a test does not replay every test kept. None is kept at first.
    [](QSqlDatabase &db, QString *error) {
        const char *statements[] = {
            "CREATE TABLE book_kept ("
            "item TEXT NOT NULL, word INTEGER NOT NULL, standard_code TEXT NOT NULL, short_codes TEXT NOT NULL,"
            "wrong INTEGER NOT NULL, slow INTEGER NOT NULL, pieces INTEGER NOT NULL, misses INTEGER NOT NULL,"
            "last_miss TEXT NOT NULL, clean_since INTEGER NOT NULL, PRIMARY KEY (item, word))",
            "CREATE TABLE book_kept_after ("
            "one INTEGER PRIMARY KEY CHECK (one = 1), up_to_test INTEGER NOT NULL, tests INTEGER NOT NULL,"
            "last_start TEXT NOT NULL)",
        };
        return execAll(db, statements, error);
    },
};
static_assert(std::size(kMigrations) == HistoryDb::kSchemaVersion);

QVariant optional(const std::optional<double> &v)
{
    return v ? QVariant(*v) : QVariant(QMetaType(QMetaType::Double));
}

QVariant optional(const std::optional<int> &v)
{
    return v ? QVariant(*v) : QVariant(QMetaType(QMetaType::Int));
}

std::optional<double> optionalDouble(const QVariant &v)
{
    return v.isNull() ? std::nullopt : std::optional<double>(v.toDouble());
}

std::optional<int> optionalInt(const QVariant &v)
{
    return v.isNull() ? std::nullopt : std::optional<int>(v.toInt());
}

// A text column: a null QString would be bound as NULL, which the NOT NULL columns refuse.
QVariant text(const QString &s)
{
    return s.isNull() ? QVariant(QStringLiteral("")) : QVariant(s);
}

QString timeText(const QDateTime &t)
{
    return t.toString(Qt::ISODate);
}

QString failed(const QString &what, const QSqlError &error)
{
    return QStringLiteral("%1（%2）").arg(what, error.text());
}

} // namespace

QString historyTextHash(const QString &text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex());
}

QString defaultHistoryPath()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/orvane-tutor/history.db");
}

struct HistoryDb::Private {
    QString connection;
    QString path;
    bool open = false;

    QSqlDatabase db() const { return QSqlDatabase::database(connection, false); }

    void close()
    {
        open = false;
        if (QSqlDatabase::contains(connection)) {
            QSqlDatabase::database(connection, false).close();
            QSqlDatabase::removeDatabase(connection);
        }
    }
};

HistoryDb::HistoryDb() : d(std::make_unique<Private>())
{
    d->connection = QStringLiteral("orvane-history-%1").arg(g_connections.fetchAndAddRelaxed(1));
}

HistoryDb::~HistoryDb()
{
    d->close();
}

bool HistoryDb::isOpen() const
{
    return d->open;
}

QString HistoryDb::path() const
{
    return d->path;
}

namespace {

// Opens the connection's file and brings its schema up to date; the reason when it cannot.
QString openAndMigrate(const QString &connection, const QString &path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(path);
    // Another program that holds the file is waited for a moment, not for ever.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    if (!db.open())
        return db.lastError().text();

    QSqlQuery q(db);
    // A damaged file or one that is no database fails here, at its first read.
    if (!q.exec(QStringLiteral("PRAGMA foreign_keys = ON")) || !q.exec(QStringLiteral("PRAGMA user_version"))
        || !q.next())
        return q.lastError().text();
    int version = q.value(0).toInt();
    if (version > HistoryDb::kSchemaVersion)
        return QStringLiteral("文件由较新的版本写入（格式 %1）").arg(version);
    // A format number below 0 is written by no version of this program: the file is someone
    // else's database, and there is no migration to start from.
    if (version < 0)
        return QStringLiteral("不是本程序的成绩记录文件（格式 %1）").arg(version);
    while (version < HistoryDb::kSchemaVersion) {
        if (!db.transaction())
            return db.lastError().text();
        QString why;
        if (!kMigrations[version](db, &why) || !q.exec(QStringLiteral("PRAGMA user_version = %1").arg(version + 1))) {
            if (why.isEmpty())
                why = q.lastError().text();
            db.rollback();
            return why;
        }
        if (!db.commit()) {
            why = db.lastError().text();
            db.rollback();
            return why;
        }
        ++version;
    }
    return {};
}

} // namespace

bool HistoryDb::open(const QString &path, QString *error)
{
    d->close();
    d->path = path;
    const QString folder = QFileInfo(path).absolutePath();
    QString why;
    if (!QDir().mkpath(folder))
        why = QStringLiteral("无法建立文件夹“%1”").arg(QDir::toNativeSeparators(folder));
    else
        why = openAndMigrate(d->connection, path);
    if (!why.isEmpty()) {
        *error = QStringLiteral("无法打开成绩记录“%1”：%2").arg(QDir::toNativeSeparators(path), why);
        d->close();
        return false;
    }
    d->open = true;
    return true;
}

qint64 HistoryDb::add(const HistoryRecord &r, QString *error)
{
    if (!d->open) {
        *error = QStringLiteral("成绩记录没有打开");
        return 0;
    }
    QSqlDatabase db = d->db();
    if (!db.transaction()) {
        *error = failed(QStringLiteral("无法写入成绩记录"), db.lastError());
        return 0;
    }
    auto rollback = [&](const QSqlQuery &q) {
        *error = failed(QStringLiteral("无法写入成绩记录"), q.lastError());
        db.rollback();
        return qint64(0);
    };
    QSqlQuery q(db);
    QString marks = QStringLiteral("?");
    for (int i = 1; i < kTestColumnCount; ++i)
        marks += QStringLiteral(",?");
    q.prepare(QStringLiteral("INSERT INTO tests (%1) VALUES (%2)").arg(QLatin1String(kTestColumns), marks));
    const QVariantList values = {timeText(r.start), timeText(r.end), text(r.textName), text(r.textHash), r.textLength,
        r.total, r.hanzi, r.symbols, r.alpha, r.elapsedSeconds, r.right, r.wrong, r.accuracy, r.speed, r.effectiveSpeed,
        r.keys, r.bursts[1], r.bursts[2], r.bursts[3], r.bursts[4], r.bursts[5], optional(r.keysPerSecond),
        optional(r.codeLength), optional(r.idealCodeLength), optional(r.wordShare), optional(r.idealWordShare),
        optional(r.backspaces), optional(r.retyped), optional(r.keyAccuracy), text(r.kind)};
    Q_ASSERT(values.size() == kTestColumnCount);
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec())
        return rollback(q);
    const qint64 id = q.lastInsertId().toLongLong();

    QSqlQuery c(db);
    c.prepare(QStringLiteral("INSERT INTO commits (test_id, seq, position, text, ms, keys) VALUES (?,?,?,?,?,?)"));
    for (int i = 0; i < r.commits.size(); ++i) {
        const HistoryCommit &commit = r.commits[i];
        c.addBindValue(id);
        c.addBindValue(i);
        c.addBindValue(commit.position);
        c.addBindValue(text(commit.text));
        c.addBindValue(commit.ms);
        c.addBindValue(commit.keys);
        if (!c.exec())
            return rollback(c);
    }
    QSqlQuery p(db);
    p.prepare(QStringLiteral("INSERT INTO pieces (test_id, seq, word, standard_code, short_code, split, keys, "
                             "ideal_keys) VALUES (?,?,?,?,?,?,?,?)"));
    for (int i = 0; i < r.pieces.size(); ++i) {
        const HistoryPiece &piece = r.pieces[i];
        for (const QVariant &v : QVariantList{id, i, text(piece.word), text(piece.standardCode), text(piece.shortCode),
                 text(piece.split), piece.keys, piece.idealKeys})
            p.addBindValue(v);
        if (!p.exec())
            return rollback(p);
    }
    QSqlQuery it(db);
    it.prepare(QStringLiteral("INSERT INTO items (test_id, item, word, standard_code, short_code, seen, wrong, slow, "
                              "pieces, missed, clean_after_miss) VALUES (?,?,?,?,?,?,?,?,?,?,?)"));
    for (const HistoryItem &item : r.items) {
        for (const QVariant &v : QVariantList{id, text(item.text), item.word ? 1 : 0, text(item.standardCode),
                 text(item.shortCode), item.seen, item.wrong, item.slow, item.pieces, item.missed, item.cleanAfterMiss})
            it.addBindValue(v);
        if (!it.exec())
            return rollback(it);
    }
    if (!db.commit()) {
        *error = failed(QStringLiteral("无法写入成绩记录"), db.lastError());
        db.rollback();
        return 0;
    }
    return id;
}

QVector<HistoryRecord> HistoryDb::tests(QString *error) const
{
    return selectTests(QStringLiteral("ORDER BY start_time, id"), error);
}

std::optional<HistoryRecord> HistoryDb::lastTest(QString *error) const
{
    const QVector<HistoryRecord> last = selectTests(QStringLiteral("ORDER BY id DESC LIMIT 1"), error);
    return last.isEmpty() ? std::nullopt : std::optional<HistoryRecord>(last.front());
}

QVector<HistoryRecord> HistoryDb::selectTests(const QString &order, QString *error) const
{
    QVector<HistoryRecord> out;
    if (!d->open)
        return out;
    QSqlQuery q(d->db());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT id, %1 FROM tests %2").arg(QLatin1String(kTestColumns), order))) {
        if (error)
            *error = failed(QStringLiteral("无法读取成绩记录"), q.lastError());
        return out;
    }
    while (q.next()) {
        HistoryRecord r;
        int i = 0;
        r.id = q.value(i++).toLongLong();
        r.start = QDateTime::fromString(q.value(i++).toString(), Qt::ISODate);
        r.end = QDateTime::fromString(q.value(i++).toString(), Qt::ISODate);
        r.textName = q.value(i++).toString();
        r.textHash = q.value(i++).toString();
        r.textLength = q.value(i++).toInt();
        r.total = q.value(i++).toInt();
        r.hanzi = q.value(i++).toInt();
        r.symbols = q.value(i++).toInt();
        r.alpha = q.value(i++).toInt();
        r.elapsedSeconds = q.value(i++).toLongLong();
        r.right = q.value(i++).toInt();
        r.wrong = q.value(i++).toInt();
        r.accuracy = q.value(i++).toDouble();
        r.speed = q.value(i++).toInt();
        r.effectiveSpeed = q.value(i++).toInt();
        r.keys = q.value(i++).toInt();
        for (int b = 1; b <= 5; ++b)
            r.bursts[b] = q.value(i++).toInt();
        r.keysPerSecond = optionalDouble(q.value(i++));
        r.codeLength = optionalDouble(q.value(i++));
        r.idealCodeLength = optionalDouble(q.value(i++));
        r.wordShare = optionalDouble(q.value(i++));
        r.idealWordShare = optionalDouble(q.value(i++));
        r.backspaces = optionalInt(q.value(i++));
        r.retyped = optionalInt(q.value(i++));
        r.keyAccuracy = optionalDouble(q.value(i++));
        r.kind = q.value(i++).toString();
        out.push_back(std::move(r));
    }
    return out;
}

QVector<HistoryCommit> HistoryDb::commits(qint64 testId, QString *error) const
{
    QVector<HistoryCommit> out;
    if (!d->open)
        return out;
    QSqlQuery q(d->db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT position, text, ms, keys FROM commits WHERE test_id = ? ORDER BY seq"));
    q.addBindValue(testId);
    if (!q.exec()) {
        if (error)
            *error = failed(QStringLiteral("无法读取成绩记录"), q.lastError());
        return out;
    }
    while (q.next())
        out.push_back({q.value(0).toInt(), q.value(1).toString(), q.value(2).toLongLong(), q.value(3).toInt()});
    return out;
}

bool HistoryDb::remove(const QVector<qint64> &ids, QString *error)
{
    if (!d->open)
        return false;
    QSqlDatabase db = d->db();
    if (!db.transaction()) {
        *error = failed(QStringLiteral("无法删除成绩"), db.lastError());
        return false;
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("DELETE FROM tests WHERE id = ?"));
    for (qint64 id : ids) {
        q.addBindValue(id);
        if (!q.exec()) {
            *error = failed(QStringLiteral("无法删除成绩"), q.lastError());
            db.rollback();
            return false;
        }
    }
    if (!db.commit()) {
        *error = failed(QStringLiteral("无法删除成绩"), db.lastError());
        db.rollback();
        return false;
    }
    return true;
}

QVector<HistoryPiece> HistoryDb::pieces(qint64 testId, QString *error) const
{
    QVector<HistoryPiece> out;
    if (!d->open)
        return out;
    QSqlQuery q(d->db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT word, standard_code, short_code, split, keys, ideal_keys FROM pieces "
                             "WHERE test_id = ? ORDER BY seq"));
    q.addBindValue(testId);
    if (!q.exec()) {
        if (error)
            *error = failed(QStringLiteral("无法读取成绩记录"), q.lastError());
        return out;
    }
    while (q.next())
        out.push_back({q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString(),
            q.value(4).toInt(), q.value(5).toInt()});
    return out;
}

QVector<HistoryTestItems> HistoryDb::itemsOfTests(QString *error) const
{
    return itemsOfTestsAfter(0, error);
}

QVector<HistoryTestItems> HistoryDb::itemsOfTestsAfter(qint64 testId, QString *error) const
{
    QVector<HistoryTestItems> out;
    if (!d->open)
        return out;
    QSqlQuery q(d->db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT t.id, t.start_time, t.kind <> '', i.item, i.word, i.standard_code, i.short_code, "
                             "i.seen, i.wrong, i.slow, i.pieces, i.missed, i.clean_after_miss "
                             "FROM items i JOIN tests t ON t.id = i.test_id WHERE t.id > ? "
                             "ORDER BY t.start_time, t.id"));
    q.addBindValue(testId);
    if (!q.exec()) {
        if (error)
            *error = failed(QStringLiteral("无法读取成绩记录"), q.lastError());
        return out;
    }
    while (q.next()) {
        const qint64 id = q.value(0).toLongLong();
        if (out.isEmpty() || out.back().testId != id)
            out.push_back({id, QDateTime::fromString(q.value(1).toString(), Qt::ISODate), q.value(2).toInt() != 0, {}});
        HistoryItem item;
        item.text = q.value(3).toString();
        item.word = q.value(4).toInt() != 0;
        item.standardCode = q.value(5).toString();
        item.shortCode = q.value(6).toString();
        item.seen = q.value(7).toInt();
        item.wrong = q.value(8).toInt();
        item.slow = q.value(9).toInt();
        item.pieces = q.value(10).toInt();
        item.missed = q.value(11).toInt();
        item.cleanAfterMiss = q.value(12).toInt();
        out.back().items.push_back(std::move(item));
    }
    return out;
}

bool HistoryDb::removeFromBook(const QString &item, bool word, QString *error)
{
    if (!d->open) {
        *error = QStringLiteral("成绩记录没有打开");
        return false;
    }
    QSqlQuery q(d->db());
    q.prepare(QStringLiteral("INSERT OR REPLACE INTO book_removals (item, word, after_test) "
                             "VALUES (?, ?, (SELECT COALESCE(MAX(id), 0) FROM tests))"));
    q.addBindValue(text(item));
    q.addBindValue(word ? 1 : 0);
    if (!q.exec()) {
        *error = failed(QStringLiteral("无法修改错题本"), q.lastError());
        return false;
    }
    return true;
}

HistoryBookSource HistoryDb::bookSource(QString *error) const
{
    HistoryBookSource source;
    if (!d->open)
        return source;
    QSqlDatabase db = d->db();
    // One snapshot: a test written or deleted by another window or program meanwhile is either
    // wholly in what is read or wholly out of it.
    const bool snapshot = db.transaction();
    const auto finish = [&] {
        if (snapshot)
            db.commit();
    };
    const auto fail = [&](const QSqlError &e) {
        if (error)
            *error = failed(QStringLiteral("无法读取成绩记录"), e);
        finish();
        return HistoryBookSource{};
    };
    QSqlQuery q(db);
    q.setForwardOnly(true);
    // The kept book holds when the tests it covers are all still there and no later test started
    // before the last of them (the replay goes by start time).
    if (!q.exec(QStringLiteral(
            "SELECT k.up_to_test, "
            "(SELECT COUNT(*) FROM tests WHERE id <= k.up_to_test) = k.tests, "
            "COALESCE((SELECT MIN(start_time) FROM tests WHERE id > k.up_to_test) >= k.last_start, 1) "
            "FROM book_kept_after k")))
        return fail(q.lastError());
    if (q.next() && q.value(1).toInt() == 1 && q.value(2).toInt() == 1) {
        source.keptUpTo = q.value(0).toLongLong();
        QVector<HistoryBookEntry> kept;
        QSqlQuery rows(db);
        rows.setForwardOnly(true);
        if (!rows.exec(QStringLiteral("SELECT item, word, standard_code, short_codes, wrong, slow, pieces, misses, "
                                      "last_miss, clean_since FROM book_kept")))
            return fail(rows.lastError());
        while (rows.next()) {
            HistoryBookEntry e;
            e.text = rows.value(0).toString();
            e.word = rows.value(1).toInt() != 0;
            e.standardCode = rows.value(2).toString();
            e.shortCodes = rows.value(3).toString();
            e.wrong = rows.value(4).toInt();
            e.slow = rows.value(5).toInt();
            e.pieces = rows.value(6).toInt();
            e.misses = rows.value(7).toInt();
            e.lastMiss = QDateTime::fromString(rows.value(8).toString(), Qt::ISODate);
            e.cleanSince = rows.value(9).toInt();
            kept.push_back(std::move(e));
        }
        source.kept = std::move(kept);
    }
    q.finish();
    QString why;
    source.removals = bookRemovals(&why);
    if (why.isEmpty())
        source.tests = itemsOfTestsAfter(source.keptUpTo, &why);
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        finish();
        return HistoryBookSource{};
    }
    source.upTo = source.keptUpTo;
    for (const HistoryTestItems &t : std::as_const(source.tests))
        source.upTo = std::max(source.upTo, t.testId);
    QSqlQuery count(db);
    count.prepare(QStringLiteral("SELECT COUNT(*), COALESCE(MAX(start_time), '') FROM tests WHERE id <= ?"));
    count.addBindValue(source.upTo);
    if (!count.exec() || !count.next())
        return fail(count.lastError());
    source.testsUpTo = count.value(0).toLongLong();
    source.lastStartUpTo = count.value(1).toString();
    count.finish();
    finish();
    return source;
}

bool HistoryDb::keepBook(const HistoryBookSource &source, const QVector<HistoryBookEntry> &book, QString *error)
{
    if (!d->open)
        return false;
    QSqlDatabase db = d->db();
    const auto fail = [&](const QSqlError &e) {
        if (error)
            *error = failed(QStringLiteral("无法保存错题本"), e);
        db.rollback();
        return false;
    };
    if (!db.transaction())
        return fail(db.lastError());
    QSqlQuery q(db);
    // Tests the book was made from were deleted meanwhile: what was read no longer holds.
    q.prepare(QStringLiteral("SELECT COUNT(*) FROM tests WHERE id <= ?"));
    q.addBindValue(source.upTo);
    if (!q.exec() || !q.next())
        return fail(q.lastError());
    const bool holds = q.value(0).toLongLong() == source.testsUpTo;
    q.finish();
    if (!q.exec(QStringLiteral("DELETE FROM book_kept")) || !q.exec(QStringLiteral("DELETE FROM book_kept_after")))
        return fail(q.lastError());
    if (holds) {
        q.prepare(QStringLiteral("INSERT INTO book_kept (item, word, standard_code, short_codes, wrong, slow, pieces, "
                                 "misses, last_miss, clean_since) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (const HistoryBookEntry &e : book) {
            q.addBindValue(text(e.text));
            q.addBindValue(e.word ? 1 : 0);
            q.addBindValue(text(e.standardCode));
            q.addBindValue(text(e.shortCodes));
            q.addBindValue(e.wrong);
            q.addBindValue(e.slow);
            q.addBindValue(e.pieces);
            q.addBindValue(e.misses);
            q.addBindValue(text(e.lastMiss.toString(Qt::ISODate)));
            q.addBindValue(e.cleanSince);
            if (!q.exec())
                return fail(q.lastError());
        }
        q.prepare(QStringLiteral("INSERT INTO book_kept_after (one, up_to_test, tests, last_start) VALUES (1, ?, ?, ?)"));
        q.addBindValue(source.upTo);
        q.addBindValue(source.testsUpTo);
        q.addBindValue(text(source.lastStartUpTo));
        if (!q.exec())
            return fail(q.lastError());
    }
    if (!db.commit())
        return fail(db.lastError());
    return holds;
}

QVector<HistoryBookRemoval> HistoryDb::bookRemovals(QString *error) const
{
    QVector<HistoryBookRemoval> out;
    if (!d->open)
        return out;
    QSqlQuery q(d->db());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT item, word, after_test FROM book_removals"))) {
        if (error)
            *error = failed(QStringLiteral("无法读取成绩记录"), q.lastError());
        return out;
    }
    while (q.next())
        out.push_back({q.value(0).toString(), q.value(1).toInt() != 0, q.value(2).toLongLong()});
    return out;
}

namespace {

QString csvField(const QString &s)
{
    if (!s.contains(QLatin1Char(',')) && !s.contains(QLatin1Char('"')) && !s.contains(QLatin1Char('\n'))
        && !s.contains(QLatin1Char('\r')))
        return s;
    QString quoted = s;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString number(const std::optional<double> &v, int decimals)
{
    return v ? QString::number(*v, 'f', decimals) : QString();
}

QString number(const std::optional<int> &v)
{
    return v ? QString::number(*v) : QString();
}

} // namespace

QString historyCsv(const QVector<HistoryRecord> &tests)
{
    QString out =
        QStringLiteral("编号,开始,结束,文章,文章长度,总字数,汉字数,标点数,字母数字数,用时(秒),正确,错误,正确率(%),"
                       "输入速度(字/分),有效速度(字/分),键数,一字,二字,三字,四字,五字以上,击键,码长,理论码长,打词率,"
                       "理想打词率,退格,回改,键准\r\n");
    for (const HistoryRecord &r : tests) {
        const QStringList fields = {QString::number(r.id), r.start.toString(Qt::ISODate), r.end.toString(Qt::ISODate),
            csvField(r.textName), QString::number(r.textLength), QString::number(r.total), QString::number(r.hanzi),
            QString::number(r.symbols), QString::number(r.alpha), QString::number(r.elapsedSeconds),
            QString::number(r.right), QString::number(r.wrong), QString::number(r.accuracy, 'f', 2),
            QString::number(r.speed), QString::number(r.effectiveSpeed), QString::number(r.keys),
            QString::number(r.bursts[1]), QString::number(r.bursts[2]), QString::number(r.bursts[3]),
            QString::number(r.bursts[4]), QString::number(r.bursts[5]), number(r.keysPerSecond, 2),
            number(r.codeLength, 3), number(r.idealCodeLength, 3), number(r.wordShare, 3), number(r.idealWordShare, 3),
            number(r.backspaces), number(r.retyped), number(r.keyAccuracy, 3)};
        out += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return out;
}

} // namespace orvane
