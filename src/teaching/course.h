// The graded course: lessons made from the program's own code database, each with a goal.
//
// The lessons go from the characters typed with the fewest keys to whole words:
//   the most frequent characters with a one-digit short code, then those with a two-digit short
//   code (two lessons), then the next most frequent characters in bands (three lessons), then
//   two-character words (two lessons), three-character words, four-character words, and last
//   mixed runs of the most frequent words of every length.
// A lesson with no items in the database is left out. Each lesson's goal asks for 98 % accuracy
// and a speed that rises through the course from 20 to 60 字/分. A lesson is passed when one of
// its tests meets its goal; the first lesson is open from the start and each later one opens when
// the lesson before it is passed. Everything is derived from the history: the tests of kind
// "lesson N".
#pragma once

#include "history/historydb.h"
#include "teaching/practicetext.h"

#include <optional>

namespace orvane {

class CodeDictionary;

// The items the course is made from, each list most frequent first.
struct CourseSource {
    QVector<FrequentItem> characters;
    QVector<FrequentItem> words2, words3, words4; // words of two, three and four characters
};

// Reads the course's items from the code database (the first few hundred of each list).
CourseSource courseSource(CodeDictionary &codes);

struct LessonGoal {
    double accuracy = 98; // percent, at least
    int speed = 20;       // 字/分, at least
};

struct Lesson {
    int number = 0; // 1, 2, …
    QString title;
    QVector<DrillItem> items; // in frequency order
    LessonGoal goal;
    int repeats = 3; // times each item is typed in the lesson's text

    // "lesson N": the kind of its tests in the history.
    QString kind() const;
    // "第N课 title": the name its text carries in the test window.
    QString name() const;
    // The lesson's text for the test window (its number is the seed of its order).
    OpenedText text() const;
};

QVector<Lesson> buildCourse(const CourseSource &source);

// A test meets a goal: its accuracy and its speed (输入速度) reach the goal's.
bool meetsGoal(const HistoryRecord &test, const LessonGoal &goal);

enum class LessonState { Locked, Open, Passed };

struct LessonProgress {
    LessonState state = LessonState::Locked;
    int tests = 0; // tests of the lesson in the history
    std::optional<HistoryRecord>
        best; // the best of them: one that met the goal before one that did not, then the faster, then the more accurate
};

// The state of each lesson from the tests in the history (any order; tests of other kinds are
// ignored).
QVector<LessonProgress> courseProgress(const QVector<Lesson> &lessons, const QVector<HistoryRecord> &tests);

// "已通过", "可以练习", "未开放".
QString lessonStateText(LessonState state);
// "98% · 20字/分".
QString goalText(const LessonGoal &goal);
// "98.50% · 35字/分", or "-" without a test.
QString bestText(const LessonProgress &progress);

} // namespace orvane
