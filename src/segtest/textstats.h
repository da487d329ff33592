// The word and character tables of the current text and the key counts of the four input modes.
//
// The character table holds every distinct character of the text except ASCII letters and
// digits, in order of first occurrence, with its codes from the database only (jtzi). The word
// table holds every distinct word (runs of equal marks other than punctuation '2' and letters
// '4') by length class 1..5, with the codes of the database or, for words it lacks, of the
// segmentation library; each class is then put in falling order of count by a selection sort
// whose ties go to the later entry. That order is what the grids, the report and the
// segmentation-result file show, so the sort is kept exactly as it is.
//
// Searching for an existing entry goes through a hash index built beside the table, so a build
// is linear in the text; the tables are the same as a linear search would give.
#pragma once

#include "segtest/statsdata.h"

#include <QString>

namespace orvane {

class CodeDictionary;

// Fills stats.CharStats from the view's text.
void BuildCharStats(TestStatistics &stats, const QString &text, CodeDictionary &dict);
// Fills stats.WordStats from the view's text and its marks, then sorts each class.
void BuildWordStats(TestStatistics &stats, const QString &text, const QString &marks, CodeDictionary &dict);

// The distinct characters of text other than ASCII letters and digits, in order of first
// occurrence, with the database codes of their first occurrence. A surrogate pair is one
// character.
QVector<StatEntry> characterTable(const QString &text, CodeDictionary &dict);

// The distinct runs of equal marks by class, in order of first occurrence, with the codes of
// the database or the segmentation library. Runs marked '4' are never entered: their length is
// added to *letterCharacters when given. Runs marked '2' are entered only withSymbols.
WordTable wordTable(
    const QString &text, const QString &marks, CodeDictionary &dict, bool withSymbols, int *letterCharacters = nullptr);

// Number of characters (code points) of a word: its length class before capping at 5.
int characterLength(const QString &word);
// The class of a word of the given length: the length, 5 for five or more.
int lengthClass(int length);

// Puts one class in falling order of count: for each position, the last entry among those from
// there on with the highest count is swapped into it.
void sortByFallingCount(QVector<StatEntry> &entries);

// Length of a code without its leading and trailing blanks.
int codeLength(const QString &code);
// The keys of a coded character typed singly, count times: its code and the function keys, in
// the standard-code and the short-code mode.
void addSingleCharacterKeys(KeyCountSlots &k, const StatEntry &e);

// The 24 key figures of the whole text from its tables and counts.
KeyCountSlots CountTextKeys(const TestStatistics &stats, int symbolCount, int alphaCount);

// The figures of the user's typing that the details dialog shows.
struct TypingDetails {
    int typed = 0;                   // characters typed, right and wrong
    std::array<int, 6> wordCounts{}; // index 1..5, the unfinished last burst included
    int keystrokes = 0;
    QString averageText = QStringLiteral("0"); // keystrokes per character, two decimals
    double average = 0;                        // the number shown
};

// From the test counters. With nothing typed every figure is zero.
TypingDetails typingDetails(const TestCounters &doc);

} // namespace orvane
