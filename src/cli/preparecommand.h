// The text-preparation subcommand: prepare.
#pragma once

#include "cli/subcommand.h"
#include "prepare/opentext.h"

namespace orvane {
class ExternalLibs;
}

namespace orvane::cli {

// prepare FILE [--filter-symbols] [--filter-letters] [--marks]: the open-text step without
// windows; prints the prepared text (or its marks) in UTF-8. Where the open-text dialog would
// refuse the file, prints its message and exits with status 1.
int runPrepare(const QStringList &args, Streams &io);

// Opens the file for the test window as the open-text dialog does (openTextFile), with libs
// loaded here from the default folders and the symbol filter of the program folder's list, else
// the list the program ships. Prints the refusal, prefixed by command, when there is one.
std::optional<OpenedText> openForCommand(
    const QString &path, const OpenRequest &request, const QString &command, ExternalLibs &libs, Streams &io);

} // namespace orvane::cli
