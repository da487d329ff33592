// The text-preparation subcommand: prepare.
#pragma once

#include "cli/subcommand.h"

namespace orvane::cli {

// prepare FILE [--filter-symbols] [--filter-letters] [--marks]: the open-text pipeline without
// windows; prints the prepared text (or its marks) in UTF-8. Where the open-text dialog would
// refuse the file, prints its message and exits with status 1.
int runPrepare(const QStringList &args, Streams &io);

} // namespace orvane::cli
