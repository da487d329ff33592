// The word and character tables of the current text and the key counts of the four input modes.
#pragma once

#include "segtest/statsdata.h"

#include <QString>

namespace orvane {

class CodeDictionary;

// Fills stats.CharStats from the view's text.
void BuildCharStats(TestStatistics &stats, const QString &text, CodeDictionary &dict);
// Fills stats.WordStats from the view's text and its marks, then sorts each class.
void BuildWordStats(TestStatistics &stats, const QString &text, const QString &marks, CodeDictionary &dict);

} // namespace orvane
