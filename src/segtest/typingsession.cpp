#include "segtest/typingsession.h"

#include "prepare/codedictionary.h"
#include "prepare/render.h"
#include "prepare/textforms.h"

#include <QTextDocument>

namespace orvane {

namespace {

QRgb rgbOf(quint32 ref)
{
    return colorFromSetting(ref).rgb();
}

// A line break as the document holds it (a block ends in a paragraph separator).
bool isLineBreak(QChar c)
{
    return c == QChar(QChar::ParagraphSeparator) || c == QChar(QChar::LineSeparator) || c == QLatin1Char('\n')
        || c == QLatin1Char('\r');
}

} // namespace

TypingSession::TypingSession(QTextDocument &document, const TestDocument &doc, TestCounters &counters,
    const UserSettings &settings, const Clock &clock)
    : m_document(document), m_doc(doc), m_counters(counters), m_settings(settings), m_clock(clock)
{ }

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

void TypingSession::changed()
{
    if (overlayChanged)
        overlayChanged();
}

void TypingSession::select(int position, bool highlight)
{
    m_position = position;
    m_highlight = highlight && position < length();
    changed();
}

void TypingSession::highlightOff()
{
    if (!m_highlight)
        return;
    m_highlight = false;
    changed();
}

void TypingSession::recordCommit(const QString &text)
{
    if (text.isEmpty())
        return;
    m_commits.push_back(
        {m_position, text, m_clock.tickMs() - m_startTick, m_counters.KeystrokeCount - m_keysAtLastCommit});
    m_keysAtLastCommit = m_counters.KeystrokeCount;
}

void TypingSession::start()
{
    m_counters = TestCounters{};
    CurrentBurstLength = 0;
    m_commits.clear();
    m_keysAtLastCommit = 0;
    m_startTick = m_clock.tickMs();

    // The document keeps its rendering until finish(): the colour of an untyped character is
    // read from it.
    const int n = length();
    m_result.assign(std::size_t(n), Untyped);
    // Line breaks at the very end of the text (a file's last line ends in one) are not typed:
    // the test ends with the last character that shows.
    m_end = n;
    while (m_end > 1 && isLineBreak(m_document.characterAt(m_end - 1)))
        --m_end;
    select(0, true);
    LastCharTick = m_clock.tickMs();
}

TypingSession::Typed TypingSession::typedAt(int pos) const
{
    if (pos < 0 || std::size_t(pos) >= m_result.size())
        return Typed::Not;
    switch (m_result[std::size_t(pos)]) {
    case TypedRight: return Typed::Right;
    case TypedWrong: return Typed::Wrong;
    default: return Typed::Not;
    }
}

QRgb TypingSession::colourAt(int pos) const
{
    if (pos < 0 || std::size_t(pos) >= m_result.size())
        return qRgb(0, 0, 0);
    switch (m_result[std::size_t(pos)]) {
    case TypedRight: return rgbOf(m_settings.RightColor);
    case TypedWrong: return rgbOf(m_settings.ErrorColor);
    default: break;
    }
    QTextCursor cursor(&m_document);
    cursor.setPosition(pos);
    cursor.setPosition(pos + 1, QTextCursor::KeepAnchor);
    const QTextCharFormat format = cursor.charFormat();
    return format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color().rgb() : qRgb(0, 0, 0);
}

void TypingSession::forEachTypedRun(const std::function<void(int, int, const QColor &)> &visit) const
{
    const int n = int(m_result.size());
    for (int i = 0; i < n;) {
        const quint8 r = m_result[std::size_t(i)];
        int j = i + 1;
        while (j < n && m_result[std::size_t(j)] == r)
            ++j;
        if (r != Untyped)
            visit(i, j - i, colorFromSetting(r == TypedRight ? m_settings.RightColor : m_settings.ErrorColor));
        i = j;
    }
}

QVector<QTextLayout::FormatRange> TypingSession::overlay() const
{
    QVector<QTextLayout::FormatRange> ranges;
    forEachTypedRun([&ranges](int start, int length, const QColor &colour) {
        QTextLayout::FormatRange range;
        range.start = start;
        range.length = length;
        range.format.setForeground(colour);
        ranges.append(range);
    });
    if (m_highlight) {
        QTextLayout::FormatRange range;
        range.start = m_position;
        range.length = 1;
        range.format = highlightFormat();
        range.format.setForeground(QColor::fromRgb(colourAt(m_position)));
        ranges.append(range);
    }
    return ranges;
}

void TypingSession::finish()
{
    m_highlight = false;
    QTextCursor cursor(&m_document);
    cursor.beginEditBlock();
    forEachTypedRun([&cursor](int start, int length, const QColor &colour) {
        cursor.setPosition(start);
        cursor.setPosition(start + length, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setForeground(colour);
        cursor.mergeCharFormat(format);
    });
    cursor.endEditBlock();
    m_result.clear();
    changed();
}

QString TypingSession::currentCharacter() const
{
    const QString c = selection().selectedText();
    return c.size() == 1 && isLineBreak(c.front()) ? QStringLiteral("\n") : c;
}

TypingSession::Outcome TypingSession::compare(const QString &typed)
{
    const qint64 now = m_clock.tickMs();
    if (now - LastCharTick > kBurstGapMs) {
        if (CurrentBurstLength >= 5)
            CurrentBurstLength = 5;
        if (CurrentBurstLength != 0)
            ++m_counters.UserWordCounts[CurrentBurstLength];
        CurrentBurstLength = 1;
    } else {
        ++CurrentBurstLength;
    }

    const QString expected = currentCharacter();
    m_counters.TypedText += expected;

    const std::size_t at = std::size_t(m_position);
    const QRgb colour = colourAt(m_position);
    if (at < m_result.size() && m_result[at] != Untyped)
        ++m_counters.RetypedCount;
    m_counters.TypedStretch = qMax(m_counters.TypedStretch, m_position + 1);
    // A symbol of the text is shown widened ("-" as "－"), while the key gives the narrow form
    // unless the input method's punctuation maps it: both forms of a character count as right.
    if (!typed.isEmpty() && !expected.isEmpty() && narrow(typed.front()) == narrow(expected.front())) {
        if (colour == rgbOf(m_settings.ErrorColor))
            --m_counters.WrongCharCount;
        if (at < m_result.size())
            m_result[at] = TypedRight;
        ++m_counters.RightCharCount;
    } else {
        if (colour == rgbOf(m_settings.RightColor))
            --m_counters.RightCharCount;
        if (at < m_result.size())
            m_result[at] = TypedWrong;
        ++m_counters.WrongCharCount;
    }

    m_highlight = false; // shown with the next overlay
    ++m_position;
    if (m_position >= m_end) {
        changed();
        return Outcome::Finished;
    }
    select(m_position, true);
    LastCharTick = m_clock.tickMs();
    return Outcome::Advanced;
}

void TypingSession::moveRight()
{
    int p = m_position + 1;
    if (p >= m_end)
        p = m_end - 1;
    select(qMax(0, p), true);
}

void TypingSession::moveLeft()
{
    select(m_position > 0 ? m_position - 1 : m_position, true);
}

void TypingSession::pressLeft()
{
    ++m_counters.LeftCount;
    moveLeft();
}

void TypingSession::pressBackspace()
{
    ++m_counters.BackspaceCount;
    moveLeft();
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

} // namespace orvane
