#include "segtest/textstats.h"

#include "prepare/codedictionary.h"

#include <QHash>
#include <algorithm>
#include <utility>

namespace orvane {

namespace {

bool isAsciiLetterOrDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9');
}

// Length in UTF-16 units of the character that starts at i.
qsizetype unitsAt(const QString &text, qsizetype i)
{
    return (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
}

} // namespace

QVector<StatEntry> characterTable(const QString &text, CodeDictionary &dict)
{
    QVector<StatEntry> entries;
    QHash<QString, qsizetype> index;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = unitsAt(text, i);
        const QString c = text.mid(i, n);
        i += n;
        if (n == 1 && isAsciiLetterOrDigit(c.at(0)))
            continue;
        const auto found = index.constFind(c);
        if (found != index.constEnd()) {
            ++entries[*found].count;
            continue;
        }
        const ItemCodes codes = dict.LookupStoredCodes(c);
        index.insert(c, entries.size());
        entries.append({c, 1, codes.standard, codes.shortCode});
    }
    return entries;
}

int characterLength(const QString &word)
{
    int n = 0;
    for (qsizetype i = 0; i < word.size(); i += unitsAt(word, i))
        ++n;
    return n;
}

int lengthClass(int length)
{
    return length >= 5 ? 5 : length;
}

WordTable wordTable(
    const QString &text, const QString &marks, CodeDictionary &dict, bool withSymbols, int *letterCharacters)
{
    WordTable table;
    std::array<QHash<QString, qsizetype>, 6> index;
    const qsizetype n = std::min(text.size(), marks.size());
    for (qsizetype i = 0; i < n;) {
        const QChar mark = marks.at(i);
        qsizetype j = i + 1;
        while (j < n && marks.at(j) == mark)
            ++j;
        const QString word = text.mid(i, j - i);
        i = j;
        if (mark == QLatin1Char('4')) {
            if (letterCharacters)
                *letterCharacters += int(word.size());
            continue;
        }
        if (mark == QLatin1Char('2') && !withSymbols)
            continue;
        const int cls = lengthClass(characterLength(word));
        QVector<StatEntry> &entries = table[cls];
        const auto found = index[cls].constFind(word);
        if (found != index[cls].constEnd()) {
            ++entries[*found].count;
            continue;
        }
        const ItemCodes codes = dict.LookupCodes(word);
        index[cls].insert(word, entries.size());
        entries.append({word, 1, codes.standard, codes.shortCode});
    }
    return table;
}

void sortByFallingCount(QVector<StatEntry> &entries)
{
    const qsizetype size = entries.size();
    StatEntry *e = entries.data(); // one detach, then plain access in the quadratic loop
    for (qsizetype i = 0; i + 1 < size; ++i) {
        qsizetype best = i;
        for (qsizetype j = i; j < size; ++j) {
            if (e[j].count >= e[best].count)
                best = j;
        }
        if (best != i)
            std::swap(e[i], e[best]);
    }
}

void BuildCharStats(TestStatistics &stats, const QString &text, CodeDictionary &dict)
{
    stats.CharStats = characterTable(text, dict);
}

void BuildWordStats(TestStatistics &stats, const QString &text, const QString &marks, CodeDictionary &dict)
{
    stats.WordStats = wordTable(text, marks, dict, false);
    for (int cls = 1; cls <= 5; ++cls)
        sortByFallingCount(stats.WordStats[cls]);
}

int codeLength(const QString &code)
{
    qsizetype begin = 0;
    qsizetype end = code.size();
    while (begin < end && code.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && code.at(end - 1) == QLatin1Char(' '))
        --end;
    return int(end - begin);
}

void addSingleCharacterKeys(KeyCountSlots &k, const StatEntry &e)
{
    using namespace KeySlot;
    k[CharStdCharKeys] += e.count * codeLength(e.standardCode);
    k[CharStdFunction] += e.count * 2;
    if (!e.shortCode.isEmpty())
        k[CharShortShortKeys] += e.count * codeLength(e.shortCode);
    else
        k[CharShortStdKeys] += e.count * codeLength(e.standardCode);
    k[CharShortFunction] += e.count * 2;
}

KeyCountSlots CountTextKeys(const TestStatistics &stats, int symbolCount, int alphaCount)
{
    using namespace KeySlot;
    KeyCountSlots k{};

    for (const StatEntry &e : stats.CharStats) {
        if (e.standardCode.isEmpty()) {
            k[CharStdPunct] += e.count;
            k[CharShortPunct] += e.count;
            continue;
        }
        addSingleCharacterKeys(k, e);
    }
    k[CharStdAlpha] = alphaCount;
    k[CharStdTotal] = k[CharStdCharKeys] + k[CharStdFunction] + k[CharStdPunct] + k[CharStdAlpha];
    k[CharShortAlpha] = alphaCount;
    k[CharShortTotal] =
        k[CharShortShortKeys] + k[CharShortStdKeys] + k[CharShortFunction] + k[CharShortPunct] + k[CharShortAlpha];

    for (int cls = 1; cls <= 5; ++cls) {
        for (const StatEntry &e : stats.WordStats[cls]) {
            const int standard = e.count * codeLength(e.standardCode);
            k[cls == 1 ? WordStdCharKeys : WordStdWordKeys] += standard;
            k[WordStdFunction] += e.count * 2;
            if (!e.shortCode.isEmpty())
                k[cls == 1 ? WordShortCharShortKeys : WordShortWordShortKeys] += e.count * codeLength(e.shortCode);
            else
                k[WordShortStdKeys] += standard;
            k[WordShortFunction] += e.count * 2;
        }
    }
    k[WordStdPunct] = symbolCount;
    k[WordStdAlpha] = alphaCount;
    k[WordStdTotal] = k[WordStdWordKeys] + k[WordStdCharKeys] + k[WordStdFunction] + k[WordStdPunct] + k[WordStdAlpha];
    k[WordShortPunct] = symbolCount;
    k[WordShortAlpha] = alphaCount;
    k[WordShortTotal] = k[WordShortStdKeys] + k[WordShortCharShortKeys] + k[WordShortFunction]
        + k[WordShortWordShortKeys] + k[WordShortPunct] + k[WordShortAlpha];
    return k;
}

TypingDetails typingDetails(const TestCounters &doc)
{
    TypingDetails d;
    d.typed = doc.RightCharCount + doc.WrongCharCount;
    if (d.typed <= 0) {
        d.typed = 0;
        return d;
    }
    int covered = 0;
    for (int k = 1; k <= 5; ++k) {
        d.wordCounts[k] = doc.UserWordCounts[k];
        covered += k * doc.UserWordCounts[k];
    }
    // The last burst has not been closed by a pause when the test ends: what the finished bursts
    // do not cover is one more word of that length.
    if (covered < d.typed)
        ++d.wordCounts[lengthClass(d.typed - covered)];
    d.keystrokes = doc.KeystrokeCount;
    d.averageText = QString::number(double(doc.KeystrokeCount) / d.typed, 'f', 2);
    d.average = d.averageText.toDouble();
    return d;
}

} // namespace orvane
