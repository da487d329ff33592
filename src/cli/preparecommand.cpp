#include "cli/preparecommand.h"

#include "core/programfolder.h"
#include "prepare/externallibs.h"
#include "prepare/symbolfilters.h"

namespace orvane::cli {

std::optional<OpenedText> openForCommand(
    const QString &path, const OpenRequest &request, const QString &command, ExternalLibs &libs, Streams &io)
{
    QString libsError;
    const bool loaded = libs.open(ExternalLibs::defaultFolders(), QString(), &libsError);
    const QStringList entries = request.filterSymbols ? filterEntriesReadOnly(ProgramFolder::resolve()) : QStringList();
    OpenError error;
    std::optional<OpenedText> opened = openTextFile(path, request, entries, loaded ? &libs : nullptr, &error);
    if (!opened) {
        io.err << "orvane-cli " << command << ": " << error.message() << Qt::endl;
        if (error.failure == OpenFailure::NoSegmenter)
            io.err << libsError << Qt::endl;
    }
    return opened;
}

int runPrepare(const QStringList &args, Streams &io)
{
    QString path;
    OpenRequest request;
    request.filterSymbols = request.filterAlpha = false;
    bool marksOnly = false;
    for (const QString &a : args) {
        if (a == QLatin1String("--filter-symbols"))
            request.filterSymbols = true;
        else if (a == QLatin1String("--filter-letters"))
            request.filterAlpha = true;
        else if (a == QLatin1String("--marks"))
            marksOnly = true;
        else if (!a.startsWith(QLatin1String("--")) && path.isEmpty())
            path = a;
        else {
            io.err << "orvane-cli prepare: unknown argument " << a << Qt::endl;
            return 2;
        }
    }
    if (path.isEmpty()) {
        io.err << "usage: orvane-cli prepare FILE [--filter-symbols] [--filter-letters] [--marks]" << Qt::endl;
        return 2;
    }

    ExternalLibs libs;
    const std::optional<OpenedText> opened = openForCommand(path, request, QStringLiteral("prepare"), libs, io);
    if (!opened)
        return 1;
    io.out << (marksOnly ? opened->marks : opened->text) << '\n';
    io.out.flush();
    return 0;
}

} // namespace orvane::cli
