#include "prepare/pipeline.h"

#include "core/textfile.h"
#include "prepare/textforms.h"

#include <QBuffer>
#include <QFile>
#include <QSet>

namespace orvane {

namespace {

constexpr qint64 kChunk = 64 * 1024;

bool removedByCleaning(QChar c)
{
    switch (c.unicode()) {
    case 0x0027:
    case 0xFF07: // apostrophe
    case 0x0022:
    case 0xFF02: // double quote
    case 0x0009: // tab
    case 0x0020:
    case 0x3000: // blank, ideographic blank
        return true;
    default: return false;
    }
}

// Builds the cleaned text one character at a time. CR LF pairs are removed the way one
// left-to-right replacement over the whole text removes them: a CR that a removed pair leaves
// exposed does not pair with the LF that follows.
class Cleaner {
public:
    void add(QStringView text)
    {
        for (QChar c : text) {
            if (removedByCleaning(c))
                continue;
            if (c == QLatin1Char('\n') && m_canPair && !m_out.isEmpty() && m_out.back() == QLatin1Char('\r')) {
                m_out.chop(1);
                m_canPair = false;
                continue;
            }
            m_out += c;
            m_canPair = true;
        }
    }
    // Characters that no later input can change.
    qsizetype settled() const
    {
        return (m_canPair && !m_out.isEmpty() && m_out.back() == QLatin1Char('\r')) ? m_out.size() - 1 : m_out.size();
    }
    const QString &text() const { return m_out; }

private:
    QString m_out;
    bool m_canPair = false;
};

} // namespace

QString cleanText(const QString &text)
{
    Cleaner cleaner;
    cleaner.add(text);
    return cleaner.text();
}

Preview loadPreview(QIODevice &file)
{
    Preview result;
    result.status = PreviewStatus::Unreadable; // until the file was read
    const QString tooLarge = QStringLiteral("文件大于 %1 MB，不是可供练习的文本").arg(kMaxTextFileBytes >> 20);
    const qint64 start = file.pos();
    if (!file.isSequential() && file.size() - start > kMaxTextFileBytes) {
        result.detail = tooLarge;
        return result;
    }
    // The encoding and the binary check take every byte of the file into account; then the file
    // is read again from the start, and only as far as the preview needs.
    TextSniffer sniffer;
    qint64 total = 0;
    for (;;) {
        const QByteArray chunk = file.read(kChunk);
        if (chunk.isEmpty()) {
            if (!file.atEnd()) {
                result.detail = file.errorString();
                return result;
            }
            break;
        }
        total += chunk.size();
        if (total > kMaxTextFileBytes) {
            result.detail = tooLarge;
            return result;
        }
        sniffer.add(chunk);
    }
    if (sniffer.looksBinary()) {
        result.status = PreviewStatus::NotText;
        result.detail = QStringLiteral("the file holds binary data");
        return result;
    }
    if (!file.seek(start)) {
        result.detail = file.errorString();
        return result;
    }

    TextDecoder decoder(sniffer.encoding(), sniffer.byteOrderMarkLength());
    Cleaner cleaner;
    for (;;) {
        const QByteArray chunk = file.read(kChunk);
        cleaner.add(chunk.isEmpty() ? decoder.finish() : decoder.decode(chunk));
        if (chunk.isEmpty() || cleaner.settled() >= kMaxTextLength)
            break;
    }
    QString text = cleaner.text();
    if (text.size() > kMaxTextLength)
        text.truncate(kMaxTextLength);
    // A surrogate pair cut by the limit leaves no half behind.
    if (!text.isEmpty() && text.back().isHighSurrogate())
        text.back() = QChar::ReplacementCharacter;
    if (text.size() < kMinTextLength) {
        result.status = PreviewStatus::TooShort;
        return result;
    }
    result.status = PreviewStatus::Accepted;
    result.text = text;
    return result;
}

Preview loadPreview(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return loadPreview(buffer);
}

Preview loadPreview(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Preview result;
        result.status = PreviewStatus::Unreadable;
        result.detail = file.errorString();
        return result;
    }
    return loadPreview(file);
}

PreparedText prepareText(const QString &preview, const QString &marks, const OpenOptions &options)
{
    // One mark per character: marks the segmenter left short are padded as word characters.
    PreparedText out{preview, marks.left(preview.size())};
    if (out.marks.size() < out.text.size())
        out.marks += QString(out.text.size() - out.marks.size(), QLatin1Char('0'));
    const qsizetype n = out.text.size();

    // Widen symbols: every character that stands at a symbol position is widened wherever it
    // occurs in the text.
    QSet<QChar> symbolChars;
    for (qsizetype k = 0; k < n; ++k) {
        if (out.marks[k] == QLatin1Char('2'))
            symbolChars.insert(out.text[k]);
    }
    if (!symbolChars.isEmpty()) {
        for (QChar &c : out.text) {
            if (symbolChars.contains(c))
                c = widen(c);
        }
    }

    if (!options.filterSymbols && !options.filterAlpha)
        return out;

    // Single characters of the filter list, widened like the text; longer symbols never match.
    QSet<QChar> filtered;
    if (options.filterSymbols) {
        for (const QString &s : options.symbols) {
            const QString wide = widen(s);
            if (wide.size() == 1)
                filtered.insert(wide[0]);
        }
    }
    for (qsizetype l = 0; l < n; ++l) {
        const QChar mark = out.marks[l];
        if (mark == QLatin1Char('2') && options.filterSymbols) {
            if (filtered.contains(out.text[l])) {
                out.text[l] = QLatin1Char(' ');
                out.marks[l] = QLatin1Char(' ');
            }
        } else if (mark == QLatin1Char('4') && options.filterAlpha) {
            out.text[l] = QLatin1Char(' ');
            out.marks[l] = QLatin1Char(' ');
        }
    }

    // Text and marks lose the same positions, so they stay aligned whatever the marks hold.
    QString text;
    QString keptMarks;
    text.reserve(out.text.size());
    keptMarks.reserve(out.marks.size());
    for (qsizetype l = 0; l < out.text.size(); ++l) {
        const QChar c = out.text[l];
        const QChar m = out.marks[l];
        if (c == QLatin1Char(' ') || c == QChar(0x3000) || m == QLatin1Char(' '))
            continue;
        text += (c == QLatin1Char('[')) ? QChar(0xFF3B) : c;
        keptMarks += m;
    }
    return {text, keptMarks};
}

PreparedText spacedForm(const PreparedText &prepared)
{
    PreparedText out;
    const qsizetype n = prepared.marks.size();
    out.text.reserve(prepared.text.size() + n);
    out.marks.reserve(n * 2);
    for (qsizetype i = 0; i < n; ++i) {
        out.marks += prepared.marks[i];
        if (i < prepared.text.size())
            out.text += prepared.text[i];
        if (i + 1 < n && prepared.marks[i] != prepared.marks[i + 1]) {
            out.marks += QLatin1Char('3');
            out.text += QLatin1Char(' ');
        }
    }
    if (prepared.text.size() > n)
        out.text += prepared.text.mid(n);
    while (out.text.endsWith(QLatin1Char(' ')))
        out.text.chop(1);
    return out;
}

} // namespace orvane
