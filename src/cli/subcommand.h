// One subcommand of orvane-cli: its name, a line of help and the function that runs it with
// the arguments after the name. The function writes to the streams it is given and returns
// the exit status (0 success, 1 failure such as missing data, 2 wrong usage).
#pragma once

#include <QStringList>
#include <QTextStream>

namespace orvane::cli {

struct Streams {
    QTextStream &out;
    QTextStream &err;
};

struct Subcommand {
    const char *name;
    const char *usage; // arguments, for the help text
    const char *help;
    int (*run)(const QStringList &args, Streams &io);
};

} // namespace orvane::cli
