// Rich Text Format for the text views: the snapshot of the test view (temp.zh) and segmented
// examples (*.sav).
//
// The writer puts out the document's text with, per run of characters, the foreground colour,
// the font name and size, bold, italic, underline and the background colour; characters beyond
// ASCII as \uN with a '?' fallback, paragraphs as \par. LibreOffice and WordPad open the result.
// The reader takes what the writer writes and RTF written by other programs (LibreOffice, Word,
// WordPad): it follows the group structure, the font and colour tables, \uN with \ucN, \'hh in
// the document's code page, and skips destinations it does not know. It refuses, with the reason,
// input that is not RTF or whose groups do not close, and never reads past its input.
#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace orvane {

QByteArray writeRtf(const QTextDocument &document);

struct RtfError {
    QString message;
    qsizetype offset = 0; // byte offset where reading stopped
};

// Replaces the content of document with the RTF text. On failure the document is left as it was.
bool readRtf(const QByteArray &rtf, QTextDocument *document, RtfError *error = nullptr);

} // namespace orvane
