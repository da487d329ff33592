#include "teaching/mistakebook.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace orvane {

namespace {

using ItemKey = QPair<QString, bool>;

struct ItemState {
    BookItem item;
    bool inBook = false;
};

// The replay of the tests, oldest first, over the state of each item. An item out of the book has
// no state worth keeping (a miss starts it afresh), so the book alone is the whole state: a replay
// can start from a book kept after some test and go on with the tests after it.
class Replay {
public:
    explicit Replay(const QVector<HistoryBookRemoval> &removals)
    {
        for (const HistoryBookRemoval &r : removals)
            m_removedAfter.insert(qMakePair(r.text, r.word), r.afterTestId);
    }

    // The book as it stood after the tests up to upTo; an item taken out by hand after them is left
    // out (what those tests said of it no longer counts).
    void startFrom(const QVector<BookItem> &book, qint64 upTo)
    {
        for (const BookItem &item : book) {
            const ItemKey key = qMakePair(item.text, item.word);
            if (m_removedAfter.value(key, -1) >= upTo) {
                m_droppedAny = true;
                continue;
            }
            m_states.insert(key, ItemState{item, true});
        }
    }

    void apply(const HistoryTestItems &test)
    {
        for (const HistoryItem &typed : test.items) {
            const ItemKey key = qMakePair(typed.text, typed.word);
            if (test.testId <= m_removedAfter.value(key, 0))
                continue;
            ItemState &state = m_states[key];
            BookItem &item = state.item;
            if (typed.missed > 0) {
                if (!state.inBook)
                    item = BookItem{};
                state.inBook = true;
                item.text = typed.text;
                item.word = typed.word;
                item.wrong += typed.wrong;
                item.slow += typed.slow;
                item.pieces += typed.pieces;
                item.misses += typed.missed;
                item.lastMiss = test.start;
                item.cleanSince = test.practice ? 0 : typed.cleanAfterMiss;
            } else if (state.inBook && !test.practice) {
                item.cleanSince += typed.seen;
            }
            if (state.inBook) {
                // The codes as the newest test saw them (a custom word may have changed its code).
                item.standardCode = typed.standardCode;
                item.shortCodes = typed.shortCode;
                if (item.cleanSince >= kCleanTypingsToLeave)
                    state.inBook = false;
            }
        }
    }

    // Whether startFrom left out an item taken out by hand since the book was kept.
    bool droppedAny() const { return m_droppedAny; }

    MistakeBook book() const
    {
        MistakeBook book;
        for (const ItemState &state : m_states)
            if (state.inBook)
                book.items.push_back(state.item);
        std::sort(book.items.begin(), book.items.end(), [](const BookItem &a, const BookItem &b) {
            if (a.misses != b.misses)
                return a.misses > b.misses;
            if (a.lastMiss != b.lastMiss)
                return a.lastMiss > b.lastMiss;
            if (a.word != b.word)
                return a.word; // a word holds more to practise than its characters
            return a.text < b.text;
        });
        return book;
    }

private:
    QHash<ItemKey, qint64> m_removedAfter;
    QHash<ItemKey, ItemState> m_states;
    bool m_droppedAny = false;
};

} // namespace

MistakeBook buildMistakeBook(const QVector<HistoryTestItems> &tests, const QVector<HistoryBookRemoval> &removals)
{
    Replay replay(removals);
    for (const HistoryTestItems &test : tests)
        replay.apply(test);
    return replay.book();
}

MistakeBook loadMistakeBook(HistoryDb &db, QString *error)
{
    QString why;
    const HistoryBookSource source = db.bookSource(&why);
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return {};
    }
    Replay replay(source.removals);
    if (source.kept)
        replay.startFrom(*source.kept, source.keptUpTo);
    for (const HistoryTestItems &test : source.tests)
        replay.apply(test);
    MistakeBook book = replay.book();
    // Kept for the next replay when it covers more than the kept one (a history that cannot be
    // written only means the next replay starts further back).
    if (!source.kept || !source.tests.isEmpty() || replay.droppedAny()) {
        QString ignored;
        db.keepBook(source, book.items, &ignored);
    }
    return book;
}

void keepItemsThatCount(QVector<HistoryItem> &items, const MistakeBook &book)
{
    QSet<QPair<QString, bool>> inBook;
    for (const BookItem &b : book.items)
        inBook.insert(qMakePair(b.text, b.word));
    items.removeIf([&](const HistoryItem &i) { return i.missed == 0 && !inBook.contains(qMakePair(i.text, i.word)); });
}

QVector<BookItem> weakestItems(const MistakeBook &book, int n)
{
    return book.items.mid(0, std::max(0, n));
}

} // namespace orvane
