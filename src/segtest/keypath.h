// The shortest key path of a text: the fewest keys that type it with the Orvane input method as
// the program installs it for fcitx5.
//
// KeyPathTable holds the entries of the installed table: every character and word of jtdb.dat
// under its standard code and each short code, and the custom words under their code, each with
// its candidate position under that code in the table's order (custom words first in file order,
// then by falling frequency, characters before words at equal frequency, then database order) —
// the order tools/imetable/make_imetable.py writes and fcitx5 keeps. For each item it keeps only
// its cheapest entry, once for when something is typed after it and once for when nothing is.
//
// The cost of committing one entry is the length of its code plus its selection key:
//   - none for a 6-digit code whose item fcitx5 commits by itself: the only item of the code
//     (auto-select), or its first candidate when a digit or a punctuation key follows;
//   - one key for candidates 1 to 3 (space, ';', '\'') and for candidates 4 to 10 of the first
//     page (F4 .. F10); later candidates are not used;
// a character that no entry covers costs one key, a line break one key (Enter).
//
// shortestPath() is a dynamic programme over the text's positions, linear in the text's length
// times the longest entry; among the paths with the fewest keys it takes one with the most Chinese
// characters in entries of two or more characters.
#pragma once

#include <QHash>
#include <QString>
#include <QStringView>
#include <QVector>

#include <optional>
#include <vector>

namespace orvane {

class KeyPathIndex;

// The candidates of a page of the installed table (PageSize in its fcitx5 configuration).
inline constexpr int kImePageSize = 10;
// The length of a full code: at this length fcitx5 commits by itself.
inline constexpr int kImeFullCodeLength = 6;

// One step of a path.
struct KeyPathStep {
    enum class Kind { Entry, Uncovered, LineBreak };
    Kind kind = Kind::Entry;
    QString text;      // what the step types; a line break as the text has it
    QString code;      // the digits of an entry; empty for the other kinds
    QString selectKey; // "space", ";", "'", "F4" .. "F10"; empty when no key selects it
    int keys = 0;
    bool operator==(const KeyPathStep &) const = default;
};

struct KeyPath {
    QVector<KeyPathStep> steps;
    int characters = 0;        // positions typed, a line break one
    int keys = 0;              // keys of the whole path
    int chineseCharacters = 0; // Chinese characters of the text
    int wordCharacters = 0;    // of them, typed in entries of two or more characters

    // keys ÷ characters, 0 for an empty text.
    double codeLength() const;
    // wordCharacters ÷ chineseCharacters, 0 for a text without Chinese characters.
    double wordShare() const;
};

// The custom-words file the installed table is made from ($XDG_DATA_HOME/orvane-tutor/...).
QString installedCustomWordsPath();

class KeyPathTable {
public:
    // Adds an item under a code (1 to 6 digits) with its rank: lower ranks come first under a
    // code. The same item under the same code is kept once, with its best rank. Items that are
    // no usable entry (a code that is not 1 to 6 digits, an empty item) are ignored.
    void addItem(const QString &code, const QString &item, qint64 rank);
    // Orders each code's candidates and keeps each item's cheapest entries; call once after the
    // last addItem and before shortestPath.
    void finish();

    // The table from the code database and the custom-words file (missing or unreadable: no
    // custom words), ranked as the input method's table is. With a text, only the items that
    // occur in it are kept (they rank among all the others as in the full table), which takes a
    // fraction of the time and memory of the whole table: the table serves that text and any
    // part of it. nullopt with *error naming the file when the database cannot be read.
    static std::optional<KeyPathTable> load(
        const QString &databasePath, const QString &customWordsPath, QStringView text = {}, QString *error = nullptr);

    // The same table as load(), made from the database's index in cacheFolder (see
    // keypathindex.h), which is made and kept there when missing, stale or damaged. With an
    // empty text or an empty cache folder it is load() itself.
    static std::optional<KeyPathTable> loadCached(const QString &databasePath, const QString &customWordsPath,
        QStringView text, const QString &cacheFolder, QString *error = nullptr);
    // The table for a text (not empty) from an index and the custom-words file.
    static KeyPathTable fromIndex(const KeyPathIndex &index, const QString &customWordsPath, QStringView text);

    KeyPath shortestPath(QStringView text) const;

    // The cheapest entry of item as one step (its code, selection key and keys), when something is
    // typed after it (followed) or not; nullopt when the table does not hold the item whole.
    std::optional<KeyPathStep> entry(QStringView item, bool followed) const;

    int itemCount() const { return int(m_items.size()); }

private:
    struct Choice {
        quint32 code = 0;    // the code's digits as a number
        quint8 length = 0;   // its length (leading zeros count)
        quint8 position = 0; // 1-based candidate position
        quint8 keys = 0;     // code length plus selection key
    };
    struct Item {
        Choice last;     // when nothing is typed after it (end of text, line break)
        Choice followed; // when a digit or another key follows
        int chineseCharacters = 0;
    };
    struct Pending {
        quint32 codeKey;
        qint32 item; // an index of m_texts; negative: a placeholder that only takes a place
        qint64 rank;
    };

    QVector<QString> m_texts;           // the items, by index
    QHash<QStringView, qint32> m_index; // item → index (views into m_texts), while adding
    std::vector<Pending> m_pending;     // entries until finish()
    QHash<QStringView, Item> m_items;   // after finish(): views into m_texts
    int m_longest = 0;                  // the longest item, in UTF-16 units

    qint32 intern(QStringView item);
    void addCustomWords(const QString &customWordsPath);
    // Each code's candidates in table order, the same item under the same code once.
    void sortPending();
    // Adds the database's entries to m_pending; an empty string, or what went wrong.
    static QString readDatabase(KeyPathTable &table, const QString &databasePath, QStringView text);
    friend class KeyPathIndex;
    static QString selectKeyName(int position, int keys, int codeLength);
};

} // namespace orvane
