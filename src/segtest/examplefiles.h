// Segmented examples (a rich-text main file and a mark file beside it), the plain text with
// separators, and the segmentation result.
//
// A segmented example keeps a rendered text twice: the view's rich text in the main file (*.sav,
// RTF as writeRtf writes it) and the marks, one digit per character of the text, in the mark file
// beside it: one line, the marks in double quotes, CR LF. Files are written in UTF-8 with CR LF and
// replaced atomically; readers also accept GB18030 and UTF-16 (decodeText). The reader checks that
// the marks fit the text before it changes anything, so a stray or edited mark file cannot leave
// the view and the marks out of step.
#pragma once

#include "segtest/statsdata.h"

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace orvane {

// The mark file that belongs to a main file; never equal to mainPath. "a.sav" gives "a.ext";
// any other name (another extension, "A.SAV", no extension) gets ".ext" appended.
QString auxiliaryPath(const QString &mainPath);

// Writes the document as rich text to mainPath and the marks to its auxiliary file, both or
// neither: both files are written out in full before either replaces an old one (saveFiles).
bool writeExample(const QString &mainPath, const QTextDocument &document, const QString &marks, QString *error);

// The content of a mark file for these marks.
QByteArray markFileBytes(const QString &marks);

// Reads the marks out of the bytes of a mark file: the text between the first pair of double
// quotes on the first line. Refuses, with the reason, content without that, marks other than
// 0, 1, 2 and 4, and content that goes on after the line.
bool parseMarkFile(const QByteArray &bytes, QString *marks, QString *error);

// Empty when the marks fit a text of textLength positions, else the reason they do not.
QString marksMismatch(const QString &marks, qsizetype textLength);

enum class ExampleReadStatus { Ok, AuxiliaryMissing, Failed };

// Reads the example at mainPath: the mark file must exist, parse, and fit the text of the main
// file. Only then is the document replaced and *marks set; otherwise both are left as they were
// and *error says why.
ExampleReadStatus readExample(const QString &mainPath, QTextDocument *document, QString *marks, QString *error);

// The text with a space between every two neighbouring characters whose marks differ.
QString separatedText(const QString &text, const QString &marks);

// The segmentation result file: each word of the word table, class 1 to 5 in table order, in
// double quotes, one a line.
QString segmentationResultText(const WordTable &words);

} // namespace orvane
