// The history of finished tests: history.db, a SQLite database in the per-user data folder. One
// row per test (its times, its text, every figure of the result dialog and the later figures)
// and the test's commits in a child table. Each test is written in one transaction, so that a
// crash leaves the test wholly written or not at all.
//
// The file carries its schema version; opening an older file brings it up to date step by step
// (migrations), a newer one is refused so that this program never damages it.
#pragma once

#include <QDateTime>
#include <QString>
#include <QVector>
#include <array>
#include <memory>
#include <optional>

namespace orvane {

// One commit of the input method (or one character typed without it) during a test.
struct HistoryCommit {
    int position = 0; // the text position of its first character
    QString text;
    qint64 ms = 0; // milliseconds since the test started
    int keys = 0;  // keys counted since the previous commit
    bool operator==(const HistoryCommit &) const = default;
};

// A word of the typed stretch that the learner entered in two or more commits although the
// installed table has it whole under a code.
struct HistoryPiece {
    QString word;
    QString standardCode, shortCode;
    QString split;     // the learner's commits within the word, "|" between them: 接|近
    int keys = 0;      // the keys of those commits
    int idealKeys = 0; // the keys of the word's cheapest entry, its selection key included
    int keysLost() const { return keys - idealKeys; }
    bool operator==(const HistoryPiece &) const = default;
};

// How one character or word fared in one test: every time it was typed in the stretch, how often
// it was typed wrong, slow or (a word) in pieces, and how many clean typings followed its last
// miss in this test (all of them when it was not missed).
struct HistoryItem {
    QString text;
    bool word = false;
    QString standardCode, shortCode;
    int seen = 0;
    int wrong = 0, slow = 0, pieces = 0;
    int missed = 0; // typings with at least one of the three
    int cleanAfterMiss = 0;
    bool operator==(const HistoryItem &) const = default;
};

// One finished test.
struct HistoryRecord {
    qint64 id = 0; // given by the database
    QDateTime start;
    QDateTime end;
    QString textName;
    QString textHash; // SHA-256 of the text, hex
    // What the text was for: empty for a text the learner opened, "drill" for a practice text of
    // weak items, "lesson N" for lesson N of the course.
    QString kind;
    int textLength = 0;
    // The result dialog: the counts of the text, the time without pauses, the typed characters
    // right and wrong, the accuracy in percent (as shown, two decimals), the two speeds in
    // characters a minute (as shown).
    int total = 0, hanzi = 0, symbols = 0, alpha = 0;
    qint64 elapsedSeconds = 0;
    int right = 0, wrong = 0;
    double accuracy = 0;
    int speed = 0, effectiveSpeed = 0;
    int keys = 0;
    std::array<int, 6> bursts{}; // finished input bursts by length, index 1..5 (5 = five or more)
    // Figures that not every test has yet: keys a second, keys a character, the ideal keys a
    // character, the word share and its ideal, Backspace presses, characters typed again, key
    // accuracy.
    std::optional<double> keysPerSecond, codeLength, idealCodeLength, wordShare, idealWordShare;
    std::optional<int> backspaces, retyped;
    std::optional<double> keyAccuracy;
    QVector<HistoryCommit> commits;
    // The words typed in pieces, and every character and word of the typed stretch.
    QVector<HistoryPiece> pieces;
    QVector<HistoryItem> items;
};

// The items of one kept test, for the mistake book.
struct HistoryTestItems {
    qint64 testId = 0;
    QDateTime start;
    // A practice text the program made (a drill, a lesson: the test has a kind) rather than running
    // text: its clean typings do not take an item out of the mistake book.
    bool practice = false;
    QVector<HistoryItem> items;
};

// An item the learner took out of the mistake book by hand: what the tests up to afterTestId
// said of it no longer counts.
struct HistoryBookRemoval {
    QString text;
    bool word = false;
    qint64 afterTestId = 0;
};

// A character or word in the mistake book, with what the tests since it came in said of it (the
// book's rules are in teaching/mistakebook.h).
struct HistoryBookEntry {
    QString text;
    bool word = false;
    QString standardCode;
    QString shortCodes;
    int wrong = 0;  // typings coloured wrong since the item came into the book
    int slow = 0;   // slow typings
    int pieces = 0; // typings in pieces (words only)
    QDateTime lastMiss;
    int cleanSince = 0; // clean typings in running text since lastMiss
    // The typings that were a miss since the item came into the book (one typing can be wrong
    // and slow at once and counts once here).
    int misses = 0;
};

// What the mistake book is made from, read at one moment: the book as it was kept after the
// tests up to keptUpTo (when it still holds: none of those tests was deleted since, and no later
// test started before them), the removals by hand, and the items of the tests after keptUpTo, oldest
// first. upTo and testsUpTo describe the tests read, for keeping the book made from them.
struct HistoryBookSource {
    std::optional<QVector<HistoryBookEntry>> kept;
    qint64 keptUpTo = 0;
    QVector<HistoryBookRemoval> removals;
    QVector<HistoryTestItems> tests;
    qint64 upTo = 0;
    qint64 testsUpTo = 0;
    QString lastStartUpTo;
};

// The SHA-256 of a text (UTF-8), in hex.
QString historyTextHash(const QString &text);

// The history file: $XDG_DATA_HOME/orvane-tutor/history.db.
QString defaultHistoryPath();

class HistoryDb {
public:
    // The schema this program writes.
    static constexpr int kSchemaVersion = 4;

    HistoryDb();
    ~HistoryDb();
    HistoryDb(const HistoryDb &) = delete;
    HistoryDb &operator=(const HistoryDb &) = delete;

    // Opens (and creates, with its folder) the file and brings its schema up to date; false with
    // *error saying why (a locked, damaged or newer file, a folder that cannot be written).
    bool open(const QString &path, QString *error);
    bool isOpen() const;
    QString path() const;

    // Writes one test with its commits in one transaction; its id, or 0 with *error.
    qint64 add(const HistoryRecord &record, QString *error);
    // Every test, oldest first, without commits.
    QVector<HistoryRecord> tests(QString *error = nullptr) const;
    // The commits of one test, in order.
    QVector<HistoryCommit> commits(qint64 testId, QString *error = nullptr) const;
    // Deletes tests with their commits, in one transaction.
    bool remove(const QVector<qint64> &ids, QString *error);

    // The newest test (the highest id), without commits; nullopt when there is none.
    std::optional<HistoryRecord> lastTest(QString *error = nullptr) const;
    // The words one test typed in pieces, as written.
    QVector<HistoryPiece> pieces(qint64 testId, QString *error = nullptr) const;
    // The items of every test, oldest first (tests without items are left out).
    QVector<HistoryTestItems> itemsOfTests(QString *error = nullptr) const;
    // Takes an item out of the mistake book: the tests kept so far no longer count for it.
    bool removeFromBook(const QString &text, bool word, QString *error);
    QVector<HistoryBookRemoval> bookRemovals(QString *error = nullptr) const;

    // The mistake book is replayed from the items of the tests (teaching/mistakebook.h); the book
    // as it stood after some test is kept, so that the next replay starts there instead of at the
    // first test. bookSource reads everything a replay needs in one read transaction;
    // keepBook stores the book made from that source, unless tests it covered were deleted in
    // the meantime (then nothing is kept and the next replay starts from the first test).
    HistoryBookSource bookSource(QString *error = nullptr) const;
    bool keepBook(const HistoryBookSource &source, const QVector<HistoryBookEntry> &book, QString *error);

private:
    QVector<HistoryTestItems> itemsOfTestsAfter(qint64 testId, QString *error) const;
    // The tests with the given ORDER BY (and LIMIT) clause, without commits.
    QVector<HistoryRecord> selectTests(const QString &order, QString *error) const;
    struct Private;
    std::unique_ptr<Private> d;
};

// The stored tests as CSV (a header line, then one line per test, oldest first, lines ended by
// CR LF), as the command line and the history window export them.
QString historyCsv(const QVector<HistoryRecord> &tests);

} // namespace orvane
