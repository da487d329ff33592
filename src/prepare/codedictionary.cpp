#include "prepare/codedictionary.h"

#include "prepare/externallibs.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>

#include <optional>

namespace orvane {

struct CodeDictionary::Private {
    const ExternalLibs *libs = nullptr;
    QString connection;
    QString path;
    bool open = false;
    std::unique_ptr<QSqlQuery> zi;
    std::unique_ptr<QSqlQuery> ci;
    std::unique_ptr<QSqlQuery> jm;
    // Answers of the database, which does not change while it is open: a rendering pass meets
    // the same words again and again. An absent value: the database has no record.
    QHash<QString, std::optional<ItemCodes>> answers;

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

bool CodeDictionary::open(const QString &path, QString *error)
{
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
        return fail(QStringLiteral("the code database %1 is missing").arg(path));
    if (!info.isFile() || !info.isReadable())
        return fail(QStringLiteral("the code database %1 cannot be read").arg(path));

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
            problem = QStringLiteral("the code database %1 cannot be opened: %2").arg(path, db.lastError().text());
        } else {
            // Map the file instead of reading page by page: the first pass over a text meets
            // hundreds of words that are not yet in SQLite's page cache.
            QSqlQuery pragma(db);
            pragma.exec(QStringLiteral("PRAGMA mmap_size = 268435456"));
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
        const bool oneCharacter = text.size() == 1 || (text.size() == 2 && text.at(0).isHighSurrogate()
                                                       && text.at(1).isLowSurrogate());
        QSqlQuery &query = oneCharacter ? *d->zi : *d->ci;
        query.bindValue(0, text);
        std::optional<ItemCodes> answer;
        if (query.exec() && query.next())
            answer = ItemCodes{query.value(0).toString(),
                               ShortCodeOf(query.value(1).toString(), query.value(2).toString())};
        query.finish();
        if (d->answers.size() >= kMaxAnswers)
            d->answers.clear();
        known = d->answers.insert(text, answer);
    }
    return *known;
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
    d->jm->finish();
    return result;
}

std::function<QString(const QString &)> CodeDictionary::shortCodeLookup()
{
    if (!isOpen())
        return {};
    return [this](const QString &word) { return FindShortCodeWord(word); };
}

} // namespace orvane
