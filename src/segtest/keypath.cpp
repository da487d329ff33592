#include "segtest/keypath.h"

#include "orvane/codes/customdict.h"
#include "segtest/keypathindex.h"

#include <QFileInfo>
#include <QSet>
#include <QUrl>

#include <sqlite3.h>

#include <algorithm>
#include <limits>

namespace orvane {

namespace {

constexpr qint64 kDatabaseRankBase = qint64(1) << 40; // ranks below belong to custom words

// A code of 1 to 6 digits as a number and its length; nullopt for anything else.
std::optional<std::pair<quint32, int>> parseCode(QStringView code)
{
    if (code.isEmpty() || code.size() > kImeFullCodeLength)
        return std::nullopt;
    quint32 value = 0;
    for (QChar c : code) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return std::pair{value, int(code.size())};
}

quint32 codeKey(quint32 value, int length)
{
    return (quint32(length) << 20) | value;
}

QString codeText(quint32 value, int length)
{
    return QString::number(value).rightJustified(length, u'0');
}

int countChinese(QStringView text, int *codePoints)
{
    int chinese = 0;
    int points = 0;
    for (char32_t c : text.toUcs4()) {
        ++points;
        if (codes::CustomDictionary::isChineseCharacter(c))
            ++chinese;
    }
    if (codePoints)
        *codePoints = points;
    return chinese;
}

// The line break at i ("\r\n", "\n" or "\r") and its length in UTF-16 units, 0 for none.
int lineBreakAt(QStringView text, qsizetype i)
{
    if (text[i] == u'\n')
        return 1;
    if (text[i] == u'\r')
        return i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1;
    return 0;
}

// Valid until the statement steps on.
QStringView columnView(sqlite3_stmt *stmt, int column)
{
    const void *data = sqlite3_column_text16(stmt, column);
    if (!data)
        return {};
    return QStringView(reinterpret_cast<const QChar *>(data), sqlite3_column_bytes16(stmt, column) / 2);
}

// A code column (1 to 6 digits, blanks around them ignored) as its key; 0 for none or anything
// else, as a blank short code means none.
quint32 columnCode(sqlite3_stmt *stmt, int column)
{
    const auto *p = sqlite3_column_text(stmt, column);
    if (!p)
        return 0;
    const int n = sqlite3_column_bytes(stmt, column);
    int begin = 0;
    int end = n;
    while (begin < end && p[begin] == ' ')
        ++begin;
    while (end > begin && p[end - 1] == ' ')
        --end;
    const int length = end - begin;
    if (length < 1 || length > kImeFullCodeLength)
        return 0;
    quint32 value = 0;
    for (int i = begin; i < end; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return 0;
        value = value * 10 + (p[i] - '0');
    }
    return codeKey(value, length);
}

// A frequency column; one that is no number counts as 0, as in the table generator.
qint64 columnNumber(sqlite3_stmt *stmt, int column)
{
    const auto *p = sqlite3_column_text(stmt, column);
    if (!p)
        return 0;
    bool ok = false;
    const qint64 n = QByteArrayView(p, sqlite3_column_bytes(stmt, column)).trimmed().toLongLong(&ok);
    return ok && n >= 0 ? n : 0;
}

} // namespace

QString installedCustomWordsPath()
{
    return QString::fromStdString(codes::CustomDictionary::defaultPath());
}

double KeyPath::codeLength() const
{
    return characters > 0 ? double(keys) / characters : 0.0;
}

double KeyPath::wordShare() const
{
    return chineseCharacters > 0 ? double(wordCharacters) / chineseCharacters : 0.0;
}

qint32 KeyPathTable::intern(QStringView item)
{
    const auto it = m_index.constFind(item);
    if (it != m_index.constEnd())
        return *it;
    const auto id = qint32(m_texts.size());
    m_texts.push_back(item.toString());
    // The view stays valid: a QString's characters do not move when the vector grows.
    m_index.insert(QStringView(m_texts.back()), id);
    return id;
}

void KeyPathTable::addItem(const QString &code, const QString &item, qint64 rank)
{
    const auto parsed = parseCode(code);
    if (!parsed || item.isEmpty())
        return;
    m_pending.push_back({codeKey(parsed->first, parsed->second), intern(item), rank});
}

QString KeyPathTable::selectKeyName(int position, int keys, int codeLength)
{
    if (keys == codeLength)
        return {};
    switch (position) {
    case 1: return QStringLiteral("space");
    case 2: return QStringLiteral(";");
    case 3: return QStringLiteral("'");
    default: return QStringLiteral("F%1").arg(position);
    }
}

void KeyPathTable::sortPending()
{
    // Each code's candidates in table order; the same item under the same code once, best rank.
    std::sort(m_pending.begin(), m_pending.end(), [](const Pending &a, const Pending &b) {
        return std::tie(a.codeKey, a.item, a.rank) < std::tie(b.codeKey, b.item, b.rank);
    });
    m_pending.erase(std::unique(m_pending.begin(), m_pending.end(),
                        [](const Pending &a, const Pending &b) { return a.codeKey == b.codeKey && a.item == b.item; }),
        m_pending.end());
    std::sort(m_pending.begin(), m_pending.end(), [](const Pending &a, const Pending &b) {
        if (a.codeKey != b.codeKey)
            return a.codeKey < b.codeKey;
        if (a.rank != b.rank)
            return a.rank < b.rank;
        return a.item < b.item;
    });
}

void KeyPathTable::finish()
{
    sortPending();

    std::vector<Item> items(m_texts.size());
    std::vector<bool> seen(m_texts.size(), false);
    const auto better = [](const Choice &candidate, const Choice &old) {
        return old.length == 0 || candidate.keys < old.keys
            || (candidate.keys == old.keys
                && std::tie(candidate.length, candidate.code) < std::tie(old.length, old.code));
    };
    for (size_t start = 0; start < m_pending.size();) {
        size_t end = start;
        while (end < m_pending.size() && m_pending[end].codeKey == m_pending[start].codeKey)
            ++end;
        const int count = int(end - start);
        const int length = int(m_pending[start].codeKey >> 20);
        const quint32 value = m_pending[start].codeKey & 0xFFFFF;
        for (int p = 1; p <= std::min(count, kImePageSize); ++p) {
            const qint32 id = m_pending[start + p - 1].item;
            if (id < 0)
                continue; // an item of the database that the text does not hold
            const bool full = length == kImeFullCodeLength;
            Choice last{value, quint8(length), quint8(p), quint8(length + (full && count == 1 ? 0 : 1))};
            Choice followed{value, quint8(length), quint8(p), quint8(length + (full && p == 1 ? 0 : 1))};
            Item &item = items[size_t(id)];
            if (better(last, item.last))
                item.last = last;
            if (better(followed, item.followed))
                item.followed = followed;
            seen[size_t(id)] = true;
        }
        start = end;
    }
    m_pending.clear();
    m_pending.shrink_to_fit();
    m_index.clear();

    m_items.clear();
    m_items.reserve(m_texts.size());
    m_longest = 0;
    for (qsizetype id = 0; id < m_texts.size(); ++id) {
        if (!seen[size_t(id)])
            continue; // only beyond the first page of every code: not typed from the table
        Item item = items[size_t(id)];
        const QStringView text(m_texts[id]);
        int points = 0;
        const int chinese = countChinese(text, &points);
        item.chineseCharacters = points >= 2 ? chinese : 0;
        m_items.insert(text, item);
        m_longest = std::max(m_longest, int(text.size()));
    }
}

namespace {

QString databaseError(const QString &databasePath, const QString &why)
{
    return QStringLiteral("the code database %1 cannot be read (%2)").arg(databasePath, why);
}

} // namespace

void KeyPathTable::addCustomWords(const QString &customWordsPath)
{
    // Custom words first, in file order, under their own code.
    if (customWordsPath.isEmpty())
        return;
    codes::CustomDictionary custom(customWordsPath.toStdString());
    custom.refresh();
    qint64 rank = 0;
    for (const auto &[word, code] : custom.words()) {
        const QString item = QString::fromStdU16String(word);
        if (codes::CustomDictionary::isValidWord(word))
            addItem(QString::fromStdString(code), item, rank++);
    }
}

std::optional<KeyPathTable> KeyPathTable::load(
    const QString &databasePath, const QString &customWordsPath, QStringView text, QString *error)
{
    if (!QFileInfo(databasePath).isFile()) {
        if (error)
            *error = databaseError(databasePath, QStringLiteral("no such file"));
        return std::nullopt;
    }
    KeyPathTable table;
    table.addCustomWords(customWordsPath);
    const QString problem = readDatabase(table, databasePath, text);
    if (!problem.isEmpty()) {
        if (error)
            *error = databaseError(databasePath, problem);
        return std::nullopt;
    }
    table.finish();
    return table;
}

QString KeyPathTable::readDatabase(KeyPathTable &table, const QString &databasePath, QStringView text)
{
    // Read-only and immutable: nothing changes the generated database while it is read.
    QUrl uri = QUrl::fromLocalFile(QFileInfo(databasePath).absoluteFilePath());
    uri.setQuery(QStringLiteral("immutable=1"));
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(uri.toString(QUrl::FullyEncoded).toUtf8().constData(), &db,
            SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr)
        != SQLITE_OK) {
        const QString why = QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        return why;
    }

    // Only the items that occur in the text are kept; the others still take their place under
    // their codes. Every item is at most 32 characters (of the custom words' rule).
    // A cheap test first: an item with a character that neither the text nor a custom word has
    // is not looked up.
    std::vector<bool> present(0x10000, text.isEmpty());
    for (QChar c : text)
        present[c.unicode()] = true;
    for (const QString &word : std::as_const(table.m_texts))
        for (QChar c : word)
            present[c.unicode()] = true;
    const auto mayHold = [&](QStringView item) {
        return std::all_of(item.begin(), item.end(), [&](QChar c) { return bool(present[c.unicode()]); });
    };
    QSet<QStringView> pieces;
    if (!text.isEmpty()) {
        pieces.reserve(text.size() * 8);
        for (qsizetype i = 0; i < text.size(); ++i)
            for (qsizetype len = 1; len <= 32 && i + len <= text.size(); ++len)
                pieces.insert(text.mid(i, len));
    }

    // One row of the database without its strings: the item as an index (or, when the text does
    // not hold it, a negative number of its own), its codes as keys.
    struct Row {
        qint64 freq;
        qint64 rowid;
        int table; // 0 characters, 1 words
        qint32 item;
        quint32 codes[3]; // 0: none
    };
    std::vector<Row> rows;
    rows.reserve(420000);
    QString problem;
    for (int t = 0; t < 2 && problem.isEmpty(); ++t) {
        const char *sql = t == 0 ? "SELECT rowid, hz, srm, jm1, jm2, freq FROM jtzi"
                                 : "SELECT rowid, hz, srm, jm1, jm2, freq FROM jtci";
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
            problem = QString::fromUtf8(sqlite3_errmsg(db));
            break;
        }
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            Row row{};
            row.rowid = sqlite3_column_int64(stmt, 0);
            row.table = t;
            for (int c = 0; c < 3; ++c)
                row.codes[c] = columnCode(stmt, 2 + c);
            if (row.codes[0] == 0)
                continue; // no usable standard code: not in the table
            const QStringView item = columnView(stmt, 1);
            if (item.isEmpty())
                continue;
            if (text.isEmpty() || (mayHold(item) && (pieces.contains(item) || table.m_index.contains(item))))
                row.item = table.intern(item);
            else
                row.item = -2 - qint32(rows.size());
            row.freq = columnNumber(stmt, 5);
            rows.push_back(row);
        }
        if (rc != SQLITE_DONE)
            problem = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    if (!problem.isEmpty())
        return problem;

    // The codes that matter: those of the items kept (with the text, not every code).
    std::vector<bool> wanted;
    if (!text.isEmpty()) {
        wanted.assign(size_t(kImeFullCodeLength + 1) << 20, false);
        for (const Pending &p : table.m_pending)
            wanted[p.codeKey] = true;
        for (const Row &row : rows)
            if (row.item >= 0)
                for (quint32 code : row.codes)
                    if (code != 0)
                        wanted[code] = true;
    }
    const auto wantedCode = [&](quint32 code) { return code != 0 && (wanted.empty() || wanted[code]); };
    // Most frequent first; characters before words at equal frequency; then database order.
    std::vector<const Row *> order;
    order.reserve(rows.size());
    for (const Row &row : rows)
        if (wantedCode(row.codes[0]) || wantedCode(row.codes[1]) || wantedCode(row.codes[2]))
            order.push_back(&row);
    std::sort(order.begin(), order.end(), [](const Row *a, const Row *b) {
        return std::tie(b->freq, a->table, a->rowid) < std::tie(a->freq, b->table, b->rowid);
    });
    qint64 rank = kDatabaseRankBase;
    for (const Row *row : order) {
        for (quint32 code : row->codes)
            if (wantedCode(code))
                table.m_pending.push_back({code, row->item, rank});
        ++rank;
    }
    return {};
}

std::optional<KeyPathTable> KeyPathTable::loadCached(const QString &databasePath, const QString &customWordsPath,
    QStringView text, const QString &cacheFolder, QString *error)
{
    if (text.isEmpty() || cacheFolder.isEmpty())
        return load(databasePath, customWordsPath, text, error);
    if (!QFileInfo(databasePath).isFile()) {
        if (error)
            *error = databaseError(databasePath, QStringLiteral("no such file"));
        return std::nullopt;
    }
    QString problem;
    const std::optional<KeyPathIndex> index = KeyPathIndex::open(databasePath, cacheFolder, &problem);
    if (!index) {
        if (error)
            *error = databaseError(databasePath, problem);
        return std::nullopt;
    }
    return fromIndex(*index, customWordsPath, text);
}

KeyPathTable KeyPathTable::fromIndex(const KeyPathIndex &index, const QString &customWordsPath, QStringView text)
{
    KeyPathTable table;
    table.addCustomWords(customWordsPath);
    const qsizetype customCount = table.m_texts.size();

    // The items kept, as in load(): the pieces of the text (at most 32 characters) and the
    // custom words, each under the index's item number.
    QHash<qint32, qint32> kept; // index item → item of the table
    for (qsizetype id = 0; id < customCount; ++id) {
        const qint32 item = index.find(table.m_texts[id]);
        if (item >= 0)
            kept.insert(item, qint32(id));
    }
    std::array<qint32, KeyPathIndex::kMaxItemsAt> found;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int count = index.itemsAt(text, i, found);
        for (int len = 1; len <= count; ++len) {
            const qint32 item = found[size_t(len - 1)];
            if (item >= 0 && !kept.contains(item))
                kept.insert(item, table.intern(text.mid(i, len)));
        }
    }

    // The codes that matter: those of the items kept and of the custom words. Each gets its
    // first page in the database's order behind the custom words, the items not kept as
    // placeholders that only take their place, and one placeholder for the items beyond the
    // first page. Custom words push the database's items down and an item under the same code
    // twice counts once, so no item beyond the database's first page can reach the first page:
    // the code's first page and whether it holds more decide every position and the count.
    QSet<quint32> codes;
    for (auto it = kept.cbegin(); it != kept.cend(); ++it)
        index.forEachPlace(it.key(), [&](quint32 codeIndex, quint32) { codes.insert(codeIndex); });
    for (const Pending &p : table.m_pending) {
        const qint64 codeIndex = index.findCode(p.codeKey);
        if (codeIndex >= 0)
            codes.insert(quint32(codeIndex));
    }
    qint32 placeholder = -2;
    for (quint32 codeIndex : std::as_const(codes)) {
        const std::optional<KeyPathIndex::Code> code = index.code(codeIndex);
        if (!code)
            continue;
        const quint32 codeKey = code->key;
        if ((codeKey >> 20) < 1 || (codeKey >> 20) > quint32(kImeFullCodeLength) || (codeKey & 0xFFFFF) > 999999)
            continue; // no code of digits
        quint32 position = 1;
        const quint32 page = std::min<quint32>(code->pageCount, kImePageSize);
        for (; position <= page; ++position) {
            const qint32 item = index.pageItem(*code, position);
            const auto it = item >= 0 ? kept.constFind(item) : kept.constEnd();
            table.m_pending.push_back(
                {codeKey, it != kept.constEnd() ? *it : placeholder--, kDatabaseRankBase + position});
        }
        if (code->total > page)
            table.m_pending.push_back({codeKey, placeholder--, kDatabaseRankBase + position});
    }
    table.finish();
    return table;
}

std::optional<KeyPathStep> KeyPathTable::entry(QStringView item, bool followed) const
{
    const auto it = m_items.constFind(item);
    if (it == m_items.constEnd())
        return std::nullopt;
    const Choice &c = followed ? it->followed : it->last;
    KeyPathStep step;
    step.text = item.toString();
    step.code = codeText(c.code, c.length);
    step.keys = c.keys;
    step.selectKey = selectKeyName(c.position, c.keys, c.length);
    return step;
}

KeyPath KeyPathTable::shortestPath(QStringView text) const
{
    // Trailing line breaks are not typed.
    qsizetype n = text.size();
    while (n > 0 && (text[n - 1] == u'\n' || text[n - 1] == u'\r'))
        --n;
    text = text.left(n);

    struct Best {
        int keys = std::numeric_limits<int>::max();
        int wordCharacters = 0;
        int length = 0;             // UTF-16 units of the step from here
        const Item *item = nullptr; // the entry, or null for an uncovered character or line break
        bool followed = false;
    };
    std::vector<Best> best(size_t(n) + 1);
    best[size_t(n)].keys = 0;
    const auto consider = [](Best &b, int keys, int words, int length, const Item *item, bool followed) {
        if (keys < b.keys || (keys == b.keys && words > b.wordCharacters)) {
            b.keys = keys;
            b.wordCharacters = words;
            b.length = length;
            b.item = item;
            b.followed = followed;
        }
    };
    for (qsizetype i = n - 1; i >= 0; --i) {
        Best &b = best[size_t(i)];
        if (const int br = lineBreakAt(text, i)) {
            const Best &next = best[size_t(i + br)];
            consider(b, next.keys + 1, next.wordCharacters, br, nullptr, false);
            continue;
        }
        if (text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate())
            continue; // reached only through the character it belongs to
        bool covered = false;
        const qsizetype longest = std::min<qsizetype>(m_longest, n - i);
        for (qsizetype len = 1; len <= longest; ++len) {
            const auto it = m_items.constFind(text.mid(i, len));
            if (it == m_items.constEnd())
                continue;
            const qsizetype j = i + len;
            const bool followed = j < n && lineBreakAt(text, j) == 0;
            const Choice &choice = followed ? it->followed : it->last;
            const Best &next = best[size_t(j)];
            if (next.keys == std::numeric_limits<int>::max())
                continue;
            if (j == i + 1 || (j == i + 2 && text[i].isHighSurrogate()))
                covered = true;
            consider(b, next.keys + choice.keys, next.wordCharacters + it->chineseCharacters, int(len), &*it, followed);
        }
        if (!covered) {
            const int len = text[i].isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate() ? 2 : 1;
            const Best &next = best[size_t(i + len)];
            consider(b, next.keys + 1, next.wordCharacters, len, nullptr, false);
        }
    }

    KeyPath path;
    path.keys = best[0].keys == std::numeric_limits<int>::max() ? 0 : best[0].keys;
    path.wordCharacters = best[0].wordCharacters;
    for (qsizetype i = 0; i < n;) {
        const Best &b = best[size_t(i)];
        KeyPathStep step;
        step.text = text.mid(i, b.length).toString();
        if (b.item) {
            const Choice &c = b.followed ? b.item->followed : b.item->last;
            step.kind = KeyPathStep::Kind::Entry;
            step.code = codeText(c.code, c.length);
            step.keys = c.keys;
            step.selectKey = selectKeyName(c.position, c.keys, c.length);
        } else {
            step.kind = lineBreakAt(text, i) ? KeyPathStep::Kind::LineBreak : KeyPathStep::Kind::Uncovered;
            step.keys = 1;
            if (step.kind == KeyPathStep::Kind::LineBreak)
                step.selectKey = QStringLiteral("Enter");
        }
        path.characters += step.kind == KeyPathStep::Kind::LineBreak ? 1 : int(step.text.size());
        path.steps.push_back(std::move(step));
        i += b.length;
    }
    path.chineseCharacters = countChinese(text, nullptr);
    return path;
}

} // namespace orvane
