#include "editor/customwords.h"

#include "prepare/textforms.h"

#include "orvane/codes/customdict.h"

namespace orvane {

namespace {

bool isLatinOrDigit(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
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
    const QStringList pieces = spacedText.split(QLatin1Char(' '), Qt::SkipEmptyParts);
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
