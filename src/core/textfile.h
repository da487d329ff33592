// Text files as this program reads and writes them.
//
// Reading detects the encoding from all of a text's bytes: a byte-order mark (UTF-8, UTF-16
// LE/BE) decides; else strictly valid UTF-8 without NUL bytes is UTF-8; else the reading among
// UTF-8, GB18030 (a superset of GB2312 and GBK) and UTF-16 LE/BE without a mark that gives the
// largest share of ordinary text characters wins (ties in that order, UTF-16 only with at least
// half). So a UTF-8 file with a few damaged bytes stays UTF-8 (U+FFFD in their place), files made
// on Chinese Windows systems open as GB18030, and UTF-16 without a mark is recognised. Malformed
// input and lone surrogates become U+FFFD.
//
// Writing is always UTF-8 without a byte-order mark; the caller decides the line ends (the
// program writes CR LF).
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

namespace orvane {

enum class TextEncoding { Utf8Bom, Utf16LE, Utf16BE, Utf8, Gb18030 };

// What all the bytes of a text say about it, gathered piece by piece so that a file can be
// read in chunks: add every byte, then ask.
class TextSniffer {
public:
    void add(QByteArrayView bytes);

    TextEncoding encoding() const;
    // Bytes of the byte-order mark at the start (0 when there is none).
    qsizetype byteOrderMarkLength() const;
    // Binary data rather than text: a NUL character, or more than 1 % control characters
    // (tab, line ends, form feed, vertical tab and the old end-of-file mark 0x1A are text).
    bool looksBinary() const;

private:
    struct Reading {
        qint64 chars = 0;
        qint64 good = 0; // characters of ordinary text
    };
    TextEncoding bestReading() const;

    QByteArray m_head; // the first bytes, for the byte-order mark
    qint64 m_bytes = 0;
    qint64 m_nulBytes = 0;
    qint64 m_controlBytes = 0;
    // UTF-8: a sequence in progress.
    Reading m_utf8;
    qint64 m_utf8Invalid = 0;
    int m_utf8Need = 0;
    char32_t m_utf8Min = 0;
    char32_t m_utf8Code = 0;
    // GB18030: the state of a sequence in progress (0 none, 1 after a lead byte, 2 and 3 inside
    // a four-byte sequence) and its lead byte.
    Reading m_gb;
    int m_gbState = 0;
    uchar m_gbLead = 0;
    // UTF-16 both ways, a byte left over from the last piece.
    Reading m_le;
    Reading m_be;
    qint64 m_nulUnits[2] = {0, 0};     // LE, BE
    qint64 m_controlUnits[2] = {0, 0}; // LE, BE
    int m_pendingByte = -1;
};

// Decodes a text piece by piece as decodeText decodes it whole: the byte-order mark skipped,
// malformed input and lone surrogates as U+FFFD.
class TextDecoder {
public:
    TextDecoder(TextEncoding encoding, qsizetype byteOrderMarkLength);
    QString decode(QByteArrayView bytes);
    // What is held back at the end (half of a surrogate pair) as U+FFFD.
    QString finish();

private:
    QStringDecoder m_decoder;
    qsizetype m_skip = 0;
    QChar m_pendingHigh;
    // UTF-8 and GB18030 are decoded piece by piece without the decoder's own state: a sequence
    // cut off at the end of a piece waits here for the next one. (Qt 6.4's stateful decoders drop
    // the byte that follows a cut-off sequence which the next piece shows to be broken.)
    TextEncoding m_encoding;
    QByteArray m_carry;
};

// The encoding that decodeText would use for these bytes.
TextEncoding detectEncoding(const QByteArray &bytes);

QString decodeText(const QByteArray &bytes);

// Reads a whole file. On failure returns false and sets *error to a message naming the file.
bool readTextFile(const QString &path, QString *text, QString *error);

// Writes the file as a whole (saveFile): a failure part-way leaves the old file as it was, and
// *error names the file and the reason.
bool writeTextFile(const QString &path, const QString &text, QString *error);

} // namespace orvane
