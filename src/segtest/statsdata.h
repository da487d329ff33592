// The statistics of the current text and of the user's typing: the word and character tables,
// the key figures of the four input modes, and the counters of a test.
#pragma once

#include <QString>
#include <QVector>
#include <array>

namespace orvane {

struct StatEntry {
    QString text;
    int count = 0;
    QString standardCode;
    QString shortCode;
    bool operator==(const StatEntry &) const = default;
};

// The 24 key figures of the four input modes, one slot each. The whole-text count and the count
// of the user's typed stretch use the same layout; the dialogs show slot i in lblkeys(i) and the
// report prints them in its own order.
using KeyCountSlots = std::array<int, 24>;

namespace KeySlot {
enum : int {
    // 单字标准码: every character singly with its standard code
    CharStdTotal = 0,
    CharStdCharKeys = 1,
    CharStdPunct = 2,
    CharStdFunction = 3,
    // 单字简码: every character singly, with its short code where it has one
    CharShortTotal = 4,
    CharShortStdKeys = 5,
    CharShortShortKeys = 6,
    CharShortPunct = 7,
    CharShortFunction = 8,
    // 词组标准码: every word as a word with its standard code
    WordStdTotal = 9,
    WordStdCharKeys = 10,
    WordStdWordKeys = 11,
    WordStdPunct = 12,
    WordStdFunction = 13,
    // 词组简码: every word as a word, with its short code where it has one
    WordShortTotal = 14,
    WordShortStdKeys = 15,
    WordShortCharShortKeys = 16,
    WordShortWordShortKeys = 17,
    WordShortPunct = 18,
    WordShortFunction = 19,
    // letters and digits of the four modes
    CharStdAlpha = 20,
    CharShortAlpha = 21,
    WordStdAlpha = 22,
    WordShortAlpha = 23,
};
} // namespace KeySlot

// Words by length class, index 1..5 (index 0 unused); class 5 is five or more characters.
using WordTable = std::array<QVector<StatEntry>, 6>;

// The counters of the test under way or last run, zeroed when a test starts.
struct TestCounters {
    int RightCharCount = 0;
    int WrongCharCount = 0;
    int KeystrokeCount = 0;              // keys that reached the typing box
    std::array<int, 6> UserWordCounts{}; // finished input bursts by length, index 1..5 (5 = five or more)
    QString TypedText;                   // the expected characters of the positions typed, in order
    int BackspaceCount = 0;              // Backspace presses (each moves back one character)
    int LeftCount = 0;                   // Left presses
    int RetypedCount = 0;                // characters typed again: comparisons at a position already typed
    int TypedStretch = 0;                // positions from the start up to the furthest one typed
};

struct TestStatistics {
    // Distinct words of the text by length class, each class by falling count.
    WordTable WordStats;
    // Distinct characters other than ASCII letters and digits, in order of first occurrence.
    QVector<StatEntry> CharStats;

    KeyCountSlots TextKeyCounts{};
    KeyCountSlots UserKeyCounts{};

    // The analysis of the typed stretch, kept until the next test or text: its marks from the
    // segmenter, its runs by class in order of first occurrence (punctuation runs included,
    // blanks removed from their texts), its characters, and the characters in letter runs.
    QString UserMarks;
    WordTable UserWordStats;
    QVector<StatEntry> UserCharStats;
    int UserAlphaCount = 0;

    int wordClassSize(int cls) const { return int(WordStats[cls].size()); }
    int charStatsLast() const { return int(CharStats.size()) - 1; }
    int userWordClassSize(int cls) const { return int(UserWordStats[cls].size()); }
    int userCharStatsLast() const { return int(UserCharStats.size()) - 1; }
};

} // namespace orvane
