// The statistics report: the figures the result, details and key dialogs have computed for the
// current text and test, as plain text with CR LF line ends. Sections whose figures have not
// been computed are left out. Each section is its own function so that the command line can
// print single sections.
#pragma once

#include "segtest/statsdata.h"
#include "segtest/textstats.h"
#include "segtest/typingfigures.h"

#include <QString>
#include <optional>

namespace orvane {

// What the report prints: the counts and time of the text and test, the result dialog's
// captions, and each table or count that has been computed (empty when not).
struct ReportFigures {
    int HanziCount = 0;
    int SymbolCount = 0;
    int AlphaCount = 0;
    qint64 ElapsedSeconds = 0;
    QString AccuracyText;
    QString SpeedText;
    QString EffectiveSpeedText;
    bool hasResult = false;
    // The details: the word table, with the figures of the user's typing.
    std::optional<WordTable> WordStats;
    TypingDetails Typing;
    std::optional<KeyCountSlots> TextKeyCounts;
    std::optional<KeyCountSlots> UserKeyCounts;
    // The typing figures of the last test (击键, 码长, 打词率, ...), when they were computed.
    std::optional<TypingFigures> Figures;
};

// The rule line between sections: 38 asterisks.
QString reportRule();

// The average of the typing details as shown: at most two decimals, no trailing zeros (3.33, 2.5, 3).
QString shortestAverage(double value);

// Counts, time and the result dialog's captions.
QString reportBasicSection(const ReportFigures &figures);
// The word table with counts and codes.
QString reportTextDetailSection(const WordTable &words);
// The 24 key figures of one count (the whole text or the user's typed stretch) under a heading.
QString reportKeySection(const QString &heading, const KeyCountSlots &counts);
// The key figures of the whole text.
QString reportTextKeySection(const KeyCountSlots &counts);
// The figures of the user's typing.
QString reportUserSection(const TypingDetails &typing);
// The key figures of what the user typed.
QString reportUserKeySection(const KeyCountSlots &counts);

// 击键, 码长 and the other typing figures of the last test.
QString reportTypingFiguresSection(const TypingFigures &figures);

// The whole report: the basic section always; the text detail and user sections when the
// details were computed, each key section when its counts were as well; last, the typing
// figures when they were computed.
QString statisticsReport(const ReportFigures &figures);

// True when there is something to report (the result or the details were computed).
bool reportAvailable(const ReportFigures &figures);

} // namespace orvane
