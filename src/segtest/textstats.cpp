#include "segtest/textstats.h"

namespace orvane {

void BuildCharStats(TestStatistics &stats, const QString &text, CodeDictionary &dict)
{
    (void)stats, (void)text, (void)dict;
}

void BuildWordStats(TestStatistics &stats, const QString &text, const QString &marks, CodeDictionary &dict)
{
    (void)stats, (void)text, (void)marks, (void)dict;
}

} // namespace orvane
