// The plain-text files of examplefiles.h (the text with separators, the segmentation result),
// apart from the rich-text example files so that using them needs no Qt Gui.
#include "segtest/examplefiles.h"

namespace orvane {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

} // namespace

QString separatedText(const QString &text, const QString &marks)
{
    QString out;
    out.reserve(text.size() + text.size() / 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        out += text.at(i);
        if (i + 1 < text.size() && i + 1 < marks.size() && marks.at(i) != marks.at(i + 1))
            out += u' ';
    }
    return out + kCrLf;
}

QString segmentationResultText(const WordTable &words)
{
    QString out;
    for (int cls = 1; cls <= 5; ++cls) {
        for (const StatEntry &e : words[cls])
            out += u'"' + e.text + u'"' + kCrLf;
    }
    return out;
}

} // namespace orvane
