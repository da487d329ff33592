#include "cli/languagecommands.h"

#include "core/programfolder.h"
#include "core/textfile.h"
#include "prepare/codedictionary.h"
#include "prepare/externallibs.h"

#include <QFile>
#include <QRegularExpression>

#include <cstdio>

namespace orvane::cli {
namespace {

bool openLibs(ExternalLibs &libs, Streams &io)
{
    QString error;
    if (libs.open(ExternalLibs::defaultFolders(), QString(), &error))
        return true;
    io.err << "orvane-cli: " << error << Qt::endl;
    return false;
}

// Words of one line: each run of one mark is a token; blanks are separators, not words.
QString wordsOf(const QString &line, const QString &marks)
{
    QStringList words;
    qsizetype start = 0;
    for (qsizetype i = 1; i <= line.size(); ++i) {
        if (i < line.size() && marks.at(i) == marks.at(start))
            continue;
        const QString token = line.mid(start, i - start).trimmed();
        if (!token.isEmpty()) {
            // A symbol run may hold blanks between symbols: each blank-free piece is a token.
            words << token.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        }
        start = i;
    }
    return words.join(QLatin1Char(' '));
}

} // namespace

int runSegment(const QStringList &args, Streams &io)
{
    bool marksOnly = false;
    for (const QString &a : args) {
        if (a == QLatin1String("--marks")) {
            marksOnly = true;
        } else {
            io.err << "orvane-cli segment: unknown argument " << a << Qt::endl;
            return 2;
        }
    }
    ExternalLibs libs;
    if (!openLibs(libs, io))
        return 1;
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly)) {
        io.err << "orvane-cli segment: cannot read standard input" << Qt::endl;
        return 1;
    }
    const QString text = decodeText(in.readAll());
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the final line end ends the last line, it starts none
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        QString marks;
        QString error;
        if (line.isEmpty()) {
            io.out << '\n';
            continue;
        }
        if (!libs.divideSentence(line, &marks, &error) || marks.size() != line.size()) {
            io.err << "orvane-cli segment: " << (error.isEmpty() ? QStringLiteral("segmentation failed") : error)
                   << Qt::endl;
            return 1;
        }
        io.out << (marksOnly ? marks : wordsOf(line, marks)) << '\n';
    }
    io.out.flush();
    return 0;
}

int runCodes(const QStringList &args, Streams &io)
{
    if (args.isEmpty()) {
        io.err << "usage: orvane-cli codes WORD..." << Qt::endl;
        return 2;
    }
    ExternalLibs libs;
    if (!openLibs(libs, io))
        return 1;
    CodeDictionary dictionary(&libs);
    QString error;
    const QString path = ProgramFolder::resolve().dataFile(QStringLiteral("jtdb.dat"));
    if (!dictionary.open(path, &error)) {
        io.err << "orvane-cli: " << error << Qt::endl;
        return 1;
    }
    const auto orDash = [](const QString &s) { return s.isEmpty() ? QStringLiteral("-") : s; };
    for (const QString &word : args) {
        const ItemCodes codes = dictionary.LookupCodes(word);
        io.out << word << '\t' << orDash(codes.standard) << '\t' << orDash(codes.shortCode) << '\n';
    }
    io.out.flush();
    return 0;
}

} // namespace orvane::cli
