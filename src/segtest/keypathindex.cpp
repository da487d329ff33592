#include "segtest/keypathindex.h"

#include "core/savefile.h"
#include "orvane/codes/checkedcopy.h"
#include "segtest/keypath.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <vector>

namespace orvane {

namespace {

// The layout (host byte order: the file never leaves the machine that made it):
//   header     kHeaderWords 32-bit words: magic (2), version, the database's size (2) and
//              modification time in ms (2), the counts below, the longest item, and the checksum
//              (2) of everything after the header
//   path       the database's absolute path, UTF-16, padded to 4 bytes
//   pool       the items' text, UTF-16, padded to 4 bytes
//   items      3 words an item: pool offset, length | place count << 16, first place
//   hash       item + 1 (0: empty), open addressing with linear probing over FNV-1a of the text
//   places     code index << 4 | 1-based position, for each first-page place of an item
//   codes      4 words a code, by key: key, items in the database, first page start and count
//   pages      the items of each code's first page, in table order
//   first      65536 bytes: the length of the longest item that starts with each UTF-16 unit
//              (at most 255), so that a lookup does not try pieces longer than any such item
constexpr quint32 kMagic0 = 0x4b56524f; // "ORVK"
constexpr quint32 kMagic1 = 0x31585050; // "PPX1"
constexpr quint32 kVersion = 3;         // 2: the faster checksum; 3: the longest item by first unit
enum HeaderField : int {
    hMagic0,
    hMagic1,
    hVersion,
    hDbSizeLow,
    hDbSizeHigh,
    hDbMtimeLow,
    hDbMtimeHigh,
    hPathUnits,
    hPoolUnits,
    hItemCount,
    hHashSize,
    hPlaceCount,
    hCodeCount,
    hPageCount,
    hLongest,
    hSumLow,
    hSumHigh,
    kHeaderWords
};
constexpr qsizetype kHeaderBytes = kHeaderWords * 4;
constexpr qsizetype kFirstUnitBytes = 65536;

// FNV-1a over UTF-16 units: the hash of a text extended by one unit.
constexpr quint32 kTextHashStart = 2166136261u;
quint32 textHashStep(quint32 h, QChar c)
{
    return (h ^ c.unicode()) * 16777619u;
}

quint32 textHash(QStringView text)
{
    quint32 h = kTextHashStart;
    for (QChar c : text)
        h = textHashStep(h, c);
    return h;
}

quint64 checksum(const QByteArray &bytes)
{
    return codes::checksum64(bytes.constData() + kHeaderBytes, std::size_t(bytes.size() - kHeaderBytes));
}

qsizetype padded(qsizetype units)
{
    return (units * 2 + 3) / 4 * 4;
}

struct DatabaseStamp {
    QString path;
    qint64 size = 0;
    qint64 mtime = 0;
};

DatabaseStamp stampOf(const QString &databasePath)
{
    const QFileInfo info(databasePath);
    return {info.absoluteFilePath(), info.size(), info.lastModified().toMSecsSinceEpoch()};
}

} // namespace

QString defaultKeyPathCacheFolder()
{
    // The folder the language library keeps its checked copies in.
    QString folder = QFile::decodeName(QByteArray::fromStdString(codes::userCacheFolder()));
    if (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

QString KeyPathIndex::filePath(const QString &cacheFolder, const QString &databasePath)
{
    const QByteArray key =
        QCryptographicHash::hash(QFileInfo(databasePath).absoluteFilePath().toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    return cacheFolder + QStringLiteral("/keypath-") + QString::fromLatin1(key) + QStringLiteral(".idx");
}

std::optional<KeyPathIndex> KeyPathIndex::fromBytes(QByteArray bytes, bool checkSum)
{
    if (bytes.size() < kHeaderBytes || quintptr(bytes.constData()) % 4 != 0)
        return std::nullopt;
    quint32 h[kHeaderWords];
    std::memcpy(h, bytes.constData(), kHeaderBytes);
    if (h[hMagic0] != kMagic0 || h[hMagic1] != kMagic1 || h[hVersion] != kVersion)
        return std::nullopt;
    // Every section's size from the counts, in 64 bits so that no count can wrap around.
    const quint64 hashSize = h[hHashSize];
    if (hashSize == 0 || (hashSize & (hashSize - 1)) != 0 || hashSize <= h[hItemCount] || h[hItemCount] >= 0xFFFFFFFFu)
        return std::nullopt;
    const quint64 sizes[] = {quint64(padded(h[hPathUnits])), quint64(padded(h[hPoolUnits])),
        quint64(h[hItemCount]) * 12, hashSize * 4, quint64(h[hPlaceCount]) * 4, quint64(h[hCodeCount]) * 16,
        quint64(h[hPageCount]) * 4, quint64(kFirstUnitBytes)};
    quint64 total = kHeaderBytes;
    for (quint64 s : sizes)
        total += s;
    if (total != quint64(bytes.size()))
        return std::nullopt;
    if (checkSum) {
        const quint64 sum = checksum(bytes);
        if (quint32(sum) != h[hSumLow] || quint32(sum >> 32) != h[hSumHigh])
            return std::nullopt;
    }

    KeyPathIndex index;
    index.m_bytes = std::move(bytes);
    const char *p = index.m_bytes.constData() + kHeaderBytes;
    index.m_path = QString(reinterpret_cast<const QChar *>(p), h[hPathUnits]);
    p += sizes[0];
    index.m_pool = reinterpret_cast<const char16_t *>(p);
    p += sizes[1];
    index.m_items = reinterpret_cast<const quint32 *>(p);
    p += sizes[2];
    index.m_hash = reinterpret_cast<const quint32 *>(p);
    p += sizes[3];
    index.m_places = reinterpret_cast<const quint32 *>(p);
    p += sizes[4];
    index.m_codes = reinterpret_cast<const quint32 *>(p);
    p += sizes[5];
    index.m_pages = reinterpret_cast<const quint32 *>(p);
    p += sizes[6];
    index.m_longestFrom = reinterpret_cast<const quint8 *>(p);
    index.m_dbSize = qint64(quint64(h[hDbSizeLow]) | quint64(h[hDbSizeHigh]) << 32);
    index.m_dbMtime = qint64(quint64(h[hDbMtimeLow]) | quint64(h[hDbMtimeHigh]) << 32);
    index.m_poolUnits = h[hPoolUnits];
    index.m_itemCount = h[hItemCount];
    index.m_hashSize = h[hHashSize];
    index.m_placeCount = h[hPlaceCount];
    index.m_codeCount = h[hCodeCount];
    index.m_pageCount = h[hPageCount];
    index.m_longest = std::min<quint32>(h[hLongest], 0xFFFF);
    return index;
}

std::optional<QByteArray> KeyPathIndex::build(const QString &databasePath, QString *error)
{
    const DatabaseStamp stamp = stampOf(databasePath);
    if (!QFileInfo(databasePath).isFile()) {
        if (error)
            *error = QStringLiteral("no such file");
        return std::nullopt;
    }
    // The whole table's entries, each code's candidates in table order.
    KeyPathTable table;
    const QString problem = KeyPathTable::readDatabase(table, databasePath, {});
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return std::nullopt;
    }
    table.sortPending();
    const auto &entries = table.m_pending;

    // Codes with their first pages; the items that stand on one, numbered in order of arrival.
    std::vector<quint32> codes; // 4 words a code
    std::vector<quint32> pages; // index items
    std::vector<qint32> number(size_t(table.m_texts.size()), -1);
    std::vector<qint32> itemText; // index item → table item
    std::vector<std::vector<quint32>> places;
    for (size_t start = 0; start < entries.size();) {
        size_t end = start;
        while (end < entries.size() && entries[end].codeKey == entries[start].codeKey)
            ++end;
        const auto codeIndex = quint32(codes.size() / 4);
        const auto page = quint32(std::min<size_t>(end - start, kImePageSize));
        codes.insert(codes.end(), {entries[start].codeKey, quint32(end - start), quint32(pages.size()), page});
        for (quint32 p = 1; p <= page; ++p) {
            const qint32 id = entries[start + p - 1].item;
            qint32 &n = number[size_t(id)];
            if (n < 0) {
                n = qint32(itemText.size());
                itemText.push_back(id);
                places.emplace_back();
            }
            pages.push_back(quint32(n));
            places[size_t(n)].push_back(codeIndex << 4 | p);
        }
        start = end;
    }

    const auto itemCount = quint32(itemText.size());
    quint32 hashSize = 1;
    while (hashSize < itemCount * 2 + 1)
        hashSize *= 2;
    std::vector<char16_t> pool;
    std::vector<quint32> items;
    std::vector<quint32> hash(hashSize, 0);
    std::vector<quint32> placeList;
    std::vector<quint8> longestFrom(kFirstUnitBytes, 0);
    quint32 longest = 0;
    items.reserve(size_t(itemCount) * 3);
    for (quint32 n = 0; n < itemCount; ++n) {
        const QString &text = table.m_texts[itemText[n]];
        const std::vector<quint32> &own = places[n];
        items.insert(items.end(),
            {quint32(pool.size()), quint32(text.size()) | quint32(own.size()) << 16, quint32(placeList.size())});
        pool.insert(pool.end(), text.utf16(), text.utf16() + text.size());
        placeList.insert(placeList.end(), own.begin(), own.end());
        longest = std::max(longest, quint32(text.size()));
        quint8 &fromHere = longestFrom[text.isEmpty() ? 0 : text.at(0).unicode()];
        fromHere = quint8(std::max<qsizetype>(fromHere, std::min<qsizetype>(text.size(), 255)));
        quint32 slot = textHash(text) & (hashSize - 1);
        while (hash[slot] != 0)
            slot = (slot + 1) & (hashSize - 1);
        hash[slot] = n + 1;
    }

    QByteArray bytes(kHeaderBytes, '\0');
    const auto append = [&bytes](
                            const void *data, qsizetype size) { bytes.append(static_cast<const char *>(data), size); };
    const auto appendUnits = [&](const char16_t *data, qsizetype units) {
        append(data, units * 2);
        bytes.append(padded(units) - units * 2, '\0');
    };
    appendUnits(reinterpret_cast<const char16_t *>(stamp.path.utf16()), stamp.path.size());
    appendUnits(pool.data(), qsizetype(pool.size()));
    append(items.data(), qsizetype(items.size() * 4));
    append(hash.data(), qsizetype(hash.size() * 4));
    append(placeList.data(), qsizetype(placeList.size() * 4));
    append(codes.data(), qsizetype(codes.size() * 4));
    append(pages.data(), qsizetype(pages.size() * 4));
    append(longestFrom.data(), qsizetype(longestFrom.size()));

    quint32 h[kHeaderWords] = {};
    h[hMagic0] = kMagic0;
    h[hMagic1] = kMagic1;
    h[hVersion] = kVersion;
    h[hDbSizeLow] = quint32(quint64(stamp.size));
    h[hDbSizeHigh] = quint32(quint64(stamp.size) >> 32);
    h[hDbMtimeLow] = quint32(quint64(stamp.mtime));
    h[hDbMtimeHigh] = quint32(quint64(stamp.mtime) >> 32);
    h[hPathUnits] = quint32(stamp.path.size());
    h[hPoolUnits] = quint32(pool.size());
    h[hItemCount] = itemCount;
    h[hHashSize] = hashSize;
    h[hPlaceCount] = quint32(placeList.size());
    h[hCodeCount] = quint32(codes.size() / 4);
    h[hPageCount] = quint32(pages.size());
    h[hLongest] = longest;
    const quint64 sum = checksum(bytes);
    h[hSumLow] = quint32(sum);
    h[hSumHigh] = quint32(sum >> 32);
    std::memcpy(bytes.data(), h, kHeaderBytes);
    return bytes;
}

bool KeyPathIndex::matches(const QString &databasePath) const
{
    const DatabaseStamp stamp = stampOf(databasePath);
    return stamp.path == m_path && stamp.size == m_dbSize && stamp.mtime == m_dbMtime;
}

std::optional<KeyPathIndex> KeyPathIndex::open(
    const QString &databasePath, const QString &cacheFolder, QString *error, bool *rebuilt)
{
    const QString file = filePath(cacheFolder, databasePath);
    {
        // Mapped rather than read: the checksum and the lookups touch the pages where they lie,
        // without copying the file, which takes a third of the time. This program replaces the
        // index only by renaming a new file over it, so the mapped file never changes under the
        // map (only a program that truncated it in place, within the milliseconds it is in use,
        // could make the reads fail); the file is checked whole before it is used.
        auto f = std::make_shared<QFile>(file);
        const uchar *data = f->open(QIODevice::ReadOnly) && f->size() > 0 ? f->map(0, f->size()) : nullptr;
        if (data) {
            std::optional<KeyPathIndex> index =
                fromBytes(QByteArray::fromRawData(reinterpret_cast<const char *>(data), f->size()));
            if (index && index->matches(databasePath)) {
                index->m_file = std::move(f);
                if (rebuilt)
                    *rebuilt = false;
                return index;
            }
        }
    }
    if (rebuilt)
        *rebuilt = true;
    std::optional<QByteArray> bytes = build(databasePath, error);
    if (!bytes)
        return std::nullopt;
    // Written whole or not at all; a folder that cannot be written keeps no index.
    if (QDir().mkpath(cacheFolder)) {
        QString ignored;
        saveFile(file, *bytes, &ignored);
    }
    return fromBytes(std::move(*bytes));
}

qint32 KeyPathIndex::find(QStringView item) const
{
    return findHashed(item, textHash(item));
}

qint32 KeyPathIndex::findHashed(QStringView item, quint32 hash) const
{
    if (item.isEmpty() || quint32(item.size()) > m_longest || m_hashSize == 0)
        return -1;
    const quint32 mask = m_hashSize - 1;
    quint32 slot = hash & mask;
    for (quint32 probes = 0; probes < m_hashSize; ++probes, slot = (slot + 1) & mask) {
        const quint32 entry = m_hash[slot];
        if (entry == 0 || entry > m_itemCount)
            return -1;
        const quint32 *record = m_items + size_t(entry - 1) * 3;
        const quint32 offset = record[0];
        const quint32 length = record[1] & 0xFFFF;
        if (length != quint32(item.size()) || offset > m_poolUnits || length > m_poolUnits - offset)
            continue;
        if (std::memcmp(m_pool + offset, item.utf16(), size_t(length) * 2) == 0)
            return qint32(entry - 1);
    }
    return -1;
}

int KeyPathIndex::itemsAt(QStringView text, qsizetype at, std::array<qint32, kMaxItemsAt> &found) const
{
    if (at < 0 || at >= text.size())
        return 0;
    // No item starting with this unit is longer than its entry of the first-unit table; the
    // hash of each longer piece extends the hash of the shorter one.
    const int count = int(std::min<qsizetype>({qsizetype(m_longestFrom[text.at(at).unicode()]), qsizetype(m_longest),
        qsizetype(kMaxItemsAt), text.size() - at}));
    quint32 h = kTextHashStart;
    for (int len = 1; len <= count; ++len) {
        h = textHashStep(h, text.at(at + len - 1));
        found[size_t(len - 1)] = findHashed(text.mid(at, len), h);
    }
    return count;
}

bool KeyPathIndex::itemPlaces(qint32 item, quint32 *start, quint32 *count) const
{
    if (item < 0 || quint32(item) >= m_itemCount)
        return false;
    const quint32 *record = m_items + size_t(item) * 3;
    *count = record[1] >> 16;
    *start = record[2];
    return *start <= m_placeCount && *count <= m_placeCount - *start;
}

std::optional<KeyPathIndex::Code> KeyPathIndex::code(quint32 codeIndex) const
{
    if (codeIndex >= m_codeCount)
        return std::nullopt;
    const quint32 *c = m_codes + size_t(codeIndex) * 4;
    return Code{c[0], c[1], c[2], c[3]};
}

qint64 KeyPathIndex::findCode(quint32 key) const
{
    quint32 low = 0;
    quint32 high = m_codeCount;
    while (low < high) {
        const quint32 mid = low + (high - low) / 2;
        const quint32 k = m_codes[size_t(mid) * 4];
        if (k == key)
            return mid;
        if (k < key)
            low = mid + 1;
        else
            high = mid;
    }
    return -1;
}

qint32 KeyPathIndex::pageItem(const Code &code, quint32 position) const
{
    if (position < 1 || position > code.pageCount || code.pageStart > m_pageCount
        || code.pageCount > m_pageCount - code.pageStart)
        return -1;
    const quint32 item = m_pages[code.pageStart + position - 1];
    return item < m_itemCount ? qint32(item) : -1;
}

} // namespace orvane
