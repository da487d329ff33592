// The language subcommands: segment and codes.
#pragma once

#include "cli/subcommand.h"

namespace orvane::cli {

// segment [--marks]: standard input (UTF-8 or GB18030) cut into words separated by single
// spaces, or the marks, one output line per input line.
int runSegment(const QStringList &args, Streams &io);

// codes WORD...: each item's standard code and short code ("-" when none), tab-separated.
int runCodes(const QStringList &args, Streams &io);

} // namespace orvane::cli
