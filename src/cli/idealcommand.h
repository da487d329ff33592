// The shortest-key-path subcommand: ideal.
#pragma once

#include "cli/subcommand.h"

namespace orvane::cli {

// ideal FILE [--path]: opens the text as the open-text dialog does with its default filters and
// prints one line
//   characters=N keys=K ideal_code_length=X.XXX ideal_word_share=Y.YYY
// for its shortest key path with the installed input method's table (the code database and the
// learner's custom words). With --path the path comes first, one step a line: its text, code,
// selection key and keys, tab-separated ("-" for no code or no key, a line break as "\n").
int runIdeal(const QStringList &args, Streams &io);

} // namespace orvane::cli
