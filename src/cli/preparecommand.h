// The text-preparation subcommand: prepare.
#pragma once

#include "cli/subcommand.h"
#include "prepare/pipeline.h"

namespace orvane {
class ExternalLibs;
}

namespace orvane::cli {

// prepare FILE [--filter-symbols] [--filter-letters] [--marks]: the open-text pipeline without
// windows; prints the prepared text (or its marks) in UTF-8. Where the open-text dialog would
// refuse the file, prints its message and exits with status 1.
int runPrepare(const QStringList &args, Streams &io);

// The pipeline behind prepare for one file: preview, segmentation with libs (opened here from
// the default folders), widening and filtering. The symbol filter uses the program folder's
// list, else the list the program ships. Returns 0 with *prepared filled, or the exit status
// after printing the dialog's message or the failure, prefixed by command.
int openTextFile(const QString &path, OpenOptions options, const QString &command, ExternalLibs &libs, Streams &io,
                 PreparedText *prepared);

} // namespace orvane::cli
