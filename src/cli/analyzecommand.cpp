#include "cli/analyzecommand.h"

#include "cli/preparecommand.h"
#include "core/programfolder.h"
#include "core/workfiles.h"
#include "prepare/codedictionary.h"
#include "prepare/externallibs.h"
#include "segtest/report.h"
#include "segtest/textfigures.h"

namespace orvane::cli {

int runAnalyze(const QStringList &args, Streams &io)
{
    if (args.size() != 1 || args.first().startsWith(QLatin1String("--"))) {
        io.err << "usage: orvane-cli analyze FILE" << Qt::endl;
        return 2;
    }
    OpenRequest request; // the open-text dialog's defaults: both filters on
    ExternalLibs libs;
    const std::optional<OpenedText> opened = openForCommand(args.first(), request, QStringLiteral("analyze"), libs, io);
    if (!opened)
        return 1;

    CodeDictionary dict(&libs);
    QString error;
    if (!dict.open(ProgramFolder::resolve().dataFile(workfiles::codeDatabase()), &error)) {
        io.err << "orvane-cli analyze: " << error << Qt::endl;
        return 1;
    }
    // The figures the test window's details and key dialogs show for the same text.
    TextFigures figures(opened->text, opened->marks, opened->counts.SymbolCount, opened->counts.AlphaCount);
    QString report = reportTextDetailSection(figures.wordTable(dict)) + reportTextKeySection(figures.keyCounts(dict));
    report.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    io.out << report;
    io.out.flush();
    return 0;
}

} // namespace orvane::cli
