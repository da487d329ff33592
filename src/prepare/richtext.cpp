#include "prepare/richtext.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFragment>
#include <cmath>
#include <optional>

namespace orvane {

// ---------------------------------------------------------------------------------------------
// Writer

namespace {

int colorIndex(QList<QRgb> &table, const QColor &c)
{
    const QRgb rgb = c.rgb() | 0xFF000000u;
    const qsizetype i = table.indexOf(rgb);
    if (i >= 0)
        return int(i) + 1;
    table.append(rgb);
    return int(table.size());
}

int fontIndex(QStringList &table, const QString &family)
{
    const qsizetype i = table.indexOf(family);
    if (i >= 0)
        return int(i);
    table.append(family);
    return int(table.size() - 1);
}

void appendEscapedText(QByteArray &out, QStringView text)
{
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u == QChar::LineSeparator || u == '\n') {
            out += "\\line ";
        } else if (u >= 0x20 && u < 0x7F) {
            out += char(u);
        } else {
            out += "\\u";
            out += QByteArray::number(qint16(u));
            out += '?';
        }
    }
}

QByteArray fontTableEntry(int i, const QString &family)
{
    QByteArray e = "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset134 ";
    appendEscapedText(e, family);
    e += ";}";
    return e;
}

} // namespace

QByteArray writeRtf(const QTextDocument &document)
{
    QStringList fonts;
    QList<QRgb> colors;
    const QString defaultFamily = document.defaultFont().family();
    fontIndex(fonts, defaultFamily.isEmpty() ? QStringLiteral("宋体") : defaultFamily);

    QByteArray body;
    bool firstBlock = true;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (!firstBlock)
            body += "\\par\r\n";
        firstBlock = false;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const QTextCharFormat f = fragment.charFormat();
            QByteArray group = "{\\plain";
            const QStringList families = f.fontFamilies().toStringList();
            group += "\\f" + QByteArray::number(families.isEmpty() ? 0 : fontIndex(fonts, families.first()));
            const double pt = f.fontPointSize() > 0 ? f.fontPointSize() : document.defaultFont().pointSizeF();
            if (pt > 0)
                group += "\\fs" + QByteArray::number(qRound(pt * 2));
            if (f.hasProperty(QTextFormat::ForegroundBrush))
                group += "\\cf" + QByteArray::number(colorIndex(colors, f.foreground().color()));
            if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush) {
                const QByteArray n = QByteArray::number(colorIndex(colors, f.background().color()));
                group += "\\highlight" + n + "\\chcbpat" + n;
            }
            if (f.fontWeight() >= QFont::Bold)
                group += "\\b";
            if (f.fontItalic())
                group += "\\i";
            if (f.underlineStyle() == QTextCharFormat::DotLine)
                group += "\\uld";
            else if (f.underlineStyle() != QTextCharFormat::NoUnderline)
                group += "\\ul";
            group += ' ';
            appendEscapedText(group, fragment.text());
            group += '}';
            body += group;
        }
    }

    QByteArray out = "{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1\r\n{\\fonttbl";
    for (int i = 0; i < fonts.size(); ++i)
        out += fontTableEntry(i, fonts[i]);
    out += "}\r\n{\\colortbl;";
    for (QRgb c : colors)
        out += "\\red" + QByteArray::number(qRed(c)) + "\\green" + QByteArray::number(qGreen(c)) + "\\blue"
            + QByteArray::number(qBlue(c)) + ';';
    out += "}\r\n\\viewkind4\\pard ";
    out += body;
    out += "\\par\r\n}\r\n";
    return out;
}

// ---------------------------------------------------------------------------------------------
// Reader

namespace {

constexpr int kMaxDepth = 512;

enum class Destination { Text, FontTable, ColorTable, Skip };

struct CharState {
    int font = -1;
    int fontSize = 0; // half-points
    int color = 0;
    int highlight = 0;
    bool bold = false;
    bool italic = false;
    QTextCharFormat::UnderlineStyle underline = QTextCharFormat::NoUnderline;
    int skipAfterUnicode = 1; // \ucN
    Destination dest = Destination::Text;
};

struct FontEntry {
    QString name;
    int charset = -1;
};

class RtfReader {
public:
    explicit RtfReader(const QByteArray &rtf) : m_in(rtf) { }

    bool run(QTextDocument *doc, RtfError *error);

private:
    bool fail(const QString &message)
    {
        m_error = message;
        return false;
    }

    bool atEnd() const { return m_pos >= m_in.size(); }
    char peek() const { return m_in.at(m_pos); }

    void controlWord(const QByteArray &word, bool hasParam, int param);
    void controlSymbol(char c);
    void addText(const QString &text);
    void addBytes(const QByteArray &bytes);
    void flushBytes();
    QStringDecoder &decoderFor(int codePage);
    void fontTableText(const QString &text);
    QTextCharFormat currentFormat() const;

    const QByteArray &m_in;
    qsizetype m_pos = 0;
    QString m_error;

    CharState m_state;
    QList<CharState> m_stack;
    int m_skipPending = 0;            // fallback characters still to skip after \uN
    bool m_nextIsDestination = false; // after \*

    int m_codePage = 1252;
    int m_defaultFont = 0;
    QHash<int, FontEntry> m_fonts;
    int m_fontNumber = -1; // entry being read in the font table
    QString m_fontName;
    QList<QColor> m_colors; // index 0 is "auto"
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorSet = false;

    QByteArray m_pendingBytes; // \'hh bytes of one multi-byte character
    QHash<int, QStringDecoder *> m_decoders;
    std::vector<std::unique_ptr<QStringDecoder>> m_decoderStore;

    QTextDocument *m_doc = nullptr;
    std::optional<QTextCursor> m_cursor;
};

QStringDecoder &RtfReader::decoderFor(int codePage)
{
    if (QStringDecoder *d = m_decoders.value(codePage))
        return *d;
    QByteArray name;
    switch (codePage) {
    case 936:
    case 54936: name = "GB18030"; break;
    case 950: name = "Big5"; break;
    case 932: name = "Shift_JIS"; break;
    case 949: name = "EUC-KR"; break;
    case 65001: name = "UTF-8"; break;
    default: name = "windows-" + QByteArray::number(codePage); break;
    }
    auto d = std::make_unique<QStringDecoder>(name.constData());
    if (!d->isValid())
        d = std::make_unique<QStringDecoder>(QStringConverter::Latin1);
    QStringDecoder *raw = d.get();
    m_decoderStore.push_back(std::move(d));
    m_decoders.insert(codePage, raw);
    return *raw;
}

void RtfReader::flushBytes()
{
    if (m_pendingBytes.isEmpty())
        return;
    int cp = m_codePage;
    const FontEntry font = m_fonts.value(m_state.font);
    switch (font.charset) {
    case 134: cp = 936; break;
    case 136: cp = 950; break;
    case 128: cp = 932; break;
    case 129: cp = 949; break;
    case 0: cp = 1252; break;
    default: break;
    }
    QStringDecoder &d = decoderFor(cp);
    const QString text = d.decode(m_pendingBytes);
    d.resetState();
    m_pendingBytes.clear();
    addText(text);
}

void RtfReader::addBytes(const QByteArray &bytes)
{
    m_pendingBytes += bytes;
}

QTextCharFormat RtfReader::currentFormat() const
{
    QTextCharFormat f;
    // The document's default font is no font of the text's own.
    if (m_state.font >= 0 && m_state.font != m_defaultFont && m_fonts.contains(m_state.font)) {
        const QString name = m_fonts.value(m_state.font).name;
        if (!name.isEmpty())
            f.setFontFamilies({name});
    }
    if (m_state.fontSize > 0)
        f.setFontPointSize(m_state.fontSize / 2.0);
    if (m_state.color > 0 && m_state.color < m_colors.size() && m_colors[m_state.color].isValid())
        f.setForeground(m_colors[m_state.color]);
    if (m_state.highlight > 0 && m_state.highlight < m_colors.size() && m_colors[m_state.highlight].isValid())
        f.setBackground(m_colors[m_state.highlight]);
    if (m_state.bold)
        f.setFontWeight(QFont::Bold);
    if (m_state.italic)
        f.setFontItalic(true);
    if (m_state.underline != QTextCharFormat::NoUnderline)
        f.setUnderlineStyle(m_state.underline);
    return f;
}

void RtfReader::fontTableText(const QString &text)
{
    for (QChar c : text) {
        if (c == QLatin1Char(';')) {
            if (m_fontNumber >= 0)
                m_fonts.insert(m_fontNumber, {m_fontName.trimmed(), m_fonts.value(m_fontNumber).charset});
            m_fontName.clear();
        } else {
            m_fontName += c;
        }
    }
}

void RtfReader::addText(const QString &text)
{
    if (text.isEmpty())
        return;
    switch (m_state.dest) {
    case Destination::Skip: return;
    case Destination::ColorTable:
        // Each entry ends with ';'; an entry without components is the "auto" colour.
        for (QChar c : text) {
            if (c == QLatin1Char(';')) {
                m_colors.append(m_colorSet
                        ? QColor(std::clamp(m_red, 0, 255), std::clamp(m_green, 0, 255), std::clamp(m_blue, 0, 255))
                        : QColor());
                m_red = m_green = m_blue = 0;
                m_colorSet = false;
            }
        }
        return;
    case Destination::FontTable: fontTableText(text); return;
    case Destination::Text: break;
    }
    m_cursor->insertText(text, currentFormat());
}

void RtfReader::controlSymbol(char c)
{
    switch (c) {
    case '\\':
    case '{':
    case '}': addText(QString(QLatin1Char(c))); break;
    case '~': addText(QString(QChar(0x00A0))); break;
    case '_': addText(QString(QChar(0x2011))); break;
    case '-': break; // optional hyphen
    case '*': m_nextIsDestination = true; break;
    case '\r':
    case '\n': // \<newline> is a paragraph
        if (m_state.dest == Destination::Text)
            m_cursor->insertBlock();
        break;
    default: break;
    }
}

void RtfReader::controlWord(const QByteArray &w, bool hasParam, int param)
{
    const bool starred = m_nextIsDestination;
    m_nextIsDestination = false;
    flushBytes(); // text before a control word belongs to the state before it

    // Destinations.
    if (w == "fonttbl") {
        m_state.dest = Destination::FontTable;
        return;
    }
    if (w == "colortbl") {
        m_state.dest = Destination::ColorTable;
        m_colors.clear();
        return;
    }
    static const QList<QByteArray> skipped{"stylesheet", "info", "pict", "object", "header", "footer", "headerl",
        "headerr", "headerf", "footerl", "footerr", "footerf", "footnote", "field", "fldinst", "listtable",
        "listoverridetable", "rsidtbl", "generator", "xmlnstbl", "themedata", "colorschememapping", "datastore",
        "latentstyles", "pgdsctbl", "bkmkstart", "bkmkend", "revtbl", "filetbl", "mmathPr", "pnseclvl", "pntext",
        "pntxta", "pntxtb", "listtext", "userprops", "docvar", "shp", "nonshppict", "shppict", "blipuid", "fontemb",
        "fontfile", "panose", "falt", "xe", "tc", "atnid", "annotation"};
    if (skipped.contains(w)) {
        m_state.dest = Destination::Skip;
        return;
    }
    if (w == "fldrslt") {
        m_state.dest = Destination::Text;
        return;
    }

    if (m_state.dest == Destination::ColorTable) {
        if (w == "red") {
            m_red = param;
            m_colorSet = true;
        } else if (w == "green") {
            m_green = param;
            m_colorSet = true;
        } else if (w == "blue") {
            m_blue = param;
            m_colorSet = true;
        }
        return;
    }
    if (m_state.dest == Destination::FontTable) {
        if (w == "f" && hasParam) {
            m_fontNumber = param;
            m_fontName.clear();
        } else if (w == "fcharset" && m_fontNumber >= 0) {
            m_fonts[m_fontNumber].charset = param;
        } else if (w == "u" && hasParam) {
            fontTableText(QString(QChar(char16_t(param < 0 ? param + 65536 : param))));
            m_skipPending = m_state.skipAfterUnicode;
        }
        return;
    }
    if (starred && m_state.dest == Destination::Text) {
        // An ignorable destination this reader does not know.
        m_state.dest = Destination::Skip;
        return;
    }
    if (m_state.dest == Destination::Skip)
        return;

    if (w == "ansicpg" && hasParam) {
        m_codePage = param;
        return;
    }
    if (w == "deff" && hasParam) {
        m_defaultFont = param;
        return;
    }
    if (w == "par" || w == "sect" || w == "page") {
        flushBytes();
        m_cursor->insertBlock();
        return;
    }
    if (w == "line") {
        flushBytes();
        addText(QString(QChar::LineSeparator));
        return;
    }
    if (w == "tab") {
        flushBytes();
        addText(QStringLiteral("\t"));
        return;
    }
    if (w == "emdash") {
        addText(QString(QChar(0x2014)));
        return;
    }
    if (w == "endash") {
        addText(QString(QChar(0x2013)));
        return;
    }
    if (w == "lquote") {
        addText(QString(QChar(0x2018)));
        return;
    }
    if (w == "rquote") {
        addText(QString(QChar(0x2019)));
        return;
    }
    if (w == "ldblquote") {
        addText(QString(QChar(0x201C)));
        return;
    }
    if (w == "rdblquote") {
        addText(QString(QChar(0x201D)));
        return;
    }
    if (w == "bullet") {
        addText(QString(QChar(0x2022)));
        return;
    }
    if (w == "u" && hasParam) {
        flushBytes();
        addText(QString(QChar(char16_t(param < 0 ? param + 65536 : param))));
        m_skipPending = m_state.skipAfterUnicode;
        return;
    }
    if (w == "uc" && hasParam) {
        m_state.skipAfterUnicode = std::clamp(param, 0, 16);
        return;
    }

    flushBytes();
    if (w == "plain") {
        const CharState keep = m_state;
        m_state = CharState();
        m_state.dest = keep.dest;
        m_state.skipAfterUnicode = keep.skipAfterUnicode;
        return;
    }
    if (w == "f" || w == "af" || w == "dbch" || w == "hich" || w == "loch") {
        if (w == "f" && hasParam)
            m_state.font = param;
        return;
    }
    // LibreOffice writes the size, bold and italic of Chinese text as the associated \\afs, \\ab, \\ai.
    if ((w == "fs" || w == "afs") && hasParam) {
        m_state.fontSize = std::clamp(param, 0, 3276);
        return;
    }
    if (w == "cf" && hasParam) {
        m_state.color = param;
        return;
    }
    if ((w == "highlight" || w == "cb" || w == "chcbpat") && hasParam) {
        m_state.highlight = param;
        return;
    }
    if (w == "b" || w == "ab") {
        m_state.bold = !hasParam || param != 0;
        return;
    }
    if (w == "i" || w == "ai") {
        m_state.italic = !hasParam || param != 0;
        return;
    }
    if (w == "uld") {
        m_state.underline = (!hasParam || param != 0) ? QTextCharFormat::DotLine : QTextCharFormat::NoUnderline;
        return;
    }
    if (w == "ul" || w == "uldb" || w == "ulw" || w == "uldash" || w == "ulwave" || w == "ulth") {
        m_state.underline = (!hasParam || param != 0) ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline;
        return;
    }
    if (w == "ulnone") {
        m_state.underline = QTextCharFormat::NoUnderline;
        return;
    }
}

bool RtfReader::run(QTextDocument *doc, RtfError *error)
{
    auto failed = [&](const QString &message) {
        if (error) {
            error->message = message;
            error->offset = m_pos;
        }
        return false;
    };

    qsizetype start = 0;
    while (start < m_in.size()
        && (m_in[start] == ' ' || m_in[start] == '\r' || m_in[start] == '\n' || m_in[start] == '\t'))
        ++start;
    if (!m_in.mid(start, 5).startsWith("{\\rtf"))
        return failed(QStringLiteral("not a rich-text file (it does not begin with {\\rtf)"));

    QTextDocument scratch;
    // Without undo, and in one edit block: outside an edit block every insertion lays out its
    // whole paragraph again for the cursor's position, which makes a paragraph of many runs cost
    // the square of its runs. The block's layout happens once, when the edit block closes.
    scratch.setUndoRedoEnabled(false);
    m_doc = &scratch;
    m_cursor.emplace(&scratch);
    m_cursor->beginEditBlock();
    m_pos = start;
    int depth = 0;
    bool closed = false;

    while (!atEnd() && !closed) {
        const char c = peek();
        if (c == '{') {
            flushBytes();
            if (++depth > kMaxDepth)
                return failed(QStringLiteral("groups nested deeper than %1").arg(kMaxDepth));
            m_stack.append(m_state);
            ++m_pos;
            m_skipPending = 0;
        } else if (c == '}') {
            flushBytes();
            if (m_state.dest == Destination::FontTable && m_fontNumber >= 0 && !m_fontName.trimmed().isEmpty())
                fontTableText(QStringLiteral(";"));
            if (m_stack.isEmpty())
                return failed(QStringLiteral("a group closes that was never opened"));
            m_state = m_stack.takeLast();
            ++m_pos;
            if (--depth == 0)
                closed = true;
        } else if (c == '\\') {
            ++m_pos;
            if (atEnd())
                return failed(QStringLiteral("the file ends inside a control word"));
            const char d = peek();
            if (std::isalpha(static_cast<unsigned char>(d))) {
                const qsizetype b = m_pos;
                while (!atEnd() && std::isalpha(static_cast<unsigned char>(peek())) && m_pos - b < 32)
                    ++m_pos;
                const QByteArray word = m_in.mid(b, m_pos - b);
                bool hasParam = false;
                bool negative = false;
                long long value = 0;
                if (!atEnd() && peek() == '-') {
                    negative = true;
                    ++m_pos;
                }
                int digits = 0;
                while (!atEnd() && std::isdigit(static_cast<unsigned char>(peek()))) {
                    if (digits < 10)
                        value = value * 10 + (peek() - '0');
                    ++digits;
                    ++m_pos;
                    hasParam = true;
                }
                if (!atEnd() && peek() == ' ')
                    ++m_pos; // the delimiter belongs to the control word
                const int param = int(std::clamp<long long>(negative ? -value : value, -2147483647LL, 2147483647LL));
                if (m_skipPending > 0 && word != "u") {
                    --m_skipPending; // a control word counts as one fallback character
                    continue;
                }
                controlWord(word, hasParam, param);
            } else if (d == '\'') {
                ++m_pos;
                if (m_pos + 2 > m_in.size())
                    return failed(QStringLiteral("the file ends inside a \\' escape"));
                bool ok = false;
                const int byte = m_in.mid(m_pos, 2).toInt(&ok, 16);
                m_pos += 2;
                if (!ok)
                    continue;
                if (m_skipPending > 0) {
                    --m_skipPending;
                    continue;
                }
                if (m_state.dest == Destination::Text || m_state.dest == Destination::FontTable)
                    addBytes(QByteArray(1, char(byte)));
            } else {
                ++m_pos;
                if (m_skipPending > 0) {
                    --m_skipPending;
                    continue;
                }
                flushBytes();
                controlSymbol(d);
            }
        } else if (c == '\r' || c == '\n') {
            ++m_pos; // line breaks in RTF source carry no text
        } else {
            // A run of plain text.
            const qsizetype b = m_pos;
            while (!atEnd() && peek() != '\\' && peek() != '{' && peek() != '}' && peek() != '\r' && peek() != '\n')
                ++m_pos;
            QByteArray run = m_in.mid(b, m_pos - b);
            if (m_skipPending > 0) {
                const qsizetype skip = std::min<qsizetype>(m_skipPending, run.size());
                run.remove(0, skip);
                m_skipPending -= int(skip);
            }
            addBytes(run);
        }
    }
    flushBytes();
    m_cursor->endEditBlock();
    if (!closed)
        return failed(QStringLiteral("the file ends before its groups close"));

    // The writer ends the text with a paragraph mark: drop the empty last block it leaves.
    QTextCursor end(&scratch);
    end.movePosition(QTextCursor::End);
    if (end.block().length() == 1 && scratch.blockCount() > 1) {
        end.deletePreviousChar();
    }

    doc->clear();
    QTextCursor out(doc);
    QTextCursor all(&scratch);
    all.select(QTextCursor::Document);
    out.insertFragment(all.selection());
    return true;
}

} // namespace

bool readRtf(const QByteArray &rtf, QTextDocument *document, RtfError *error)
{
    RtfReader reader(rtf);
    return reader.run(document, error);
}

} // namespace orvane
