// Practice texts made by the program: the weak items of a drill, the items of a lesson.
//
// Each item is typed several times, in an order shuffled by a seed (the same seed gives the same
// text), in short runs separated by punctuation. Every occurrence of an item is one word of the
// text: its characters carry one mark and its neighbours the other, so the test window shows it in
// its own colour and counts it as one word, as it does with the words of a segmented text. An item
// the learner has missed gets a hint at its first occurrence: its code, told before it is typed.
#pragma once

#include "prepare/codedictionary.h"
#include "prepare/opentext.h"

#include <QString>
#include <QVector>

namespace orvane {

// One item to practise: a character or a word with its codes.
struct DrillItem {
    QString text;
    ItemCodes codes;
    bool missed = false; // the learner has missed it: its code is shown before it is first typed
    bool operator==(const DrillItem &) const = default;
};

struct PracticeOptions {
    int repeats = 3;     // times each item is typed
    quint32 seed = 1;    // the order of the items
    int shortestRun = 3; // items between two punctuation marks
    int longestRun = 6;
};

// The practice text of the items for the test window, named name and of the given kind (kept
// with the test in the history). Items without text, or with a blank, a line break or a
// punctuation mark of their own, are left out; an item given twice is practised once (missed when
// either was). No item left: an empty text.
OpenedText practiceText(
    const QVector<DrillItem> &items, const PracticeOptions &options, const QString &name, const QString &kind);

// The kind and the name of the drill of weak items.
QString drillKind();
QString drillName();

} // namespace orvane
