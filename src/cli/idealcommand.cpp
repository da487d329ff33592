#include "cli/idealcommand.h"

#include "cli/preparecommand.h"
#include "core/programfolder.h"
#include "prepare/externallibs.h"
#include "segtest/typingfigures.h"

namespace orvane::cli {

int runIdeal(const QStringList &args, Streams &io)
{
    QString file;
    bool showPath = false;
    bool usage = false;
    for (const QString &a : args) {
        if (a == QLatin1String("--path"))
            showPath = true;
        else if (a.startsWith(QLatin1String("--")) || !file.isEmpty())
            usage = true;
        else
            file = a;
    }
    if (usage || file.isEmpty()) {
        io.err << "usage: orvane-cli ideal FILE [--path]" << Qt::endl;
        return 2;
    }
    OpenRequest request; // the open-text dialog's defaults: both filters on
    ExternalLibs libs;
    const std::optional<OpenedText> opened = openForCommand(file, request, QStringLiteral("ideal"), libs, io);
    if (!opened)
        return 1;

    QString error;
    const std::optional<KeyPathTable> table = loadInstalledKeyPathTable(ProgramFolder::resolve(), opened->text, &error);
    if (!table) {
        io.err << "orvane-cli ideal: " << error << Qt::endl;
        return 1;
    }
    const KeyPath path = table->shortestPath(opened->text);
    if (showPath) {
        const auto field = [](const QString &s) { return s.isEmpty() ? QStringLiteral("-") : s; };
        for (const KeyPathStep &step : path.steps) {
            const QString text = step.kind == KeyPathStep::Kind::LineBreak ? QStringLiteral("\\n") : step.text;
            io.out << text << '\t' << field(step.code) << '\t' << field(step.selectKey) << '\t' << step.keys << '\n';
        }
    }
    io.out << QStringLiteral("characters=%1 keys=%2 ideal_code_length=%3 ideal_word_share=%4\n")
                  .arg(path.characters)
                  .arg(path.keys)
                  .arg(path.codeLength(), 0, 'f', 3)
                  .arg(path.wordShare(), 0, 'f', 3);
    io.out.flush();
    return 0;
}

} // namespace orvane::cli
