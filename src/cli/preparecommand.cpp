#include "cli/preparecommand.h"

#include "core/programfolder.h"
#include "prepare/externallibs.h"
#include "prepare/pipeline.h"
#include "prepare/symbolfilters.h"

#include <QFileInfo>

namespace orvane::cli {

int openTextFile(const QString &path, OpenOptions options, const QString &command, ExternalLibs &libs, Streams &io,
                 PreparedText *prepared)
{
    const Preview preview = loadPreview(path);
    switch (preview.status) {
    case PreviewStatus::Accepted:
        break;
    case PreviewStatus::TooShort:
        io.err << QStringLiteral("此文件中的汉字太少，不适于进行分词测试！") << Qt::endl;
        return 1;
    case PreviewStatus::NotText:
        io.err << QStringLiteral("“%1”不是文本文件，无法打开！").arg(path) << Qt::endl;
        return 1;
    case PreviewStatus::Unreadable:
        io.err << QStringLiteral("无法读取文件“%1”：%2").arg(path, preview.detail) << Qt::endl;
        return 1;
    }

    QString error;
    if (!libs.open(ExternalLibs::defaultFolders(), QString(), &error)) {
        io.err << "orvane-cli: " << error << Qt::endl;
        return 1;
    }
    QString marks;
    if (!libs.divideSentence(preview.text, &marks, &error)) {
        io.err << "orvane-cli " << command << ": " << error << Qt::endl;
        return 1;
    }
    if (options.filterSymbols) {
        // The user's list from the program folder, else the list the program ships.
        const QString list = ProgramFolder::resolve().file(filterfiles::list());
        const QStringList entries = QFileInfo::exists(list)
                                        ? readFilterEntries(list)
                                        : defaultFilterFileText().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        options.symbols = filterSymbols(entries);
    }
    *prepared = prepareText(preview.text, marks, options);
    return 0;
}

int runPrepare(const QStringList &args, Streams &io)
{
    QString path;
    OpenOptions options;
    bool marksOnly = false;
    for (const QString &a : args) {
        if (a == QLatin1String("--filter-symbols"))
            options.filterSymbols = true;
        else if (a == QLatin1String("--filter-letters"))
            options.filterAlpha = true;
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
    PreparedText prepared;
    if (const int status = openTextFile(path, options, QStringLiteral("prepare"), libs, io, &prepared))
        return status;
    io.out << (marksOnly ? prepared.marks : prepared.text) << '\n';
    io.out.flush();
    return 0;
}

} // namespace orvane::cli
