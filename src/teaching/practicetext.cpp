#include "teaching/practicetext.h"

#include "segtest/typingsession.h"

#include <QRandomGenerator>
#include <QSet>

#include <algorithm>

namespace orvane {

namespace {

// A character that cannot stand in a word of the text: it would break the word's colour or its
// count (a blank, a line break, a punctuation mark or any other symbol).
bool breaksWord(QChar c)
{
    return c.isSpace() || c.isPunct() || c.isSymbol() || c.category() == QChar::Other_Control;
}

QVector<DrillItem> usableItems(const QVector<DrillItem> &items)
{
    QVector<DrillItem> out;
    for (const DrillItem &item : items) {
        if (item.text.isEmpty() || std::any_of(item.text.cbegin(), item.text.cend(), breaksWord))
            continue;
        const auto same = std::find_if(out.begin(), out.end(), [&](const DrillItem &o) { return o.text == item.text; });
        if (same != out.end())
            same->missed = same->missed || item.missed;
        else
            out.push_back(item);
    }
    return out;
}

// Fisher-Yates with the generator's own bounded numbers, so that a seed gives the same order on
// every platform (std::shuffle's algorithm belongs to the standard library).
void shuffle(QVector<int> &order, QRandomGenerator &random)
{
    for (qsizetype i = order.size() - 1; i > 0; --i)
        std::swap(order[i], order[qsizetype(random.bounded(quint32(i + 1)))]);
}

// The same item twice in a row reads as one long word: the next different item moves up between
// them; when none is left further on, the second goes back to the first place between two other
// items.
void separateNeighbours(QVector<int> &order)
{
    for (qsizetype i = 1; i < order.size(); ++i) {
        const int item = order[i];
        if (item != order[i - 1])
            continue;
        const auto later = std::find_if(order.begin() + i + 1, order.end(), [item](int o) { return o != item; });
        if (later != order.end()) {
            const int other = *later;
            order.erase(later);
            order.insert(i, other);
            continue;
        }
        for (qsizetype p = 0; p + 1 < i; ++p) {
            if (order[p] != item && order[p + 1] != item) {
                order.remove(i);
                order.insert(p + 1, item);
                break;
            }
        }
    }
}

} // namespace

OpenedText practiceText(
    const QVector<DrillItem> &given, const PracticeOptions &options, const QString &name, const QString &kind)
{
    OpenedText out;
    out.target = OpenTarget::TestWindow;
    out.name = name;
    out.kind = kind;
    const QVector<DrillItem> items = usableItems(given);
    if (items.isEmpty())
        return out;

    QVector<int> order;
    for (int r = 0; r < qMax(1, options.repeats); ++r)
        for (int i = 0; i < items.size(); ++i)
            order.push_back(i);
    QRandomGenerator random(options.seed);
    shuffle(order, random);
    separateNeighbours(order);

    const int shortest = qMax(1, options.shortestRun);
    const int longest = qMax(shortest, options.longestRun);
    QSet<int> hinted;
    QChar mark = u'0';
    int runLeft = 0;
    int runs = 0;
    for (qsizetype k = 0; k < order.size(); ++k) {
        if (runLeft == 0)
            runLeft = shortest + int(random.bounded(quint32(longest - shortest + 1)));
        const DrillItem &item = items[order[k]];
        if (item.missed && !hinted.contains(order[k])) {
            hinted.insert(order[k]);
            out.hints.insert(int(out.text.size()), codeHintMessage(item.text, item.codes));
        }
        out.text += item.text;
        out.marks += QString(item.text.size(), mark);
        mark = mark == u'0' ? u'1' : u'0';
        if (--runLeft == 0 || k + 1 == order.size()) {
            // A full stop after every fourth run and at the end, a comma between the others.
            ++runs;
            out.text += k + 1 == order.size() || runs % 4 == 0 ? QStringLiteral("。") : QStringLiteral("，");
            out.marks += u'2';
            runLeft = 0;
        }
    }
    out.counts = countMarks(out.marks);
    return out;
}

QString drillKind()
{
    return QStringLiteral("drill");
}

QString drillName()
{
    return QStringLiteral("练习薄弱项");
}

} // namespace orvane
