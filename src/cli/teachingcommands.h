// orvane-cli pieces --last, book, drill and course: what the learner's typing teaches, from the
// history of tests, and the lessons of the course.
#pragma once

#include "cli/subcommand.h"

namespace orvane::cli {

// The words of the last kept test typed in pieces, most keys lost first.
int runPieces(const QStringList &args, Streams &io);
// The mistake book of the history.
int runBook(const QStringList &args, Streams &io);
// The drill of the mistake book's weak items, its text and then each item with its codes.
int runDrill(const QStringList &args, Streams &io);
// The lessons of the course with their state, or the text of one lesson.
int runCourse(const QStringList &args, Streams &io);

} // namespace orvane::cli
