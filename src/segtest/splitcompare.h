// Where the keys went: the typed stretch of a test split as the learner typed it (the commits of
// the input method) beside the shortest key path of the same stretch, span by span.
//
// The learner's split: each commit that moves the test forward types a piece of the stretch, from
// where the furthest commit so far ended to where it ends itself. Characters that no commit
// typed (the learner moved right past them) are a piece of their own, shown in brackets. The
// path's split: its steps. A span runs from one place where both splits have a boundary to the
// next, so that it holds whole pieces and whole steps and its keys on both sides compare: the
// learner's keys (of the commits in it) and the path's keys (of its steps); their difference is
// the span's extra keys.
//
// A commit typed again after moving back (it starts before the furthest point reached) does not
// split anything again: it is listed as typed again with the span it starts in, and its keys
// (the keys of moving back included, as they are counted before it) count to that span. A
// character typed wrong stays in the learner's piece as typed and is counted in the span of its
// commit. So every key of every commit counts to one span, and the totals are the test's keys up
// to its last commit.
#pragma once

#include "history/historydb.h"
#include "segtest/keypath.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>

namespace orvane {

struct SplitSpan {
    int position = 0;          // its first character in the stretch
    QString text;              // the stretch's text, a line break as "\n"
    QStringList learnerPieces; // what each forward commit typed, in order; "[…]" for untyped characters
    QStringList retyped;       // the commits typed again after moving back that start here
    int learnerKeys = 0;
    int wrongCharacters = 0; // characters typed wrong by the commits of the span
    QVector<KeyPathStep> pathSteps;
    int pathKeys = 0;

    int extraKeys() const { return learnerKeys - pathKeys; }
    // The pieces joined by "|": "接|近".
    QString learnerSplit() const;
    // The steps' texts joined by "|": "接近".
    QString pathSplit() const;
    // Each step's code and selection key, as the learner would press them: "2372+空格 6+空格"
    // (";" is "分号", "'" is "引号"), a character without code "直接", a line break "回车".
    QString pathCodes() const;
};

struct SplitComparison {
    QVector<SplitSpan> spans;
    int characters = 0;  // of the stretch
    int learnerKeys = 0; // of all commits
    int pathKeys = 0;    // of the path, line breaks at the end of the stretch included
    int retypedCommits = 0;
    int wrongCharacters = 0;

    int extraKeys() const { return learnerKeys - pathKeys; }
    // The spans in which the learner took more keys than the path.
    int spansWithExtraKeys() const;
};

// The stretch a learner typed: the text from its start to the furthest point any commit reached
// (never beyond the text), line breaks as "\n".
QString typedStretch(QStringView text, const QVector<HistoryCommit> &commits);

// The comparison over a stretch, given the test's commits (positions in the text the stretch
// starts) and the shortest key path of the stretch. Line breaks at the end of the stretch, which
// a path does not type, count on the path's side at one key (Enter) each, as inside a text.
SplitComparison compareSplits(QStringView stretch, const QVector<HistoryCommit> &commits, const KeyPath &path);

} // namespace orvane
