#include "teaching/testlessons.h"

#include "segtest/keypath.h"

#include <QHash>

#include <algorithm>

namespace orvane {

namespace {

constexpr quint8 kUntyped = 0;
constexpr quint8 kWrong = 2;

// "2" symbols, "4" letters and digits; every other mark a Chinese character.
bool isChineseMark(QChar mark)
{
    return mark != u'2' && mark != u'4';
}

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator;
}

// The outcome of one typing of an item, and the item it belongs to.
struct Typing {
    QString text;
    bool word = false;
    bool wrong = false, slow = false, pieces = false;
};

} // namespace

void sortPiecesByKeysLost(QVector<HistoryPiece> &pieces)
{
    std::stable_sort(pieces.begin(), pieces.end(),
        [](const HistoryPiece &a, const HistoryPiece &b) { return a.keysLost() > b.keysLost(); });
}

TestLessons lessonsOfTest(const TypedStretch &test, const KeyPathTable &table, const CodeLookup &codes)
{
    TestLessons out;
    const int n = int(std::min({test.text.size(), test.marks.size(), test.results.size()}));

    // The commit that last reached each position, and each commit's time per character.
    QVector<int> commitAt(n, -1);
    QVector<double> perChar(test.commits.size(), 0.0);
    qint64 before = 0;
    for (int c = 0; c < test.commits.size(); ++c) {
        const HistoryCommit &commit = test.commits[c];
        const int length = int(commit.text.size());
        if (length > 0)
            perChar[c] = double(std::max<qint64>(0, commit.ms - before)) / length;
        before = std::max(before, commit.ms);
        for (int p = std::max(0, commit.position); p < std::min(n, commit.position + length); ++p)
            commitAt[p] = c;
    }
    const auto timeAt = [&](int p) { return commitAt[p] >= 0 ? perChar[commitAt[p]] : 0.0; };

    // The median time per character over the typed characters.
    QVector<double> times;
    for (int p = 0; p < n; ++p)
        if (test.results[p] != kUntyped && commitAt[p] >= 0)
            times.push_back(timeAt(p));
    double median = 0;
    if (!times.isEmpty()) {
        std::sort(times.begin(), times.end());
        const int m = int(times.size());
        median = m % 2 ? times[m / 2] : (times[m / 2 - 1] + times[m / 2]) / 2;
    }
    const auto slow = [&](double perCharacter) { return perCharacter > 2 * median; };

    QVector<Typing> typings;
    QVector<HistoryPiece> pieces;
    for (int start = 0; start < n;) {
        int end = start + 1;
        while (end < n && test.marks[end] == test.marks[start])
            ++end;
        const int wordStart = start;
        start = end;
        if (!isChineseMark(test.marks[wordStart]))
            continue;
        bool allTyped = true;
        for (int p = wordStart; p < end; ++p)
            allTyped = allTyped && test.results[p] != kUntyped && commitAt[p] >= 0 && !isLineBreak(test.text[p]);

        // The characters, each on its own.
        for (int p = wordStart; p < end; ++p) {
            if (test.results[p] == kUntyped || isLineBreak(test.text[p]) || test.text[p].isSpace())
                continue;
            Typing t;
            t.text = test.text.mid(p, 1);
            t.wrong = test.results[p] == kWrong;
            t.slow = commitAt[p] >= 0 && slow(timeAt(p));
            typings.push_back(t);
        }

        // The word, when the table holds it whole and all of it was typed.
        const QString word = test.text.mid(wordStart, end - wordStart);
        if (end - wordStart < 2 || !allTyped)
            continue;
        const bool followed = end < test.text.size() && !isLineBreak(test.text[end]);
        const std::optional<KeyPathStep> entry = table.entry(word, followed);
        if (!entry)
            continue;
        Typing t;
        t.text = word;
        t.word = true;
        double time = 0;
        QStringList parts;
        int keys = 0;
        for (int p = wordStart; p < end; ++p) {
            t.wrong = t.wrong || test.results[p] == kWrong;
            time += timeAt(p);
            if (p == wordStart || commitAt[p] != commitAt[p - 1]) {
                parts.push_back(QString());
                // A commit that typed two separate parts of the word (after moving back) counts once.
                bool counted = false;
                for (int q = wordStart; q < p; ++q)
                    counted = counted || commitAt[q] == commitAt[p];
                if (!counted)
                    keys += test.commits[commitAt[p]].keys;
            }
            parts.back() += test.text[p];
        }
        t.slow = slow(time / (end - wordStart));
        t.pieces = parts.size() >= 2;
        typings.push_back(t);
        if (t.pieces) {
            const ItemCodes c = codes ? codes(word) : ItemCodes{};
            pieces.push_back({word, c.standard, c.shortCode, parts.join(QLatin1Char('|')), keys, entry->keys});
        }
    }

    // Each item once, in the order of its first typing.
    QHash<QPair<QString, bool>, int> index;
    for (const Typing &t : std::as_const(typings)) {
        const auto key = qMakePair(t.text, t.word);
        auto it = index.find(key);
        if (it == index.end()) {
            HistoryItem item;
            item.text = t.text;
            item.word = t.word;
            const ItemCodes c = codes ? codes(t.text) : ItemCodes{};
            item.standardCode = c.standard;
            item.shortCode = c.shortCode;
            it = index.insert(key, int(out.items.size()));
            out.items.push_back(item);
        }
        HistoryItem &item = out.items[*it];
        ++item.seen;
        item.wrong += t.wrong;
        item.slow += t.slow;
        item.pieces += t.pieces;
        if (t.wrong || t.slow || t.pieces) {
            ++item.missed;
            item.cleanAfterMiss = 0;
        } else {
            ++item.cleanAfterMiss;
        }
    }
    sortPiecesByKeysLost(pieces);
    out.pieces = pieces;
    return out;
}

} // namespace orvane
