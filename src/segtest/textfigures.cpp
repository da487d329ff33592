#include "segtest/textfigures.h"

#include "prepare/codedictionary.h"
#include "segtest/textstats.h"

namespace orvane {

TextFigures::TextFigures(QString text, QString marks, int symbolCount, int alphaCount)
    : m_text(std::move(text)), m_marks(std::move(marks)), m_symbols(symbolCount), m_alpha(alphaCount)
{ }

const QVector<StatEntry> &TextFigures::charTable(CodeDictionary &codes)
{
    if (!m_hasChars) {
        BuildCharStats(m_stats, m_text, codes);
        m_hasChars = true;
    }
    return m_stats.CharStats;
}

const WordTable &TextFigures::wordTable(CodeDictionary &codes)
{
    if (!m_hasWords) {
        BuildWordStats(m_stats, m_text, m_marks, codes);
        m_hasWords = true;
    }
    return m_stats.WordStats;
}

const KeyCountSlots &TextFigures::keyCounts(CodeDictionary &codes)
{
    if (!m_hasKeys) {
        charTable(codes);
        wordTable(codes);
        m_stats.TextKeyCounts = CountTextKeys(m_stats, m_symbols, m_alpha);
        m_hasKeys = true;
    }
    return m_stats.TextKeyCounts;
}

} // namespace orvane
