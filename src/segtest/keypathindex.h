// The index of a code database for the shortest key path, kept in the per-user cache folder so
// that a key path does not read the whole database each time.
//
// Reading jtdb.dat to know each code's candidate order takes a few hundred milliseconds; the
// index holds the outcome once: every code with its number of items and the items of its first
// page in the table's order, every item that stands on some first page with the codes and
// positions it has there, and a hash table from an item's text to the item. A text's table is then
// made from the index in a few milliseconds (KeyPathTable::loadCached): only the pieces of the
// text are looked up. The custom words are not in the index: they change often and are merged
// when the table is made, in front of each code's candidates as the input method has them.
//
// The file is tied to one database by its absolute path, size and modification time. A file that
// does not match, is truncated or damaged (its checksum over the whole file) is never used: it is
// made again from the database and replaced as a whole. A cache folder that cannot be written
// only means that the index is not kept.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringView>

#include <array>
#include <memory>
#include <optional>

namespace orvane {

// $XDG_CACHE_HOME/orvane-tutor (else ~/.cache/orvane-tutor).
QString defaultKeyPathCacheFolder();

class KeyPathIndex {
public:
    // One code: its key (as KeyPathTable makes it from the digits and their number), the number
    // of its items in the database, and where its first-page items are.
    struct Code {
        quint32 key = 0;
        quint32 total = 0;
        quint32 pageStart = 0;
        quint32 pageCount = 0;
    };

    // The index in bytes. Nullopt for anything that is not a whole, intact index of this
    // version; with checkSum false the checksum is not compared (the reader must still never
    // read outside the bytes, whatever they hold).
    static std::optional<KeyPathIndex> fromBytes(QByteArray bytes, bool checkSum = true);

    // The index of a database in bytes, or nullopt with *error when it cannot be read.
    static std::optional<QByteArray> build(const QString &databasePath, QString *error = nullptr);

    // The index file of a database in a cache folder.
    static QString filePath(const QString &cacheFolder, const QString &databasePath);

    // The index of the database: from its file in the cache folder when that is whole and
    // matches the database, else made from the database and written there (atomically; a folder
    // that cannot be written keeps no file). Nullopt with *error when the database cannot be
    // read. *rebuilt tells whether it was made afresh.
    static std::optional<KeyPathIndex> open(
        const QString &databasePath, const QString &cacheFolder, QString *error = nullptr, bool *rebuilt = nullptr);

    // Whether the index was made from this database file as it is now.
    bool matches(const QString &databasePath) const;

    // The item of this text, or -1.
    qint32 find(QStringView item) const;
    // The items that the text holds at a position, by length: found[len - 1] is the item of
    // text.mid(at, len) or -1, for each len up to the count returned (the longest piece that can
    // be an item there, at most kMaxItemsAt).
    static constexpr int kMaxItemsAt = 32;
    int itemsAt(QStringView text, qsizetype at, std::array<qint32, kMaxItemsAt> &found) const;
    // The longest item, in UTF-16 units.
    int longestItem() const { return int(m_longest); }
    int itemCount() const { return int(m_itemCount); }

    // The first-page places of an item: the index of each code and the 1-based position there.
    // Calls visit(codeIndex, position) for each; places that lie outside the index are skipped.
    template <typename Visit> void forEachPlace(qint32 item, Visit visit) const;

    // The code of that index, or nullopt outside the index.
    std::optional<Code> code(quint32 codeIndex) const;
    // The index of a code key, or -1.
    qint64 findCode(quint32 key) const;
    // The item at a 1-based position of a code's first page, or -1.
    qint32 pageItem(const Code &code, quint32 position) const;

private:
    std::shared_ptr<QFile> m_file; // the file mapped into memory, when the bytes are its map
    QByteArray m_bytes;
    QString m_path;
    qint64 m_dbSize = 0;
    qint64 m_dbMtime = 0;
    quint32 m_itemCount = 0, m_hashSize = 0, m_codeCount = 0, m_pageCount = 0, m_placeCount = 0, m_poolUnits = 0;
    quint32 m_longest = 0;
    const char16_t *m_pool = nullptr;
    const quint32 *m_items = nullptr; // 3 words an item: pool offset, length | places << 16, first place
    const quint32 *m_hash = nullptr;  // item + 1, 0 for an empty slot
    const quint32 *m_places = nullptr;
    const quint32 *m_codes = nullptr; // 4 words a code: key, total, page start, page count
    const quint32 *m_pages = nullptr;
    const quint8 *m_longestFrom = nullptr; // 65536 entries: the longest item by its first unit

    bool itemPlaces(qint32 item, quint32 *start, quint32 *count) const;
    qint32 findHashed(QStringView item, quint32 hash) const;
};

template <typename Visit> void KeyPathIndex::forEachPlace(qint32 item, Visit visit) const
{
    quint32 start = 0;
    quint32 count = 0;
    if (!itemPlaces(item, &start, &count))
        return;
    for (quint32 k = 0; k < count; ++k) {
        const quint32 place = m_places[start + k];
        const quint32 codeIndex = place >> 4;
        const quint32 position = place & 0xF;
        if (codeIndex < m_codeCount && position >= 1)
            visit(codeIndex, position);
    }
}

} // namespace orvane
