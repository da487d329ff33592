#include "cli/languagecommands.h"

#include "core/programfolder.h"
#include "core/textfile.h"
#include "core/workfiles.h"
#include "prepare/codedictionary.h"
#include "prepare/externallibs.h"

#include <QFile>

#include <cstdio>
#include <memory>

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

// Words of one line: each run of one mark is a token; blanks are separators, not words (a
// symbol run may hold blanks between symbols: each blank-free piece of it is a token).
QString wordsOf(const QString &line, const QString &marks)
{
    QString words;
    words.reserve(line.size() + line.size() / 2);
    qsizetype i = 0;
    while (i < line.size()) {
        if (line.at(i).isSpace()) {
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        while (j < line.size() && marks.at(j) == marks.at(i) && !line.at(j).isSpace())
            ++j;
        if (!words.isEmpty())
            words += QLatin1Char(' ');
        words += QStringView(line).sliced(i, j - i);
        i = j;
    }
    return words;
}

// Reads standard input piece by piece and hands it out line by line: the encoding is decided on
// the first piece, then everything is decoded with it, so that a text of any size is never held
// in memory as a whole. A stateful decoder carries a character split between two pieces. (Lines
// are not read with readLine(): on standard input it stops at a NUL byte, which UTF-16 is full of.)
class LineReader {
public:
    explicit LineReader(QFile &in) : m_in(in) { }

    // The next line without its line end; false at the end of the input.
    bool next(QString *line)
    {
        for (;;) {
            const qsizetype lf = m_pending.indexOf(QLatin1Char('\n'), m_scanned);
            if (lf >= 0) {
                *line = m_pending.left(lf);
                m_pending.remove(0, lf + 1);
                m_scanned = 0;
                return true;
            }
            m_scanned = m_pending.size();
            if (!fill()) {
                if (m_pending.isEmpty())
                    return false;
                *line = m_pending; // the last line has no line end
                m_pending.clear();
                m_scanned = 0;
                return true;
            }
        }
    }

private:
    bool fill()
    {
        if (m_done)
            return false;
        QByteArray bytes = m_in.read(kChunkBytes);
        if (!m_decoder) {
            // The encoding is decided on the first 64 KiB up to their last line end, so that no
            // character is cut at the end of what is looked at.
            const qsizetype lf = bytes.lastIndexOf('\n');
            const bool more = bytes.size() == kChunkBytes;
            TextSniffer sniffer;
            sniffer.add(more && lf >= 0 ? bytes.left(lf + 1) : bytes);
            m_decoder = std::make_unique<TextDecoder>(sniffer.encoding(), sniffer.byteOrderMarkLength());
        }
        if (bytes.isEmpty()) {
            m_done = true;
            const QString rest = m_decoder->finish(); // a sequence cut off at the very end
            m_pending += rest;
            return !rest.isEmpty();
        }
        m_pending += m_decoder->decode(bytes);
        return true;
    }

    static constexpr qint64 kChunkBytes = 64 * 1024;
    QFile &m_in;
    std::unique_ptr<TextDecoder> m_decoder;
    QString m_pending;
    qsizetype m_scanned = 0;
    bool m_done = false;
};

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
    LineReader reader(in);
    QString line;
    while (reader.next(&line)) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty()) {
            io.out << '\n';
            continue;
        }
        QString marks;
        QString error;
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
    const QString path = ProgramFolder::resolve().dataFile(workfiles::codeDatabase());
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
