// orvane-cli pieces --last and orvane-cli book: what the learner's typing teaches, from the
// history of tests.
#pragma once

#include "cli/subcommand.h"

namespace orvane::cli {

// The words of the last kept test typed in pieces, most keys lost first.
int runPieces(const QStringList &args, Streams &io);
// The mistake book of the history.
int runBook(const QStringList &args, Streams &io);

} // namespace orvane::cli
