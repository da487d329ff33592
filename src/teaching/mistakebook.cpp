#include "teaching/mistakebook.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace orvane {

namespace {

struct ItemState {
    BookItem item;
    bool inBook = false;
};

} // namespace

MistakeBook buildMistakeBook(const QVector<HistoryTestItems> &tests, const QVector<HistoryBookRemoval> &removals)
{
    QHash<QPair<QString, bool>, qint64> removedAfter;
    for (const HistoryBookRemoval &r : removals)
        removedAfter.insert(qMakePair(r.text, r.word), r.afterTestId);

    QHash<QPair<QString, bool>, ItemState> states;
    for (const HistoryTestItems &test : tests) {
        for (const HistoryItem &typed : test.items) {
            const auto key = qMakePair(typed.text, typed.word);
            if (test.testId <= removedAfter.value(key, 0))
                continue;
            ItemState &state = states[key];
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

    MistakeBook book;
    for (const ItemState &state : std::as_const(states))
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

MistakeBook loadMistakeBook(const HistoryDb &db, QString *error)
{
    QString why;
    const QVector<HistoryTestItems> tests = db.itemsOfTests(&why);
    const QVector<HistoryBookRemoval> removals = why.isEmpty() ? db.bookRemovals(&why) : QVector<HistoryBookRemoval>{};
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return {};
    }
    return buildMistakeBook(tests, removals);
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
