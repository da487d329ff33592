#include "prepare/codedictionary.h"

#include "prepare/externallibs.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThreadPool>
#include <QUrl>
#include <QVariant>

#include <atomic>
#include <optional>

namespace orvane {

struct CodeDictionary::Private {
    const ExternalLibs *libs = nullptr;
    QString connection;
    QString path;
    QString version;
    bool open = false;
    std::unique_ptr<QSqlQuery> zi;
    std::unique_ptr<QSqlQuery> ci;
    std::unique_ptr<QSqlQuery> jm;
    // Answers of the database, which does not change while it is open: a rendering pass meets
    // the same words again and again. An absent value: the database has no record.
    QHash<QString, std::optional<ItemCodes>> answers;

    // A query that failed (not one that found nothing) met a damaged file: the next open of this
    // version refuses it.
    void noteFailure(const QSqlQuery &query);

    void release()
    {
        answers.clear();
        zi.reset();
        ci.reset();
        jm.reset();
        open = false;
        if (QSqlDatabase::contains(connection)) {
            QSqlDatabase::database(connection, false).close();
            QSqlDatabase::removeDatabase(connection);
        }
    }
};

namespace {
QAtomicInt g_connections;
constexpr qsizetype kMaxAnswers = 200000;

// One version of a database file: a file replaced or rewritten is another version.
QString versionOf(const QString &path)
{
    const QFileInfo info(path);
    return QStringLiteral("%1|%2|%3")
        .arg(info.absoluteFilePath())
        .arg(info.size())
        .arg(info.lastModified().toMSecsSinceEpoch());
}

// What is known of the integrity of each file version: a cache of a fact about files, shared by
// every dictionary of the process. An empty problem means sound; absent means not known (yet).
struct Verdicts {
    QMutex mutex;
    QHash<QString, QString> problems;
    QSet<QString> running;
};

Verdicts &verdicts()
{
    static Verdicts v;
    return v;
}

void recordVerdict(const QString &version, const QString &problem)
{
    Verdicts &v = verdicts();
    QMutexLocker lock(&v.mutex);
    v.problems.insert(version, problem);
    v.running.remove(version);
}

std::optional<QString> knownProblem(const QString &version)
{
    Verdicts &v = verdicts();
    QMutexLocker lock(&v.mutex);
    const auto it = v.problems.constFind(version);
    if (it == v.problems.constEnd())
        return std::nullopt;
    return *it;
}

QString damaged(const QString &path, const QString &why)
{
    return QStringLiteral("编码数据库“%1”已损坏（%2）").arg(path, why);
}

quint32 bigEndian(const uchar *p, int n)
{
    quint32 v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | p[i];
    return v;
}

// The 100-byte header of an SQLite 3 file against the file's size: a file cut short, grown, or
// overwritten at its start is found without reading more than the header.
QString headerProblem(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {}; // reported by the open itself
    const QByteArray header = file.read(100);
    const qint64 size = file.size();
    if (header.size() < 100 || !header.startsWith(QByteArrayView("SQLite format 3\0", 16)))
        return damaged(path, QStringLiteral("缺少 SQLite 文件头"));
    const auto *h = reinterpret_cast<const uchar *>(header.constData());
    qint64 pageSize = bigEndian(h + 16, 2);
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
        return damaged(path, QStringLiteral("页面大小 %1 无效").arg(pageSize));
    // The page count in the header is valid when its change counter matches the one beside it.
    const quint32 pages = bigEndian(h + 28, 4);
    const bool pagesValid = pages != 0 && bigEndian(h + 24, 4) == bigEndian(h + 92, 4);
    if (size % pageSize != 0 || (pagesValid && qint64(pages) * pageSize != size))
        return damaged(
            path, QStringLiteral("文件有 %1 字节，应为 %2 页、每页 %3 字节").arg(size).arg(pages).arg(pageSize));
    return {};
}
} // namespace

void CodeDictionary::Private::noteFailure(const QSqlQuery &query)
{
    if (query.lastError().type() != QSqlError::NoError && !version.isEmpty())
        recordVerdict(version, damaged(path, query.lastError().text()));
}

CodeDictionary::CodeDictionary(const ExternalLibs *libs) : d(std::make_unique<Private>())
{
    d->libs = libs;
    d->connection = QStringLiteral("orvane-codes-%1").arg(g_connections.fetchAndAddRelaxed(1));
}

CodeDictionary::~CodeDictionary()
{
    d->release();
}

namespace {
std::atomic<int> g_opens{0};
} // namespace

int CodeDictionary::openCount()
{
    return g_opens.load();
}

bool CodeDictionary::open(const QString &path, QString *error)
{
    ++g_opens;
    d->release();
    d->path = path;
    const auto fail = [&](const QString &message) {
        d->release();
        if (error)
            *error = message;
        return false;
    };
    const QFileInfo info(path);
    if (!info.exists())
        return fail(QStringLiteral("找不到编码数据库“%1”").arg(path));
    if (!info.isFile() || !info.isReadable())
        return fail(QStringLiteral("无法读取编码数据库“%1”").arg(path));

    const QString version = versionOf(path);
    if (const std::optional<QString> known = knownProblem(version); known && !known->isEmpty())
        return fail(*known);
    if (const QString header = headerProblem(path); !header.isEmpty()) {
        recordVerdict(version, header);
        return fail(header);
    }
    d->version = version;

    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d->connection);
        // The database is generated data that nothing changes while the program runs: opened as
        // immutable, SQLite skips the file locks and change checks it would make on every query.
        QUrl uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
        uri.setQuery(QStringLiteral("immutable=1"));
        db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
        const auto prepare = [&db](std::unique_ptr<QSqlQuery> &query, const QString &sql) {
            query = std::make_unique<QSqlQuery>(db);
            query->setForwardOnly(true);
            return query->prepare(sql);
        };
        if (!db.open()) {
            problem = QStringLiteral("无法打开编码数据库“%1”：%2").arg(path, db.lastError().text());
        } else {
            // Read, never mapped (a file changed in place under a mapping kills the process with
            // SIGBUS); a page cache large enough for the whole file keeps the lookups fast.
            QSqlQuery pragma(db);
            pragma.exec(QStringLiteral("PRAGMA mmap_size = 0"));
            pragma.exec(QStringLiteral("PRAGMA cache_size = -65536"));
        }
        if (problem.isEmpty()
            && (!prepare(d->zi, QStringLiteral("SELECT srm, jm1, jm2 FROM jtzi WHERE hz = ?"))
                || !prepare(d->ci, QStringLiteral("SELECT srm, jm1, jm2 FROM jtci WHERE hz = ?"))
                || !prepare(d->jm, QStringLiteral("SELECT srm FROM jmzici WHERE hz = ?"))))
            problem = QStringLiteral("%1 is not a code database (tables jtzi, jtci, jmzici with hz, srm, jm1, "
                                     "jm2 expected)")
                          .arg(path);
    } // the connection handle is released here, so that a failure can remove the connection
    if (!problem.isEmpty())
        return fail(problem);
    d->open = true;
    return true;
}

bool CodeDictionary::checkIntegrity(const QString &path, QString *error)
{
    const QString version = versionOf(path);
    QString problem = headerProblem(path);
    if (problem.isEmpty()) {
        const QString connection = QStringLiteral("orvane-check-%1").arg(g_connections.fetchAndAddRelaxed(1));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
            QUrl uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
            uri.setQuery(QStringLiteral("immutable=1"));
            db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
            if (db.open()) {
                QSqlQuery query(db);
                query.exec(QStringLiteral("PRAGMA mmap_size = 0"));
                if (!query.exec(QStringLiteral("PRAGMA quick_check"))) {
                    problem = damaged(path, query.lastError().text());
                } else {
                    QStringList found;
                    while (query.next() && found.size() < 3)
                        found << query.value(0).toString();
                    if (found != QStringList{QStringLiteral("ok")})
                        problem = damaged(path, found.join(QStringLiteral("; ")));
                }
                db.close();
            } else {
                problem = damaged(path, db.lastError().text());
            }
        }
        QSqlDatabase::removeDatabase(connection);
    }
    recordVerdict(version, problem);
    if (error)
        *error = problem;
    return problem.isEmpty();
}

void CodeDictionary::startIntegrityCheck(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return;
    const QString version = versionOf(path);
    {
        Verdicts &v = verdicts();
        QMutexLocker lock(&v.mutex);
        if (v.problems.contains(version) || v.running.contains(version))
            return;
        v.running.insert(version);
    }
    QThreadPool::globalInstance()->start([path] { checkIntegrity(path); });
}

void CodeDictionary::close()
{
    d->release();
}

bool CodeDictionary::isOpen() const
{
    return d->open;
}

QString CodeDictionary::path() const
{
    return d->path;
}

QString CodeDictionary::ShortCodeOf(const QString &jm1, const QString &jm2)
{
    const QString blank = QStringLiteral(" ");
    if (jm1 != blank)
        return jm1;
    if (jm2 != blank)
        return jm2;
    return {};
}

std::optional<ItemCodes> CodeDictionary::storedCodes(const QString &text)
{
    if (!d->open || text.isEmpty() || text == QLatin1String("\"") || text == QLatin1String("'"))
        return std::nullopt;
    auto known = d->answers.constFind(text);
    if (known == d->answers.constEnd()) {
        const bool oneCharacter =
            text.size() == 1 || (text.size() == 2 && text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate());
        QSqlQuery &query = oneCharacter ? *d->zi : *d->ci;
        query.bindValue(0, text);
        std::optional<ItemCodes> answer;
        const bool ran = query.exec();
        if (ran && query.next())
            answer =
                ItemCodes{query.value(0).toString(), ShortCodeOf(query.value(1).toString(), query.value(2).toString())};
        else
            d->noteFailure(query);
        query.finish();
        if (d->answers.size() >= kMaxAnswers)
            d->answers.clear();
        known = d->answers.insert(text, answer);
    }
    return *known;
}

QVector<FrequentItem> CodeDictionary::mostFrequent(int length, int limit)
{
    QVector<FrequentItem> out;
    if (!d->open || length < 1 || limit < 1)
        return out;
    QSqlQuery query(QSqlDatabase::database(d->connection, false));
    query.setForwardOnly(true);
    // A character may have several records (the first gives its codes); the limit is applied
    // after they are merged.
    const QString sql = length == 1
        ? QStringLiteral("SELECT hz, srm, jm1, jm2, freq FROM jtzi ORDER BY CAST(freq AS INTEGER) DESC, rowid")
        : QStringLiteral("SELECT hz, srm, jm1, jm2, freq FROM jtci WHERE length(hz) = ? "
                         "ORDER BY CAST(freq AS INTEGER) DESC, rowid");
    if (!query.prepare(sql))
        return out;
    if (length > 1)
        query.bindValue(0, length);
    if (!query.exec()) {
        d->noteFailure(query);
        return out;
    }
    QSet<QString> seen;
    while (out.size() < limit && query.next()) {
        const QString text = query.value(0).toString();
        if (text.isEmpty() || seen.contains(text))
            continue;
        seen.insert(text);
        out.push_back({text,
            ItemCodes{query.value(1).toString(), ShortCodeOf(query.value(2).toString(), query.value(3).toString())},
            query.value(4).toLongLong()});
    }
    return out;
}

ItemCodes CodeDictionary::LookupStoredCodes(const QString &text)
{
    return storedCodes(text).value_or(ItemCodes{});
}

ItemCodes CodeDictionary::LookupCodes(const QString &text)
{
    if (text.isEmpty() || text == QLatin1String("\"") || text == QLatin1String("'"))
        return {};
    if (std::optional<ItemCodes> stored = storedCodes(text))
        return *stored;
    if (d->libs) {
        QByteArray buffer;
        const int result = d->libs->getItemCode(text, &buffer);
        if (result != 0 && result != -1) {
            QString standard = QString::fromLatin1(buffer);
            standard.remove(QLatin1Char(' '));
            return {standard, QString()};
        }
    }
    return {};
}

QString CodeDictionary::FindShortCodeWord(const QString &word)
{
    if (!d->open || word.isEmpty())
        return {};
    d->jm->bindValue(0, word);
    QString result;
    if (d->jm->exec() && d->jm->next())
        result = d->jm->value(0).toString();
    else
        d->noteFailure(*d->jm);
    d->jm->finish();
    return result;
}

std::function<QString(const QString &)> CodeDictionary::shortCodeLookup()
{
    if (!isOpen())
        return {};
    return [this](const QString &word) { return FindShortCodeWord(word); };
}

QString codeHintMessage(const QString &text, const ItemCodes &codes)
{
    if (codes.standard.isEmpty())
        return QStringLiteral("没有'") + text + QStringLiteral("'的编码！");
    QString message = QStringLiteral("'") + text + QStringLiteral("'的编码为:") + codes.standard;
    if (!codes.shortCode.isEmpty())
        message += QStringLiteral(",简码为：") + codes.shortCode;
    return message;
}

} // namespace orvane
