// The figures of a whole text (character table, word table, key counts of the four input
// modes), without the test: the test window and the command line's analyze share them.
#pragma once

#include "segtest/statsdata.h"

#include <QString>
#include <QVector>

namespace orvane {

class CodeDictionary;

// The figures of one text: its character table, its word table (each class by falling count)
// and the key counts of the four input modes for the whole text. Each is computed on first use
// and kept. The test window and the command line's analyze use the same figures.
class TextFigures {
public:
    // text as shown, one mark per character; the counts of its symbols and letters.
    TextFigures(QString text, QString marks, int symbolCount, int alphaCount);

    const QVector<StatEntry> &charTable(CodeDictionary &codes);
    const WordTable &wordTable(CodeDictionary &codes);
    const KeyCountSlots &keyCounts(CodeDictionary &codes);

    bool hasCharTable() const { return m_hasChars; }
    bool hasWordTable() const { return m_hasWords; }
    bool hasKeyCounts() const { return m_hasKeys; }

private:
    QString m_text;
    QString m_marks;
    int m_symbols = 0;
    int m_alpha = 0;
    TestStatistics m_stats;
    bool m_hasChars = false;
    bool m_hasWords = false;
    bool m_hasKeys = false;
};

} // namespace orvane
