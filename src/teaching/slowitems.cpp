#include "teaching/slowitems.h"

#include <QHash>

#include <algorithm>

namespace orvane {

namespace {

bool chineseOnly(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c.script() != QChar::Script_Han && !c.isSurrogate())
            return false;
    return true;
}

} // namespace

QVector<SlowItem> slowItems(const QVector<HistoryRecord> &tests, int n)
{
    QHash<QString, SlowItem> found;
    for (const HistoryRecord &test : tests) {
        QVector<double> perCharacter;
        qint64 before = 0;
        for (const HistoryCommit &c : test.commits) {
            perCharacter.push_back(c.text.isEmpty() ? 0.0 : double(c.ms - before) / double(c.text.size()));
            before = c.ms;
        }
        if (perCharacter.size() < 2)
            continue;
        QVector<double> sorted = perCharacter;
        std::sort(sorted.begin(), sorted.end());
        const double median = sorted.size() % 2 ? sorted[sorted.size() / 2]
                                                : (sorted[sorted.size() / 2 - 1] + sorted[sorted.size() / 2]) / 2;
        for (qsizetype i = 0; i < test.commits.size(); ++i) {
            const QString &text = test.commits[i].text;
            if (perCharacter[i] <= 2 * median || !chineseOnly(text))
                continue;
            SlowItem &item = found[text];
            item.text = text;
            ++item.slow;
            if (!item.lastSlow.isValid() || test.start > item.lastSlow)
                item.lastSlow = test.start;
        }
    }
    QVector<SlowItem> out(found.cbegin(), found.cend());
    std::sort(out.begin(), out.end(), [](const SlowItem &a, const SlowItem &b) {
        if (a.slow != b.slow)
            return a.slow > b.slow;
        if (a.lastSlow != b.lastSlow)
            return a.lastSlow > b.lastSlow;
        return a.text < b.text;
    });
    if (out.size() > n)
        out.resize(qMax(0, n));
    return out;
}

QVector<DrillItem> slowDrillItems(
    const QVector<HistoryRecord> &tests, const std::function<ItemCodes(const QString &)> &codes, int n)
{
    QVector<DrillItem> out;
    for (const SlowItem &item : slowItems(tests, n))
        out.push_back({item.text, codes(item.text), true});
    return out;
}

} // namespace orvane
