// The mistake book, without widgets: the characters and words the learner still misses, added up
// over every test the history keeps.
//
// A typing is a miss when the item was typed wrong (it, or a character of the word, was coloured
// wrong), slow (see testlessons.h) or, for a word, in pieces. The tests are replayed oldest first:
// a miss puts the item into the book (or keeps it there), sets the date it was last missed and
// starts its count of clean typings again. A clean typing in running text adds one; the clean
// typings of a practice text the program made (a drill, a lesson) add nothing, its misses count
// as any other. At three clean typings after the last
// miss the item leaves the book, and its counts start from zero if it comes back. An item taken
// out by hand forgets every test kept up to then.
#pragma once

#include "history/historydb.h"

#include <QDateTime>
#include <QString>
#include <QVector>

namespace orvane {

// Clean typings in running text after the last miss that take an item out of the book.
inline constexpr int kCleanTypingsToLeave = 3;

using BookItem = HistoryBookEntry;

struct MistakeBook {
    QVector<BookItem> items; // most misses first, then the most recently missed
};

// The book from the items of the kept tests (oldest first) and the items taken out by hand.
MistakeBook buildMistakeBook(const QVector<HistoryTestItems> &tests, const QVector<HistoryBookRemoval> &removals);

// The book of a history; an empty book with *error when the history cannot be read. The replay
// starts from the book the history keeps (HistoryDb::bookSource) and goes over the tests since;
// the book made is kept again, so that a test's end goes over that one test only.
MistakeBook loadMistakeBook(HistoryDb &db, QString *error);

// Leaves the items of a new test that can change the book: those it missed and those in the book
// now. A clean typing of an item outside the book changes nothing, so it is not stored: the
// history grows with the misses, not with every character typed.
void keepItemsThatCount(QVector<HistoryItem> &items, const MistakeBook &book);

// The n items that most need practice: the most misses, the most recently missed first.
QVector<BookItem> weakestItems(const MistakeBook &book, int n = 20);

} // namespace orvane
