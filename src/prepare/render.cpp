#include "prepare/render.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

namespace orvane {

namespace {

void select(QTextCursor &c, int start, int length)
{
    c.setPosition(start);
    c.setPosition(start + length, QTextCursor::KeepAnchor);
}

void setColor(QTextCursor &c, quint32 ref)
{
    QTextCharFormat f;
    f.setForeground(colorFromSetting(ref));
    c.mergeCharFormat(f);
}

void setShortCodeMark(QTextCursor &c, bool on)
{
    QTextCharFormat f;
    f.setUnderlineStyle(on ? QTextCharFormat::DotLine : QTextCharFormat::NoUnderline);
    c.mergeCharFormat(f);
}

// The run of equal marks from i on; symbols stand alone in the editor.
int runEnd(const QString &marks, int i, bool symbolsAlone)
{
    const QChar c = marks[i];
    if (symbolsAlone && c == QLatin1Char('2'))
        return i + 1;
    int j = i + 1;
    while (j < marks.size() && marks[j] == c)
        ++j;
    return j;
}

quint32 wordColor(QChar mark, const UserSettings &s)
{
    return mark == QLatin1Char('0') ? s.AltColor1 : s.AltColor2;
}

bool isWordMark(QChar m)
{
    return m == QLatin1Char('0') || m == QLatin1Char('1');
}

// Colours one run word by word; returns its end.
int renderRun(QTextCursor &c, const QString &marks, int i, bool symbolsAlone, const UserSettings &s,
    const ShortCodeLookup &lookup, bool skipLoneQuotes)
{
    const int j = runEnd(marks, i, symbolsAlone);
    select(c, i, j - i);
    const QChar mark = marks[i];
    const QString w = c.selectedText();
    if (skipLoneQuotes && (w == QLatin1String("\"") || w == QLatin1String("'")))
        return j;
    if (isWordMark(mark)) {
        const bool shortCode = lookup && !lookup(w).isEmpty();
        setColor(c, wordColor(mark, s));
        setShortCodeMark(c, shortCode);
    } else if (mark == QLatin1Char('2')) {
        setColor(c, s.SymbolColor);
    } else if (mark == QLatin1Char('4')) {
        setColor(c, s.AlphaColor);
    }
    return j;
}

// Colours one character in the character-by-character mode.
void renderChar(QTextCursor &c, const QString &marks, int i, const UserSettings &s, bool setKaiFont)
{
    select(c, i, 1);
    const QChar mark = marks[i];
    if (isWordMark(mark)) {
        setColor(c, wordColor(mark, s));
        if (hasShortCodeMark(c.charFormat())) {
            QTextCharFormat f;
            f.setUnderlineStyle(QTextCharFormat::NoUnderline);
            if (setKaiFont)
                f.setFontFamilies({kaiFontName()});
            c.mergeCharFormat(f);
        }
    } else if (mark == QLatin1Char('2')) {
        setColor(c, s.SymbolColor);
    } else if (mark == QLatin1Char('4')) {
        setColor(c, s.AlphaColor);
    }
}

// The format of the one selected character (a cursor's charFormat is that before its position).
QTextCharFormat formatOfSelected(const QTextCursor &c)
{
    QTextCursor probe(c.document());
    probe.setPosition(c.selectionEnd());
    return probe.charFormat();
}

} // namespace

bool hasShortCodeMark(const QTextCharFormat &format)
{
    return format.underlineStyle() != QTextCharFormat::NoUnderline;
}

QColor highlightBackground()
{
    return QColor(0xFF, 0xF0, 0x96);
}

QTextCharFormat highlightFormat()
{
    QTextCharFormat f;
    f.setFontWeight(QFont::Bold);
    f.setBackground(highlightBackground());
    return f;
}

void setHighlight(QTextCursor &selection, bool on)
{
    if (on) {
        selection.mergeCharFormat(highlightFormat());
        return;
    }
    // Merging cannot remove a property: each character gets its own format without the
    // background (the selection is one character during a test).
    for (int p = selection.selectionStart(); p < selection.selectionEnd(); ++p) {
        QTextCursor one(selection.document());
        one.setPosition(p);
        one.setPosition(p + 1, QTextCursor::KeepAnchor);
        QTextCharFormat g = formatOfSelected(one);
        g.clearBackground();
        g.setFontWeight(QFont::Normal);
        one.setCharFormat(g);
    }
}

bool hasHighlight(const QTextCursor &selection)
{
    const QTextCharFormat f = formatOfSelected(selection);
    return f.fontWeight() >= QFont::Bold && f.hasProperty(QTextFormat::BackgroundBrush);
}

void RenderTestView(QTextDocument &document, const QString &marks, const UserSettings &settings,
    const ShortCodeLookup &lookup, const RenderProgress &progress)
{
    const int n = int(marks.size());
    if (n == 0)
        return;
    const int positions = std::min(n, document.characterCount() - 1);
    QTextCursor c(&document);
    c.beginEditBlock();
    if (!settings.NeedSegmentation) {
        select(c, 0, positions);
        QTextCharFormat f;
        f.setForeground(QColor(Qt::black));
        f.setUnderlineStyle(QTextCharFormat::NoUnderline);
        c.mergeCharFormat(f);
        if (progress)
            progress(n, n);
    } else {
        int i = 0;
        while (i < positions) {
            if (progress)
                progress(i + 1, n);
            if (settings.NeedShortCodeTips) {
                i = renderRun(c, marks.left(positions), i, false, settings, lookup, false);
            } else {
                renderChar(c, marks, i, settings, true);
                ++i;
            }
        }
    }
    c.setPosition(0);
    c.endEditBlock();
}

void RenderEditorView(QTextDocument &document, const QString &marks, const UserSettings &settings,
    const ShortCodeLookup &lookup, const RenderProgress &progress)
{
    const int n = int(marks.size());
    if (n == 0)
        return;
    const int positions = std::min(n, document.characterCount() - 1);
    const QString usable = marks.left(positions);
    QTextCursor c(&document);
    c.beginEditBlock();
    int i = 0;
    while (i < positions) {
        if (progress)
            progress(i + 1, n);
        if (settings.NeedShortCodeTips) {
            i = renderRun(c, usable, i, true, settings, lookup, true);
        } else {
            renderChar(c, usable, i, settings, false);
            ++i;
        }
    }
    c.setPosition(0);
    c.endEditBlock();
}

void installFontSubstitutions()
{
    const QStringList families = QFontDatabase::families();
    QStringList kai;
    for (const QString &f : families) {
        if (f.contains(QLatin1String("Kai"), Qt::CaseInsensitive) || f.contains(QStringLiteral("楷")))
            kai << f;
    }
    if (!kai.isEmpty())
        QFont::insertSubstitutions(kaiFontName(), kai);

    // The windows are written in a plain sans-serif face. Font matching for Chinese may fall on a
    // Kai face, which is the look of the character-by-character mode, not of captions and text.
    static const char *const sans[] = {
        "Noto Sans CJK SC", "Source Han Sans SC", "WenQuanYi Micro Hei", "WenQuanYi Zen Hei", "Droid Sans Fallback"};
    for (const char *name : sans) {
        const QString family = QString::fromLatin1(name);
        if (families.contains(family)) {
            QFont font = QGuiApplication::font();
            font.setFamilies({family});
            QGuiApplication::setFont(font);
            break;
        }
    }
}

} // namespace orvane
