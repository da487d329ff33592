#include "editor/customwords.h"

#include "prepare/textforms.h"

#include "orvane/codes/customdict.h"

namespace orvane {

namespace {

bool isDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QChar(0xFF10) && c <= QChar(0xFF19));
}

// Latin letters and digits in half and full width: typed outside the Chinese input method.
bool isLatinOrDigit(QChar c)
{
    const char16_t u = c.unicode();
    return isDigit(c) || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= 0xFF21 && u <= 0xFF3A)
        || (u >= 0xFF41 && u <= 0xFF5A);
}

// The end of the letters and digits that start at i: a decimal point between two digits and a
// percent sign after a digit belong to the number (2.5, ６０％), as in the segmentation's marks.
qsizetype latinOrDigitEnd(const QString &piece, qsizetype i)
{
    while (i < piece.size()) {
        const QChar c = piece.at(i);
        const bool afterDigit = i > 0 && isDigit(piece.at(i - 1));
        if (isLatinOrDigit(c))
            ++i;
        else if (afterDigit && (c == QLatin1Char('.') || c == QChar(0xFF0E)) && i + 1 < piece.size()
            && isDigit(piece.at(i + 1)))
            ++i;
        else if (afterDigit && (c == QLatin1Char('%') || c == QChar(0xFF05) || c == QChar(0x2030)))
            ++i;
        else
            break;
    }
    return i;
}

// A piece split where letters and digits meet other characters: 2011年 is 2011 and 年, so that
// the digits are marked as such and the word after them keeps its own mark.
QStringList splitLatinAndDigits(const QString &piece)
{
    QStringList parts;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < piece.size()) {
        if (!isLatinOrDigit(piece.at(i))) {
            ++i;
            continue;
        }
        if (i > start)
            parts << piece.mid(start, i - start);
        const qsizetype end = latinOrDigitEnd(piece, i);
        parts << piece.mid(i, end - i);
        start = i = end;
    }
    if (start < piece.size())
        parts << piece.mid(start);
    return parts;
}

// The editor's blanks: the half-width one it puts between words, and the full-width one a
// Chinese input method types.
bool isEditorBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QChar(0x3000);
}

// The first character of a piece, a surrogate pair counted as one.
QString firstCharacter(const QString &piece)
{
    if (piece.size() > 1 && piece.at(0).isHighSurrogate() && piece.at(1).isLowSurrogate())
        return piece.left(2);
    return piece.left(1);
}

} // namespace

bool isCustomWord(const QString &word)
{
    return codes::CustomDictionary::isValidWord(
        std::u16string_view(reinterpret_cast<const char16_t *>(word.utf16()), std::size_t(word.size())));
}

QString customWordRuleMessage()
{
    return QStringLiteral("自定义词必须由两个或两个以上的汉字组成，不能含有字母、数字、符号或空格！");
}

SavedWords markSavedWords(const QString &spacedText, const StandardCodeLookup &lookup)
{
    SavedWords out;
    out.text.reserve(spacedText.size());
    out.marks.reserve(spacedText.size());
    int previous = -1;
    QStringList pieces;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= spacedText.size(); ++i) {
        if (i < spacedText.size() && !isEditorBlank(spacedText.at(i)))
            continue;
        if (i > start)
            pieces << splitLatinAndDigits(spacedText.mid(start, i - start));
        start = i + 1;
    }
    for (const QString &piece : pieces) {
        int mark;
        if (isLatinOrDigit(piece.at(0))) {
            mark = 4;
        } else if (!lookup(piece).isEmpty()) {
            mark = (previous + 1) % 2;
        } else if (!lookup(firstCharacter(piece)).isEmpty()) {
            mark = (previous + 1) % 2;
            if (isCustomWord(piece))
                out.candidates << piece;
        } else {
            mark = 2;
        }
        out.text += piece;
        out.marks += QString(piece.size(), QLatin1Char(char('0' + mark)));
        previous = mark;
    }
    return out;
}

QString candidateTag(const QStringList &candidates)
{
    QString tag;
    for (const QString &w : candidates)
        tag += w + QLatin1Char(' ');
    return tag;
}

QStringList distinctCandidates(const QString &tag)
{
    QStringList words;
    for (const QString &w : tag.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!isCustomWord(w))
            continue;
        bool seen = false;
        for (const QString &earlier : words) {
            if (textEqual(earlier, w)) {
                seen = true;
                break;
            }
        }
        if (!seen)
            words << w;
    }
    return words;
}

} // namespace orvane
