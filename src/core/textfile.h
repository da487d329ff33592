// Text files as this program reads and writes them.
//
// Reading detects the encoding: a byte-order mark (UTF-8, UTF-16 LE/BE), else valid UTF-8, else
// GB18030 (a superset of GB2312 and GBK), so that files made on Chinese Windows systems open as
// well as our own. Writing is always UTF-8 without a byte-order mark; the caller decides the line
// ends (the program writes CR LF).
#pragma once

#include <QByteArray>
#include <QString>

namespace orvane {

enum class TextEncoding { Utf8Bom, Utf16LE, Utf16BE, Utf8, Gb18030 };

// The encoding that decodeText would use for these bytes.
TextEncoding detectEncoding(const QByteArray &bytes);

QString decodeText(const QByteArray &bytes);

// Reads a whole file. On failure returns false and sets *error to a message naming the file.
bool readTextFile(const QString &path, QString *text, QString *error);

// Writes the file as a whole (saveFile): a failure part-way leaves the old file as it was, and
// *error names the file and the reason.
bool writeTextFile(const QString &path, const QString &text, QString *error);

} // namespace orvane
