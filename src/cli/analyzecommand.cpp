#include "cli/analyzecommand.h"

#include "cli/preparecommand.h"
#include "core/programfolder.h"
#include "prepare/codedictionary.h"
#include "prepare/externallibs.h"
#include "segtest/report.h"
#include "segtest/testrun.h"

namespace orvane::cli {

int runAnalyze(const QStringList &args, Streams &io)
{
    if (args.size() != 1 || args.first().startsWith(QLatin1String("--"))) {
        io.err << "usage: orvane-cli analyze FILE" << Qt::endl;
        return 2;
    }
    OpenOptions options;
    options.filterSymbols = true; // the open-text dialog's defaults
    options.filterAlpha = true;
    ExternalLibs libs;
    PreparedText prepared;
    if (const int status = openTextFile(args.first(), options, QStringLiteral("analyze"), libs, io, &prepared))
        return status;

    CodeDictionary dict(&libs);
    QString error;
    if (!dict.open(ProgramFolder::resolve().dataFile(QStringLiteral("jtdb.dat")), &error)) {
        io.err << "orvane-cli analyze: " << error << Qt::endl;
        return 1;
    }
    // The figures the test window's details and key dialogs show for the same text.
    const int symbols = int(prepared.marks.count(QLatin1Char('2')));
    const int letters = int(prepared.marks.count(QLatin1Char('4')));
    TextFigures figures(prepared.text, prepared.marks, symbols, letters);
    QString report = reportTextDetailSection(figures.wordTable(dict)) + reportTextKeySection(figures.keyCounts(dict));
    report.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    io.out << report;
    io.out.flush();
    return 0;
}

} // namespace orvane::cli
