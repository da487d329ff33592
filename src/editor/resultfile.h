// The segmentation result (*.fcr) as the add-word dialog reads it back.
//
// The test window writes one word per line, enclosed in double quotes, lines ended by CR LF.
// The reader takes the file as a list of items in the way such lists have always been read:
//   - an item ends at a comma or at a line end (CR LF, LF or a lone CR);
//   - blanks and tabs before and after an item are dropped;
//   - an item that begins with a double quote runs to the next double quote and loses both;
//     commas and blanks inside the quotes belong to the item, anything between the closing
//     quote and the next comma or line end is dropped; a quote that is never closed ends at
//     the line end;
//   - empty items (blank lines, ",,") are passed over.
// The encoding is detected as for every text file of the program (decodeText).
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace orvane {

// Files above this size are not segmentation results of a text (a text has at most 2,000
// characters); the reader refuses them instead of filling the dialog with megabytes.
inline constexpr qint64 kMaxResultFileBytes = 4 * 1024 * 1024;

// The items of a result file's text, in order.
QStringList parseResultItems(const QString &text);

// Reads and parses a result file. On failure returns false and sets *error to a message that
// names the file and the reason.
bool readResultFile(const QString &path, QStringList *items, QString *error);

// The text the dialog shows: a blank before every item.
QString resultViewText(const QStringList &items);

// A selection of the result view as a word: every blank taken out.
QString wordFromSelection(const QString &selection);

} // namespace orvane
