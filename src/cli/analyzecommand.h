// The text-statistics subcommand: analyze.
#pragma once

#include "cli/subcommand.h"

namespace orvane::cli {

// analyze FILE: opens the text as the open-text dialog does with its default filters (the
// symbol list, letters and digits removed), builds the character and word tables and the key
// counts of the four input modes for the whole text, and prints the text detail and whole-text
// key sections of the statistics report in UTF-8, one line per report line.
int runAnalyze(const QStringList &args, Streams &io);

} // namespace orvane::cli
