#include "cli/teachingcommands.h"

#include "core/programfolder.h"
#include "core/textfile.h"
#include "core/workfiles.h"
#include "history/historydb.h"
#include "prepare/codedictionary.h"
#include "segtest/examplefiles.h"
#include "teaching/course.h"
#include "teaching/weakdrill.h"

#include <QDateTime>
#include <QFileInfo>

namespace orvane::cli {

namespace {

// The tests of the history (with their commits when asked); no file yet is no test, not an error.
bool readHistory(const char *command, bool withCommits, QVector<HistoryRecord> *tests, Streams &io)
{
    const QString path = defaultHistoryPath();
    if (!QFileInfo::exists(path))
        return true;
    HistoryDb db;
    QString error;
    if (db.open(path, &error))
        *tests = withCommits ? testsWithCommits(db, &error) : db.tests(&error);
    if (!error.isEmpty()) {
        io.err << "orvane-cli " << command << ": " << error << Qt::endl;
        return false;
    }
    return true;
}

bool openCodes(const char *command, CodeDictionary &codes, Streams &io)
{
    QString error;
    if (codes.open(ProgramFolder::resolve().dataFile(workfiles::codeDatabase()), &error))
        return true;
    io.err << "orvane-cli " << command << ": " << error << Qt::endl;
    return false;
}

// The value after an option, as a number of at least 1.
std::optional<int> numberAfter(const QStringList &args, qsizetype &i)
{
    if (i + 1 >= args.size())
        return std::nullopt;
    bool ok = false;
    const int n = args[++i].toInt(&ok);
    return ok && n >= 1 ? std::optional<int>(n) : std::nullopt;
}

} // namespace

int runDrill(const QStringList &args, Streams &io)
{
    QString out;
    std::optional<int> seed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        bool ok = false;
        if (args[i] == QLatin1String("--out") && i + 1 < args.size() && out.isEmpty()) {
            out = args[++i];
            ok = true;
        } else if (args[i] == QLatin1String("--seed") && !seed) {
            seed = numberAfter(args, i);
            ok = bool(seed);
        }
        if (!ok) {
            io.err << "usage: orvane-cli drill [--out FILE] [--seed N]" << Qt::endl;
            return 2;
        }
    }
    QVector<HistoryRecord> tests;
    if (!readHistory("drill", true, &tests, io))
        return 1;
    CodeDictionary codes;
    if (!openCodes("drill", codes, io))
        return 1;
    const QVector<DrillItem> items = weakItems(tests, [&codes](const QString &t) { return codes.LookupCodes(t); });
    const OpenedText drill = weakItemsDrill(items, seed ? quint32(*seed) : quint32(QDateTime::currentSecsSinceEpoch()));
    if (drill.text.isEmpty()) {
        io.err << "orvane-cli drill: " << nothingToPractise() << Qt::endl;
        return 1;
    }
    // The text with a blank between words: the word boundaries the test window shows.
    const QString separated = separatedText(drill.text, drill.marks);
    if (!out.isEmpty()) {
        QString error;
        if (!writeTextFile(out, separated, &error)) {
            io.err << "orvane-cli drill: " << error << Qt::endl;
            return 1;
        }
    } else {
        io.out << separated << '\n';
    }
    const auto orDash = [](const QString &s) { return s.isEmpty() ? QStringLiteral("-") : s; };
    for (const DrillItem &item : items)
        io.out << item.text << '\t' << orDash(item.codes.standard) << '\t' << orDash(item.codes.shortCode) << '\n';
    io.out.flush();
    return 0;
}

int runCourse(const QStringList &args, Streams &io)
{
    std::optional<int> textOf;
    qsizetype i = 0;
    if (args.size() == 2 && args[0] == QLatin1String("--text"))
        textOf = numberAfter(args, i);
    if (!args.isEmpty() && !textOf) {
        io.err << "usage: orvane-cli course [--text N]" << Qt::endl;
        return 2;
    }
    CodeDictionary codes;
    if (!openCodes("course", codes, io))
        return 1;
    const QVector<Lesson> lessons = buildCourse(courseSource(codes));
    if (textOf) {
        if (*textOf > lessons.size()) {
            io.err << "orvane-cli course: no lesson " << *textOf << " (the course has " << lessons.size() << ")"
                   << Qt::endl;
            return 1;
        }
        const OpenedText text = lessons[*textOf - 1].text();
        io.out << separatedText(text.text, text.marks) << '\n';
        io.out.flush();
        return 0;
    }
    QVector<HistoryRecord> tests;
    if (!readHistory("course", false, &tests, io))
        return 1;
    const QVector<LessonProgress> progress = courseProgress(lessons, tests);
    // One line per lesson: number, title, goal, state, best result, tests.
    for (qsizetype l = 0; l < lessons.size(); ++l)
        io.out << lessons[l].number << '\t' << lessons[l].title << '\t' << goalText(lessons[l].goal) << '\t'
               << lessonStateText(progress[l].state) << '\t' << bestText(progress[l]) << '\t'
               << QStringLiteral("测试%1次").arg(progress[l].tests) << '\n';
    io.out.flush();
    return 0;
}

} // namespace orvane::cli
