#include "cli/teachingcommands.h"

#include "core/programfolder.h"
#include "core/textfile.h"
#include "core/workfiles.h"
#include "history/historydb.h"
#include "prepare/codedictionary.h"
#include "segtest/examplefiles.h"
#include "teaching/course.h"
#include "teaching/mistakebook.h"
#include "teaching/testlessons.h"
#include "teaching/weakdrill.h"

#include <QDateTime>
#include <QFileInfo>

namespace orvane::cli {

namespace {

QString field(const QString &s)
{
    return s.isEmpty() ? QStringLiteral("-") : s;
}

// The history file when it exists; false after saying why when it cannot be opened. A missing
// file is no error (nothing was kept yet) and is not created.
bool openHistory(HistoryDb &db, bool &exists, const char *command, Streams &io)
{
    const QString path = defaultHistoryPath();
    exists = QFileInfo::exists(path);
    if (!exists)
        return true;
    QString error;
    if (!db.open(path, &error)) {
        io.err << "orvane-cli " << command << ": " << error << Qt::endl;
        return false;
    }
    return true;
}

// The mistake book of the history; an empty book when no history was kept yet, false after
// saying why when it cannot be read.
bool readBook(const char *command, MistakeBook *book, Streams &io)
{
    HistoryDb db;
    bool exists = false;
    if (!openHistory(db, exists, command, io))
        return false;
    QString error;
    *book = exists ? loadMistakeBook(db, &error) : MistakeBook{};
    if (!error.isEmpty()) {
        io.err << "orvane-cli " << command << ": " << error << Qt::endl;
        return false;
    }
    return true;
}

// The tests of the history; no file yet is no test, not an error.
bool readTests(const char *command, QVector<HistoryRecord> *tests, Streams &io)
{
    HistoryDb db;
    bool exists = false;
    if (!openHistory(db, exists, command, io))
        return false;
    QString error;
    if (exists)
        *tests = db.tests(&error);
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

int runPieces(const QStringList &args, Streams &io)
{
    if (args != QStringList{QStringLiteral("--last")}) {
        io.err << "usage: orvane-cli pieces --last" << Qt::endl;
        return 2;
    }
    HistoryDb db;
    bool exists = false;
    if (!openHistory(db, exists, "pieces", io))
        return 1;
    QString error;
    const std::optional<HistoryRecord> last = exists ? db.lastTest(&error) : std::nullopt;
    if (!error.isEmpty()) {
        io.err << "orvane-cli pieces: " << error << Qt::endl;
        return 1;
    }
    if (!last) {
        io.err << "orvane-cli pieces: the history keeps no test yet" << Qt::endl;
        return 1;
    }
    QVector<HistoryPiece> pieces = db.pieces(last->id, &error);
    if (!error.isEmpty()) {
        io.err << "orvane-cli pieces: " << error << Qt::endl;
        return 1;
    }
    sortPiecesByKeysLost(pieces);
    // word, standard code, short code, the learner's split, their keys, the keys of the word's
    // code, keys lost.
    for (const HistoryPiece &p : pieces)
        io.out << p.word << '\t' << field(p.standardCode) << '\t' << field(p.shortCode) << '\t' << p.split << '\t'
               << p.keys << '\t' << p.idealKeys << '\t' << p.keysLost() << '\n';
    io.out << "test=" << last->id << " pieces=" << pieces.size() << '\n';
    io.out.flush();
    return 0;
}

int runBook(const QStringList &args, Streams &io)
{
    if (!args.isEmpty()) {
        io.err << "usage: orvane-cli book" << Qt::endl;
        return 2;
    }
    HistoryDb db;
    bool exists = false;
    if (!openHistory(db, exists, "book", io))
        return 1;
    QString error;
    const MistakeBook book = exists ? loadMistakeBook(db, &error) : MistakeBook{};
    if (!error.isEmpty()) {
        io.err << "orvane-cli book: " << error << Qt::endl;
        return 1;
    }
    // item, 字 or 词, standard code, short code, typed wrong, slow, in pieces, last missed, clean
    // typings in running text since; most misses first.
    for (const BookItem &b : book.items)
        io.out << b.text << '\t' << (b.word ? QStringLiteral("词") : QStringLiteral("字")) << '\t'
               << field(b.standardCode) << '\t' << field(b.shortCodes) << '\t' << b.wrong << '\t' << b.slow << '\t'
               << b.pieces << '\t' << b.lastMiss.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << '\t' << b.cleanSince
               << '\n';
    io.out << "items=" << book.items.size() << '\n';
    io.out.flush();
    return 0;
}

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
    MistakeBook book;
    if (!readBook("drill", &book, io))
        return 1;
    const QVector<DrillItem> items = weakItems(book);
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
    for (const DrillItem &item : items)
        io.out << item.text << '\t' << field(item.codes.standard) << '\t' << field(item.codes.shortCode) << '\n';
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
    if (!readTests("course", &tests, io))
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
