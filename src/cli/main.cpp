// orvane-cli: the command-line front over the logic libraries. Each subcommand is one entry of
// the table below.
#include "cli/analyzecommand.h"
#include "cli/historycommand.h"
#include "cli/idealcommand.h"
#include "cli/languagecommands.h"
#include "cli/preparecommand.h"
#include "cli/subcommand.h"
#include "cli/teachingcommands.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>
#include <iterator>

namespace {

using orvane::cli::Streams;
using orvane::cli::Subcommand;

const Subcommand kSubcommands[] = {
    {"segment", "[--marks] < TEXT", "cut standard input into words (or print the marks) line by line",
        &orvane::cli::runSegment},
    {"codes", "WORD...", "print each item's standard code and short code", &orvane::cli::runCodes},
    {"prepare", "FILE [--filter-symbols] [--filter-letters] [--marks]",
        "open a text as the open-text dialog does and print it (or its marks)", &orvane::cli::runPrepare},
    {"analyze", "FILE", "open a text with the default filters and print its word table and whole-text key counts",
        &orvane::cli::runAnalyze},
    {"history", "[--csv]", "list the finished tests kept in the history with their figures", &orvane::cli::runHistory},
    {"ideal", "FILE [--path]",
        "open a text with the default filters and print its shortest key path's keys (with --path the path)",
        &orvane::cli::runIdeal},
    {"pieces", "--last",
        "list the words the last kept test typed in pieces although the table has them whole, most keys lost first",
        &orvane::cli::runPieces},
    {"book", "", "list the mistake book: the characters and words still missed, with their counts",
        &orvane::cli::runBook},
    {"drill", "[--out FILE] [--seed N]",
        "build the drill of the mistake book's weakest items and print it with a blank between words (or write it "
        "to FILE), then each item with its codes",
        &orvane::cli::runDrill},
    {"course", "[--text N]",
        "list the lessons of the course with their goal, state and best result (or print lesson N's text)",
        &orvane::cli::runCourse},
};

void printHelp(QTextStream &s)
{
    s << "usage: orvane-cli SUBCOMMAND [ARGUMENTS]\n";
    for (const Subcommand &c : kSubcommands)
        s << "  " << c.name << ' ' << c.usage << "\n      " << c.help << '\n';
    s.flush();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    Streams io{out, err};
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        printHelp(args.isEmpty() ? err : out);
        return args.isEmpty() ? 2 : 0;
    }
    const QString name = args.takeFirst();
    for (const Subcommand &c : kSubcommands)
        if (name == QLatin1String(c.name))
            return c.run(args, io);
    err << "orvane-cli: unknown subcommand " << name << '\n';
    printHelp(err);
    return 2;
}
