// The statistics report: the figures the result, details and key dialogs have computed for the
// current text and test, as plain text with CR LF line ends. Sections whose figures have not
// been computed are left out (the flags of the test document say which exist). Each section is
// its own function so that the command line can print single sections.
#pragma once

#include "prepare/testdocument.h"
#include "segtest/statsdata.h"

#include <QString>

namespace orvane {

// The rule line between sections: 38 asterisks.
QString reportRule();

// DetailAvgKeys as shown: at most two decimals, no trailing zeros (3.33, 2.5, 3).
QString shortestAverage(double value);

// Counts, time and the result dialog's captions.
QString reportBasicSection(const TestDocument &doc);
// The word table with counts and codes.
QString reportTextDetailSection(const TestStatistics &stats);
// The 24 key figures of one count (the whole text or the user's typed stretch) under a heading.
QString reportKeySection(const QString &heading, const KeyCountSlots &counts);
// The key figures of the whole text.
QString reportTextKeySection(const TestStatistics &stats);
// The figures of the user's typing.
QString reportUserSection(const TestStatistics &stats);
// The key figures of what the user typed.
QString reportUserKeySection(const TestStatistics &stats);

// The whole report for the current flags: the basic section always; the text detail and user
// sections when the details were computed, each key section when its counts were.
QString statisticsReport(const TestDocument &doc, const TestStatistics &stats);

// True when there is something to report (the result or the details were computed).
bool reportAvailable(const TestDocument &doc);

} // namespace orvane
