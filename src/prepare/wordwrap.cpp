#include "prepare/wordwrap.h"

#include <QPainter>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextDocument>
#include <QTextLayout>
#include <QVariant>

#include <cmath>
#include <limits>

namespace orvane {

WordWrapLayout::WordWrapLayout(QTextDocument *document, LineStartRule rule)
    : QAbstractTextDocumentLayout(document), m_rule(std::move(rule))
{ }

qreal WordWrapLayout::layoutBlock(const QTextBlock &block, qreal top, qreal width)
{
    QTextLayout *layout = block.layout();
    QTextOption option = document()->defaultTextOption();
    option.setTextDirection(block.textDirection());
    layout->setTextOption(option);
    const QString text = block.text();
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    const bool wrap = width > 0 && option.wrapMode() != QTextOption::NoWrap;
    const int blockStart = block.position();

    layout->beginLayout();
    qreal height = 0;
    for (;;) {
        QTextLine line = layout->createLine();
        if (!line.isValid())
            break;
        line.setLeadingIncluded(true);
        line.setLineWidth(wrap ? width : std::numeric_limits<qreal>::max() / 4);
        const int start = line.textStart();
        const int end = start + line.textLength();
        if (wrap && end < text.size()) {
            // Back to the last position in the line where a word starts and Unicode allows a
            // break; without one the line stays as Qt broke it.
            int k = end;
            while (k > start) {
                breaks.setPosition(k);
                if (breaks.isAtBoundary() && m_rule(blockStart + k))
                    break;
                --k;
            }
            if (k > start && k < end)
                line.setNumColumns(k - start);
        }
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout->endLayout();
    layout->setPosition(QPointF(document()->documentMargin(), top));
    return height;
}

void WordWrapLayout::documentChanged(int, int, int)
{
    QTextDocument *doc = document();
    const qreal margin = doc->documentMargin();
    const qreal pageWidth = doc->pageSize().width();
    const qreal width = pageWidth > 0 ? pageWidth - 2 * margin : 0;
    qreal y = margin;
    qreal widest = 0;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        y += layoutBlock(block, y, width);
        widest = std::max(widest, block.layout()->boundingRect().width());
    }
    const QSizeF size(pageWidth > 0 ? pageWidth : widest + 2 * margin, y + margin);
    const bool grew = size != m_size;
    m_size = size;
    if (grew)
        emit documentSizeChanged(size);
    emit update(QRectF(0, 0, 1e9, 1e9));
}

void WordWrapLayout::draw(QPainter *painter, const PaintContext &context)
{
    const int cursorWidth = property("cursorWidth").isValid() ? property("cursorWidth").toInt() : 1;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        QTextLayout *layout = block.layout();
        const QRectF box = blockBoundingRect(block);
        if (context.clip.isValid() && (box.bottom() < context.clip.top() || box.top() > context.clip.bottom()))
            continue;
        const int from = block.position();
        const int length = block.length();
        QList<QTextLayout::FormatRange> selections;
        for (const Selection &s : context.selections) {
            const int start = s.cursor.selectionStart() - from;
            const int end = s.cursor.selectionEnd() - from;
            if (end <= 0 || start >= length || start == end)
                continue;
            QTextLayout::FormatRange range;
            range.start = std::max(start, 0);
            range.length = std::min(end, length) - range.start;
            range.format = s.format;
            selections << range;
        }
        layout->draw(painter, QPointF(0, 0), selections, context.clip);
        if (context.cursorPosition >= from && context.cursorPosition < from + length)
            layout->drawCursor(painter, QPointF(0, 0), context.cursorPosition - from, cursorWidth);
    }
}

int WordWrapLayout::hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const
{
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QTextLayout *layout = block.layout();
        const QPointF at = point - layout->position();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            if (at.y() > line.rect().bottom() && (block.next().isValid() || i + 1 < layout->lineCount()))
                continue;
            if (accuracy == Qt::ExactHit
                && (at.x() < line.x() || at.x() > line.x() + line.naturalTextWidth() || at.y() < line.y()))
                return -1;
            return block.position() + line.xToCursor(at.x());
        }
    }
    return accuracy == Qt::ExactHit ? -1 : std::max(0, document()->characterCount() - 1);
}

QSizeF WordWrapLayout::documentSize() const
{
    return m_size;
}

QRectF WordWrapLayout::frameBoundingRect(QTextFrame *) const
{
    return QRectF(QPointF(0, 0), m_size);
}

QRectF WordWrapLayout::blockBoundingRect(const QTextBlock &block) const
{
    const QTextLayout *layout = block.layout();
    if (!layout || layout->lineCount() == 0)
        return QRectF();
    QRectF box = layout->boundingRect();
    box.moveTopLeft(layout->position());
    return box;
}

WordWrapLayout::LineStartRule lineStartsAtMarkChanges(const QString *marks, const QTextDocument *document)
{
    return [marks, document](int position) {
        if (marks->size() != document->characterCount() - 1 || position <= 0 || position >= marks->size())
            return true;
        return marks->at(position - 1) != marks->at(position);
    };
}

WordWrapLayout::LineStartRule lineStartsAfterBlanks(const QTextDocument *document)
{
    return [document](int position) {
        if (position <= 0)
            return true;
        const QChar before = document->characterAt(position - 1);
        return before == QLatin1Char(' ') || before == QChar(0x3000);
    };
}

void wrapAtWords(QTextDocument *document, WordWrapLayout::LineStartRule rule)
{
    document->setDocumentLayout(new WordWrapLayout(document, std::move(rule)));
}

} // namespace orvane
