// Codes of characters and words from the code database jtdb.dat (tables jtzi, jtci, jmzici),
// with libtalvex's GetItemCode for items the database does not hold (custom words).
//
// open() opens the database once, on a connection of its own, and prepares the queries; every
// lookup after that binds the item to an already prepared query, so a whole rendering pass runs
// through the same three statements.
//
// The file is read, never memory-mapped: a mapped file that another program truncates or
// rewrites in place kills the process. A damaged database is refused like a missing one: open()
// checks the file's header against its size at once (truncated, cut, or not SQLite), and SQLite's
// quick_check of the whole file runs once per file version in the background
// (startIntegrityCheck, at program start) because it takes a few hundred milliseconds; when it has
// found damage, or a lookup met a damaged page, the next open() refuses the file.
#pragma once

#include <QString>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>

namespace orvane {

class ExternalLibs;

struct ItemCodes {
    QString standard;
    QString shortCode;
    bool operator==(const ItemCodes &) const = default;
};

// The status-bar text of the code hint for text with the codes found.
QString codeHintMessage(const QString &text, const ItemCodes &codes);

// An item of the database with its frequency.
struct FrequentItem {
    QString text;
    ItemCodes codes;
    qint64 frequency = 0;
    bool operator==(const FrequentItem &) const = default;
};

class CodeDictionary {
public:
    // libs may be null (then items missing from the database have no code); it must outlive
    // this object.
    explicit CodeDictionary(const ExternalLibs *libs = nullptr);
    ~CodeDictionary();
    CodeDictionary(const CodeDictionary &) = delete;
    CodeDictionary &operator=(const CodeDictionary &) = delete;

    // Opens jtdb.dat read-only. On failure (missing, unreadable, not a code database) returns
    // false and sets *error to a message naming the file; lookups then give empty codes.
    bool open(const QString &path, QString *error = nullptr);

    // SQLite's quick_check of the whole file, here and now; remembers the verdict for this version
    // of the file (path, size, modification time). Any thread.
    static bool checkIntegrity(const QString &path, QString *error = nullptr);
    // The same in a background thread, unless a verdict for this version is known or coming.
    static void startIntegrityCheck(const QString &path);
    // How many times open() was called in this process: the program opens the database once
    // and keeps it (AppContext::codes), so that the lookups stay warm.
    static int openCount();
    void close();
    bool isOpen() const;
    QString path() const;

    // Standard and short code of a character or word. A lone " or ' and the empty string have
    // none. One character: table jtzi, else jtci; the first record gives the standard code
    // (srm) and the short code (ShortCodeOf). Without a record: GetItemCode, whose buffer
    // without blanks is the standard code (no short code).
    ItemCodes LookupCodes(const QString &text);
    // The same from the database alone: without a record both codes are empty.
    ItemCodes LookupStoredCodes(const QString &text);

    // jm1 unless it is a single blank; else jm2 unless a single blank; else empty. An empty jm1
    // gives empty without looking at jm2.
    static QString ShortCodeOf(const QString &jm1, const QString &jm2);

    // The items of `length` characters (1: the characters of jtzi; 2 and more: the words of jtci),
    // most frequent first, the database's order breaking ties, each once, at most limit of them.
    // Empty when the database is not open or has no frequencies.
    QVector<FrequentItem> mostFrequent(int length, int limit);

    // The short code of the word in jmzici, or empty.
    QString FindShortCodeWord(const QString &word);
    // FindShortCodeWord as the renderers take it; empty when the database is not open. Valid
    // while this object lives.
    std::function<QString(const QString &)> shortCodeLookup();

private:
    // The database's answer; empty when it has no record (or is not open).
    std::optional<ItemCodes> storedCodes(const QString &text);
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace orvane
