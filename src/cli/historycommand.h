// orvane-cli history: the stored tests with their figures.
#pragma once

#include "cli/subcommand.h"

namespace orvane::cli {

int runHistory(const QStringList &args, Streams &io);

} // namespace orvane::cli
