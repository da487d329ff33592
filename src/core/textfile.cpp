#include "core/textfile.h"

#include "core/savefile.h"

#include <QFile>
#include <QStringDecoder>

namespace orvane {

namespace {

// A character of ordinary text, Chinese or Western: what the reading of a text in the right
// encoding is made of, and the wrong readings mostly are not.
bool ordinaryText(char32_t c)
{
    if (c < 0x80)
        return (c >= 0x20 && c < 0x7F) || c == '\t' || c == '\r' || c == '\n';
    return (c >= 0xA0 && c <= 0x24F)     // Latin-1 and Latin Extended letters and signs
        || (c >= 0x2010 && c <= 0x2027)  // dashes, quotation marks, ellipsis
        || (c >= 0x3000 && c <= 0x303F)  // CJK punctuation
        || (c >= 0x4E00 && c <= 0x9FFF)  // CJK unified ideographs
        || (c >= 0xFF01 && c <= 0xFF5E); // full-width forms
}

bool controlCharacter(char32_t c)
{
    return c < 0x20 && c != '\t' && c != '\r' && c != '\n' && c != '\f' && c != '\v' && c != 0x1A;
}

// a/b > c/d for shares of counts, without division; an empty reading has no share.
bool largerShare(qint64 a, qint64 b, qint64 c, qint64 d)
{
    if (b == 0)
        return false;
    if (d == 0)
        return a > 0;
    return a * d > c * b;
}

// UTF-16 input may hold halves of surrogate pairs that stand alone; they are no characters and
// could not be written back, so they become U+FFFD like any other undecodable input. A high
// surrogate at the end of the piece is held back in *pending: its partner may start the next.
QString mendSurrogates(QString text, QChar *pending)
{
    if (!pending->isNull()) {
        text.prepend(*pending);
        *pending = QChar();
    }
    if (!text.isEmpty() && text.back().isHighSurrogate()) {
        *pending = text.back();
        text.chop(1);
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

// The byte-order mark is skipped by the caller (it knows its length); a U+FEFF that follows it,
// or that begins a later piece of the file, is text like any other character.
QStringDecoder decoderFor(TextEncoding encoding, QStringDecoder::Flags flags = QStringDecoder::Flag::Default)
{
    flags |= QStringDecoder::Flag::ConvertInitialBom;
    switch (encoding) {
    case TextEncoding::Utf8Bom:
    case TextEncoding::Utf8: return QStringDecoder(QStringDecoder::Utf8, flags);
    case TextEncoding::Utf16LE: return QStringDecoder(QStringDecoder::Utf16LE, flags);
    case TextEncoding::Utf16BE: return QStringDecoder(QStringDecoder::Utf16BE, flags);
    case TextEncoding::Gb18030: break;
    }
    // Qt's own converters do not cover GB18030; ICU through QStringDecoder's name lookup does
    // where Qt was built with it (Debian's is).
    QStringDecoder gb("GB18030", flags);
    if (gb.isValid())
        return gb;
    return QStringDecoder(QStringDecoder::Latin1, flags);
}

} // namespace

void TextSniffer::add(QByteArrayView bytes)
{
    if (m_head.size() < 3)
        m_head += bytes.first(qMin<qsizetype>(3 - m_head.size(), bytes.size()));
    for (const char ch : bytes) {
        const uchar b = uchar(ch);
        ++m_bytes;
        if (b == 0)
            ++m_nulBytes;
        else if (controlCharacter(b))
            ++m_controlBytes;

        // UTF-8, strictly: no overlong forms, no surrogates, nothing above U+10FFFF. Each
        // malformed piece counts as one character that is no text.
        for (bool again = true; again;) {
            again = false;
            if (m_utf8Need > 0) {
                if ((b & 0xC0) == 0x80) {
                    m_utf8Code = (m_utf8Code << 6) | (b & 0x3F);
                    if (--m_utf8Need == 0) {
                        ++m_utf8.chars;
                        const char32_t c = m_utf8Code;
                        if (c < m_utf8Min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
                            ++m_utf8Invalid;
                        else if (ordinaryText(c))
                            ++m_utf8.good;
                    }
                    break;
                }
                m_utf8Need = 0;
                ++m_utf8.chars;
                ++m_utf8Invalid;
            }
            if (b < 0x80) {
                ++m_utf8.chars;
                m_utf8.good += ordinaryText(b);
            } else if ((b & 0xE0) == 0xC0) {
                m_utf8Need = 1;
                m_utf8Min = 0x80;
                m_utf8Code = b & 0x1F;
            } else if ((b & 0xF0) == 0xE0) {
                m_utf8Need = 2;
                m_utf8Min = 0x800;
                m_utf8Code = b & 0x0F;
            } else if ((b & 0xF8) == 0xF0) {
                m_utf8Need = 3;
                m_utf8Min = 0x10000;
                m_utf8Code = b & 0x07;
            } else {
                ++m_utf8.chars;
                ++m_utf8Invalid;
            }
        }

        // GB18030: one byte below 0x80, two bytes (81–FE, 40–7E/80–FE) or four (81–FE, 30–39,
        // 81–FE, 30–39). The two-byte characters of GBK are ordinary text; its user-defined
        // areas and the four-byte forms are rare in real texts.
        for (bool again = true; again;) {
            again = false;
            switch (m_gbState) {
            case 0:
                if (b < 0x80) {
                    ++m_gb.chars;
                    m_gb.good += ordinaryText(b);
                } else if (b >= 0x81 && b <= 0xFE) {
                    m_gbLead = b;
                    m_gbState = 1;
                } else {
                    ++m_gb.chars;
                }
                break;
            case 1:
                if ((b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE)) {
                    ++m_gb.chars;
                    // Not the areas for user-defined characters.
                    const bool userDefined = (b >= 0xA1 && ((m_gbLead >= 0xAA && m_gbLead <= 0xAF) || m_gbLead >= 0xF8))
                        || (b < 0xA1 && m_gbLead >= 0xA1 && m_gbLead <= 0xA7);
                    m_gb.good += !userDefined;
                    m_gbState = 0;
                } else if (b >= 0x30 && b <= 0x39) {
                    m_gbState = 2;
                } else {
                    ++m_gb.chars; // a lead byte alone
                    m_gbState = 0;
                    again = true;
                }
                break;
            case 2:
                if (b >= 0x81 && b <= 0xFE) {
                    m_gbState = 3;
                } else {
                    ++m_gb.chars;
                    m_gbState = 0;
                    again = true;
                }
                break;
            case 3:
                ++m_gb.chars;
                m_gbState = 0;
                again = !(b >= 0x30 && b <= 0x39);
                break;
            }
        }

        // UTF-16 both ways, one unit for every two bytes.
        if (m_pendingByte < 0) {
            m_pendingByte = b;
            continue;
        }
        const char16_t units[2] = {char16_t(m_pendingByte | (b << 8)), char16_t((m_pendingByte << 8) | b)};
        m_pendingByte = -1;
        Reading *readings[2] = {&m_le, &m_be};
        for (int k = 0; k < 2; ++k) {
            ++readings[k]->chars;
            readings[k]->good += ordinaryText(units[k]);
            if (units[k] == 0)
                ++m_nulUnits[k];
            else if (controlCharacter(units[k]))
                ++m_controlUnits[k];
        }
    }
}

TextEncoding TextSniffer::bestReading() const
{
    // A sequence cut off at the end is one more malformed character.
    Reading utf8 = m_utf8;
    const qint64 utf8Invalid = m_utf8Invalid + (m_utf8Need > 0 ? 1 : 0);
    utf8.chars += m_utf8Need > 0 ? 1 : 0;
    Reading gb = m_gb;
    gb.chars += m_gbState != 0 ? 1 : 0;

    if (m_bytes == 0 || (utf8Invalid == 0 && m_nulBytes == 0))
        return TextEncoding::Utf8;
    const bool le = !largerShare(m_be.good, m_be.chars, m_le.good, m_le.chars);
    const Reading &u16 = le ? m_le : m_be;
    const bool u16HalfText = u16.good * 2 >= u16.chars && u16.chars > 0;
    const TextEncoding u16Encoding = le ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
    if (utf8Invalid == 0) // valid UTF-8 with NUL bytes: UTF-16 of mostly ASCII, or binary data
        return u16HalfText && largerShare(u16.good, u16.chars, utf8.good, utf8.chars) ? u16Encoding
                                                                                      : TextEncoding::Utf8;
    TextEncoding best = TextEncoding::Utf8;
    Reading bestReading = utf8;
    if (largerShare(gb.good, gb.chars, bestReading.good, bestReading.chars)) {
        best = TextEncoding::Gb18030;
        bestReading = gb;
    }
    if (u16HalfText && largerShare(u16.good, u16.chars, bestReading.good, bestReading.chars))
        best = u16Encoding;
    return best;
}

TextEncoding TextSniffer::encoding() const
{
    if (m_head.startsWith("\xEF\xBB\xBF"))
        return TextEncoding::Utf8Bom;
    if (m_head.startsWith("\xFF\xFE"))
        return TextEncoding::Utf16LE;
    if (m_head.startsWith("\xFE\xFF"))
        return TextEncoding::Utf16BE;
    return bestReading();
}

qsizetype TextSniffer::byteOrderMarkLength() const
{
    if (m_head.startsWith("\xEF\xBB\xBF"))
        return 3;
    if (m_head.startsWith("\xFF\xFE") || m_head.startsWith("\xFE\xFF"))
        return 2;
    return 0;
}

bool TextSniffer::looksBinary() const
{
    switch (encoding()) {
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        const int k = encoding() == TextEncoding::Utf16LE ? 0 : 1;
        const Reading &r = k == 0 ? m_le : m_be;
        return m_nulUnits[k] > 0 || m_controlUnits[k] * 100 > r.chars;
    }
    case TextEncoding::Utf8Bom:
    case TextEncoding::Utf8:
        // Control bytes are control characters in UTF-8 and GB18030 alike: no byte below 0x20
        // is part of a longer sequence.
        return m_nulBytes > 0 || m_controlBytes * 100 > m_utf8.chars;
    case TextEncoding::Gb18030: return m_nulBytes > 0 || m_controlBytes * 100 > m_gb.chars;
    }
    return false;
}

namespace {

// The number of bytes at the end of data that begin a UTF-8 sequence still missing bytes.
qsizetype incompleteUtf8Tail(QByteArrayView data)
{
    for (qsizetype back = 1; back <= qMin<qsizetype>(3, data.size()); ++back) {
        const uchar b = uchar(data[data.size() - back]);
        if ((b & 0xC0) == 0x80)
            continue; // a continuation byte: look further back for its lead
        const qsizetype length = b >= 0xC2 && b <= 0xDF ? 2
            : b >= 0xE0 && b <= 0xEF                    ? 3
            : b >= 0xF0 && b <= 0xF4                    ? 4
                                                        : 0;
        return length > back ? back : 0;
    }
    return 0;
}

// The number of bytes at the end of data that begin a GB18030 sequence still missing bytes: one
// byte 00–7F, two bytes 81–FE 40–FE, four bytes 81–FE 30–39 81–FE 30–39. The sequences are
// followed from the start, since a trail byte can look like a lead byte or an ASCII digit.
qsizetype incompleteGb18030Tail(QByteArrayView data)
{
    const auto lead = [](uchar b) { return b >= 0x81 && b <= 0xFE; };
    const auto digit = [](uchar b) { return b >= 0x30 && b <= 0x39; };
    const qsizetype n = data.size();
    qsizetype i = 0;
    while (i < n) {
        const uchar b = uchar(data[i]);
        if (!lead(b)) {
            ++i; // ASCII, or a byte that begins nothing: one unit either way
            continue;
        }
        if (i + 1 == n)
            return 1;
        const uchar b2 = uchar(data[i + 1]);
        if (!digit(b2)) {
            i += b2 >= 0x40 && b2 <= 0xFE && b2 != 0x7F ? 2 : 1;
            continue;
        }
        if (i + 2 == n)
            return 2;
        if (!lead(uchar(data[i + 2]))) {
            ++i;
            continue;
        }
        if (i + 3 == n)
            return 3;
        i += digit(uchar(data[i + 3])) ? 4 : 1;
    }
    return 0;
}

} // namespace

TextDecoder::TextDecoder(TextEncoding encoding, qsizetype byteOrderMarkLength)
    : m_decoder(decoderFor(encoding)), m_skip(byteOrderMarkLength), m_encoding(encoding)
{ }

QString TextDecoder::decode(QByteArrayView bytes)
{
    if (m_skip > 0) {
        const qsizetype n = qMin(m_skip, bytes.size());
        bytes = bytes.sliced(n);
        m_skip -= n;
    }
    const bool utf8 = m_encoding == TextEncoding::Utf8 || m_encoding == TextEncoding::Utf8Bom;
    if (!utf8 && m_encoding != TextEncoding::Gb18030)
        return mendSurrogates(m_decoder.decode(bytes), &m_pendingHigh);
    QByteArray data = m_carry;
    data.append(bytes.data(), bytes.size());
    const qsizetype keep = utf8 ? incompleteUtf8Tail(data) : incompleteGb18030Tail(data);
    m_carry = data.right(keep);
    data.chop(keep);
    return mendSurrogates(decoderFor(m_encoding, QStringDecoder::Flag::Stateless).decode(data), &m_pendingHigh);
}

QString TextDecoder::finish()
{
    QString rest;
    if (!m_carry.isEmpty()) {
        rest = mendSurrogates(decoderFor(m_encoding, QStringDecoder::Flag::Stateless).decode(m_carry), &m_pendingHigh);
        m_carry.clear();
    }
    if (!m_pendingHigh.isNull()) {
        m_pendingHigh = QChar();
        rest += QChar::ReplacementCharacter;
    }
    return rest;
}

TextEncoding detectEncoding(const QByteArray &bytes)
{
    TextSniffer sniffer;
    sniffer.add(bytes);
    return sniffer.encoding();
}

QString decodeText(const QByteArray &bytes)
{
    TextSniffer sniffer;
    sniffer.add(bytes);
    // Whole input at once: a sequence cut off at the end is decoded as U+FFFD.
    const TextEncoding encoding = sniffer.encoding();
    QStringDecoder decoder = decoderFor(encoding, QStringDecoder::Flag::Stateless);
    QChar pending;
    QString text =
        mendSurrogates(decoder.decode(QByteArrayView(bytes).sliced(sniffer.byteOrderMarkLength())), &pending);
    if (!pending.isNull())
        text += QChar::ReplacementCharacter;
    return text;
}

bool readTextFile(const QString &path, QString *text, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("无法读取文件“%1”：%2").arg(path, file.errorString());
        return false;
    }
    *text = decodeText(file.readAll());
    return true;
}

bool writeTextFile(const QString &path, const QString &text, QString *error)
{
    return saveFile(path, text.toUtf8(), error);
}

} // namespace orvane
