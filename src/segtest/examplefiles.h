// Segmented examples (a rich-text main file and a mark file beside it), the plain text with
// separators, and the segmentation result.
#pragma once

#include <QString>

class QTextDocument;

namespace orvane {

// The mark file that belongs to a main file; never equal to mainPath.
QString auxiliaryPath(const QString &mainPath);

// Writes the document as rich text to mainPath and the marks to its auxiliary file.
bool writeExample(const QString &mainPath, const QTextDocument &document, const QString &marks, QString *error);

} // namespace orvane
