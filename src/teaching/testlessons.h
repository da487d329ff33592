// What one finished test teaches, without widgets: the words typed in pieces, and how each
// character and word of the typed stretch fared (typed wrong, slow, in pieces), which the history
// keeps with the test and the mistake book adds up.
//
// The words of the stretch are the test's own word boundaries: a run of equal marks of two or
// more Chinese characters, as the test window shows and counts words. Of those, only the words the
// installed table holds whole under a code count as words here: a word without a word code cannot
// be typed whole, so typing it in pieces is no mistake. The table's other words that happen to
// cover the stretch (人民 inside 中华人民共和国) are left out, so that every character belongs to at
// most one word and a miss is counted once.
//
// Which commit typed a character: the last commit that reached its position (a retyped position
// counts as retyped). A word is typed in pieces when its characters came from two or more commits.
// The time of a commit is the time since the commit before it (the first: since the start); its
// time per character is that time divided by its characters. A character is slow when its commit's
// time per character is more than twice the median over all typed characters of the test; a word
// when the mean over its characters is.
#pragma once

#include "history/historydb.h"
#include "prepare/codedictionary.h"

#include <QString>
#include <QVector>
#include <functional>

namespace orvane {

class KeyPathTable;

// A finished test as the teaching needs it.
struct TypedStretch {
    QString text;  // the test's text as the view holds it (line breaks as "\n")
    QString marks; // one mark per character of text
    QVector<HistoryCommit> commits;
    // One entry per character of text: 0 not typed, 1 right, 2 wrong (its last result).
    QVector<quint8> results;
};

struct TestLessons {
    QVector<HistoryPiece> pieces; // by keys lost, most first
    QVector<HistoryItem> items;   // in the order of their first typing
};

// Codes of an item (standard and short).
using CodeLookup = std::function<ItemCodes(const QString &)>;

// The lessons of one test over the installed table (only the entries of the text's items need
// to be in it).
TestLessons lessonsOfTest(const TypedStretch &test, const KeyPathTable &table, const CodeLookup &codes);

// Sorts pieces by keys lost, most first; equal losses keep their order in the text.
void sortPiecesByKeysLost(QVector<HistoryPiece> &pieces);

} // namespace orvane
