#include "cli/teachingcommands.h"

#include "history/historydb.h"
#include "teaching/mistakebook.h"
#include "teaching/testlessons.h"

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

} // namespace orvane::cli
