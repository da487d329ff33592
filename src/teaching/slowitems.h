// The items a learner typed slowly, read from the commit times the history keeps: the weak items
// of a drill as far as the history alone can tell them.
//
// In each test, a commit's time is the time since the commit before it (the first: since the
// start), shared by its characters. A commit of Chinese characters is slow when its time per
// character is more than twice the test's median time per character. Items are ranked by how
// often they were slow, then by the last time they were, most recent first.
#pragma once

#include "history/historydb.h"
#include "teaching/practicetext.h"

#include <functional>

namespace orvane {

struct SlowItem {
    QString text;
    int slow = 0;       // commits of it that were slow
    QDateTime lastSlow; // the start of the last test in which it was
    bool operator==(const SlowItem &) const = default;
};

// tests with their commits; the n items most in need of practice, ranked as above.
QVector<SlowItem> slowItems(const QVector<HistoryRecord> &tests, int n = 20);

// The same as drill items, their codes looked up, each one missed.
QVector<DrillItem> slowDrillItems(
    const QVector<HistoryRecord> &tests, const std::function<ItemCodes(const QString &)> &codes, int n = 20);

} // namespace orvane
