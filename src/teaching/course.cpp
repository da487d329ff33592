#include "teaching/course.h"

#include "prepare/codedictionary.h"

#include <QSet>

#include <algorithm>

namespace orvane {

namespace {

// How many items each kind of lesson takes.
constexpr int kTwoDigitLesson = 25;
constexpr int kCharacterBand = 30;
constexpr int kWordLesson = 30;
constexpr int kLongWordLesson = 24;
constexpr int kMixedLesson = 40;
// A lesson's text has about this many characters: each item is typed often enough to reach it,
// at least twice and at most eight times.
constexpr int kLessonCharacters = 120;

QVector<DrillItem> drillItems(const QVector<FrequentItem> &items)
{
    QVector<DrillItem> out;
    for (const FrequentItem &item : items)
        out.push_back({item.text, item.codes, false});
    return out;
}

QVector<FrequentItem> slice(const QVector<FrequentItem> &items, qsizetype from, qsizetype count)
{
    if (from >= items.size())
        return {};
    return items.mid(from, count);
}

} // namespace

CourseSource courseSource(CodeDictionary &codes)
{
    CourseSource source;
    source.characters = codes.mostFrequent(1, 1000);
    source.words2 = codes.mostFrequent(2, 2 * kWordLesson);
    source.words3 = codes.mostFrequent(3, kLongWordLesson);
    source.words4 = codes.mostFrequent(4, kLongWordLesson);
    return source;
}

QString Lesson::kind() const
{
    return QStringLiteral("lesson %1").arg(number);
}

QString Lesson::name() const
{
    return QStringLiteral("第%1课 %2").arg(number).arg(title);
}

OpenedText Lesson::text() const
{
    PracticeOptions options;
    options.repeats = repeats;
    options.seed = quint32(number);
    return practiceText(items, options, name(), kind());
}

QVector<Lesson> buildCourse(const CourseSource &source)
{
    QVector<std::pair<QString, QVector<FrequentItem>>> plan;

    // Characters by the length of their short code; the rest of the characters by frequency.
    QVector<FrequentItem> oneDigit, twoDigit, others;
    for (const FrequentItem &c : source.characters) {
        if (c.codes.shortCode.size() == 1)
            oneDigit.push_back(c);
        else if (c.codes.shortCode.size() == 2)
            twoDigit.push_back(c);
        else
            others.push_back(c);
    }
    // Two-digit characters beyond the two lessons go back into the bands at their frequency.
    QVector<FrequentItem> twoDigitTaught = slice(twoDigit, 0, 2 * kTwoDigitLesson);
    QSet<QString> taught;
    for (const FrequentItem &c : oneDigit)
        taught.insert(c.text);
    for (const FrequentItem &c : twoDigitTaught)
        taught.insert(c.text);
    QVector<FrequentItem> bands;
    for (const FrequentItem &c : source.characters)
        if (!taught.contains(c.text))
            bands.push_back(c);

    plan.push_back({QStringLiteral("一位简码字"), oneDigit});
    plan.push_back({QStringLiteral("二位简码字（一）"), slice(twoDigitTaught, 0, kTwoDigitLesson)});
    plan.push_back({QStringLiteral("二位简码字（二）"), slice(twoDigitTaught, kTwoDigitLesson, kTwoDigitLesson)});
    const QStringList bandNames = {
        QStringLiteral("常用字（一）"), QStringLiteral("常用字（二）"), QStringLiteral("常用字（三）")};
    for (int b = 0; b < bandNames.size(); ++b)
        plan.push_back({bandNames[b], slice(bands, b * kCharacterBand, kCharacterBand)});
    plan.push_back({QStringLiteral("二字词（一）"), slice(source.words2, 0, kWordLesson)});
    plan.push_back({QStringLiteral("二字词（二）"), slice(source.words2, kWordLesson, kWordLesson)});
    plan.push_back({QStringLiteral("三字词"), slice(source.words3, 0, kLongWordLesson)});
    plan.push_back({QStringLiteral("四字词"), slice(source.words4, 0, kLongWordLesson)});
    // The words of every length together, most frequent first (the two-character words at equal
    // frequency first).
    QVector<FrequentItem> mixed = source.words2 + source.words3 + source.words4;
    std::stable_sort(mixed.begin(), mixed.end(),
        [](const FrequentItem &a, const FrequentItem &b) { return a.frequency > b.frequency; });
    plan.push_back({QStringLiteral("常用词混合"), slice(mixed, 0, kMixedLesson)});

    plan.erase(std::remove_if(plan.begin(), plan.end(), [](const auto &p) { return p.second.isEmpty(); }), plan.end());

    QVector<Lesson> lessons;
    for (qsizetype i = 0; i < plan.size(); ++i) {
        Lesson lesson;
        lesson.number = int(i + 1);
        lesson.title = plan[i].first;
        lesson.items = drillItems(plan[i].second);
        // 20 字/分 at the first lesson, 60 at the last, evenly between.
        lesson.goal.speed = plan.size() == 1 ? 20 : int(20 + (40 * i + (plan.size() - 1) / 2) / (plan.size() - 1));
        qsizetype characters = 0;
        for (const DrillItem &item : lesson.items)
            characters += item.text.size();
        lesson.repeats = int(std::clamp<qsizetype>((kLessonCharacters + characters - 1) / characters, 2, 8));
        lessons.push_back(lesson);
    }
    return lessons;
}

bool meetsGoal(const HistoryRecord &test, const LessonGoal &goal)
{
    return test.accuracy >= goal.accuracy && test.speed >= goal.speed;
}

QVector<LessonProgress> courseProgress(const QVector<Lesson> &lessons, const QVector<HistoryRecord> &tests)
{
    QVector<LessonProgress> out(lessons.size());
    bool previousPassed = true;
    for (qsizetype i = 0; i < lessons.size(); ++i) {
        const Lesson &lesson = lessons[i];
        LessonProgress &p = out[i];
        const QString kind = lesson.kind();
        bool passed = false;
        for (const HistoryRecord &t : tests) {
            if (t.kind != kind)
                continue;
            ++p.tests;
            const bool met = meetsGoal(t, lesson.goal);
            passed = passed || met;
            if (!p.best) {
                p.best = t;
                continue;
            }
            const bool bestMet = meetsGoal(*p.best, lesson.goal);
            if (met != bestMet ? met
                               : (t.speed != p.best->speed ? t.speed > p.best->speed : t.accuracy > p.best->accuracy))
                p.best = t;
        }
        // A lesson passed before the one ahead of it was (tests run from the command line, or an
        // older course) counts as passed all the same; it opens the next one.
        p.state = passed ? LessonState::Passed : previousPassed ? LessonState::Open : LessonState::Locked;
        previousPassed = passed;
    }
    return out;
}

QString lessonStateText(LessonState state)
{
    switch (state) {
    case LessonState::Passed: return QStringLiteral("已通过");
    case LessonState::Open: return QStringLiteral("可以练习");
    case LessonState::Locked: break;
    }
    return QStringLiteral("未开放");
}

QString goalText(const LessonGoal &goal)
{
    return QStringLiteral("%1% · %2字/分").arg(goal.accuracy).arg(goal.speed);
}

QString bestText(const LessonProgress &progress)
{
    if (!progress.best)
        return QStringLiteral("-");
    return QStringLiteral("%1% · %2字/分")
        .arg(QString::number(progress.best->accuracy, 'f', 2))
        .arg(progress.best->speed);
}

} // namespace orvane
