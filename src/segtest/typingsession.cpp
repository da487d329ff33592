#include "segtest/typingsession.h"

#include "prepare/codedictionary.h"
#include "prepare/render.h"

#include <QTextDocument>

namespace orvane {

namespace {

QRgb rgbOf(quint32 ref)
{
    return colorFromSetting(ref).rgb();
}

} // namespace

TypingSession::TypingSession(QTextDocument &document, TestDocument &doc, const UserSettings &settings,
                             const Clock &clock)
    : m_document(document), m_doc(doc), m_settings(settings), m_clock(clock)
{
}

int TypingSession::length() const
{
    // The document ends in one block separator of its own that is not part of the text.
    return qMax(0, m_document.characterCount() - 1);
}

QTextCursor TypingSession::selection() const
{
    QTextCursor cursor(&m_document);
    const int end = qMin(m_position + 1, length());
    cursor.setPosition(qMin(m_position, end));
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    return cursor;
}

void TypingSession::select(int position, bool highlight)
{
    m_position = position;
    if (highlight) {
        QTextCursor cursor = selection();
        if (cursor.hasSelection())
            setHighlight(cursor, true);
    }
}

void TypingSession::highlightOff()
{
    QTextCursor cursor = selection();
    if (cursor.hasSelection())
        setHighlight(cursor, false);
}

void TypingSession::start()
{
    m_doc.TypedText.clear();
    m_doc.RightCharCount = 0;
    m_doc.WrongCharCount = 0;
    m_doc.KeystrokeCount = 0;
    m_doc.UserWordCounts.fill(0);
    CurrentBurstLength = 0;
    select(0, true);
    LastCharTick = m_clock.tickMs();
}

QString TypingSession::currentCharacter() const
{
    QString c = selection().selectedText();
    if (c == QChar(QChar::ParagraphSeparator) || c == QChar(QChar::LineSeparator))
        c = QStringLiteral("\n");
    return c;
}

TypingSession::Outcome TypingSession::compare(const QString &typed)
{
    const qint64 now = m_clock.tickMs();
    if (now - LastCharTick > kBurstGapMs) {
        if (CurrentBurstLength >= 5)
            CurrentBurstLength = 5;
        if (CurrentBurstLength != 0)
            ++m_doc.UserWordCounts[CurrentBurstLength];
        CurrentBurstLength = 1;
    } else {
        ++CurrentBurstLength;
    }

    const QString expected = currentCharacter();
    m_doc.TypedText += expected;

    QTextCursor cursor = selection();
    const QRgb colour = cursor.charFormat().foreground().color().rgb();
    const bool hasColour = cursor.charFormat().hasProperty(QTextFormat::ForegroundBrush);
    QTextCharFormat format;
    if (!typed.isEmpty() && !expected.isEmpty() && typed.front() == expected.front()) {
        if (hasColour && colour == rgbOf(m_settings.ErrorColor))
            --m_doc.WrongCharCount;
        format.setForeground(colorFromSetting(m_settings.RightColor));
        ++m_doc.RightCharCount;
    } else {
        if (hasColour && colour == rgbOf(m_settings.RightColor))
            --m_doc.RightCharCount;
        format.setForeground(colorFromSetting(m_settings.ErrorColor));
        ++m_doc.WrongCharCount;
    }
    if (cursor.hasSelection())
        cursor.mergeCharFormat(format);

    highlightOff();
    ++m_position;
    if (m_position >= length())
        return Outcome::Finished;
    select(m_position, true);
    LastCharTick = m_clock.tickMs();
    return Outcome::Advanced;
}

void TypingSession::moveRight()
{
    highlightOff();
    int p = m_position + 1;
    if (p >= length())
        p = length() - 1;
    select(qMax(0, p), true);
}

void TypingSession::moveLeft()
{
    highlightOff();
    select(m_position > 0 ? m_position - 1 : m_position, true);
}

QString TypingSession::hintText() const
{
    const QString &marks = m_doc.CharMarks;
    const int p = m_position + 1; // 1-based
    if (p < 1 || p > marks.size())
        return currentCharacter();
    const QChar m = marks[p - 1];
    int i = p;
    while (i >= 1 && marks[i - 1] == m)
        --i;
    const int s = i + 1;
    int j = s;
    while (j <= marks.size() && marks[j - 1] == m)
        ++j;
    const int e = j - 1;
    if (s != p)
        return currentCharacter();
    QTextCursor cursor(&m_document);
    cursor.setPosition(qMin(s - 1, length()));
    cursor.setPosition(qMin(e, length()), QTextCursor::KeepAnchor);
    QString word = cursor.selectedText();
    word.replace(QChar(QChar::ParagraphSeparator), QLatin1Char('\n'));
    return word;
}

QString codeHintMessage(const QString &text, const ItemCodes &codes)
{
    if (codes.standard.isEmpty())
        return QStringLiteral("没有'") + text + QStringLiteral("'的编码！");
    QString message = QStringLiteral("'") + text + QStringLiteral("'的编码为:") + codes.standard;
    if (!codes.shortCode.isEmpty())
        message += QStringLiteral(",简码为：") + codes.shortCode;
    return message;
}

} // namespace orvane
