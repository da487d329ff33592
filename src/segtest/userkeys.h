// The key counts of the stretch of text the user typed in the last test.
//
// The typed stretch is segmented afresh; its runs (punctuation runs included, letter runs only
// counted) and its characters make tables of their own, unsorted, and the four input modes are
// counted over them with two differences from the whole text: a blank costs nothing, and a run
// that neither the database nor the segmentation library can code costs one key per character.
// The analysis is kept in TestStatistics until the next test or text, so that later showings
// count again without the library or the database.
#pragma once

#include "segtest/statsdata.h"

#include <QString>

namespace orvane {

class CodeDictionary;
class ExternalLibs;

// Builds UserWordStats, UserAlphaCount and UserCharStats from the typed text and its marks, and
// removes the blanks from the texts of UserWordStats. Marks missing at the end count as
// punctuation; extra marks are ignored.
void BuildUserStats(TestStatistics &stats, const QString &typedText, const QString &marks, CodeDictionary &dict);

// Segments the typed text into stats.UserMarks and builds the tables. False with *error saying
// why when the library is missing or fails; the tables are then left empty.
bool AnalyzeTypedText(
    TestStatistics &stats, const QString &typedText, const ExternalLibs *libs, CodeDictionary &dict, QString *error);

// The 24 key figures of the typed stretch from its tables.
KeyCountSlots CountUserKeys(const TestStatistics &stats);

} // namespace orvane
