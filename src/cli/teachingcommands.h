// orvane-cli drill and course: the drill of weak items and the lessons of the course.
#pragma once

#include "cli/subcommand.h"

namespace orvane::cli {

int runDrill(const QStringList &args, Streams &io);
int runCourse(const QStringList &args, Streams &io);

} // namespace orvane::cli
