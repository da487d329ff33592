// Line breaking at word boundaries for the two text views.
//
// A Chinese text may break between any two characters, so that a line end would look like a
// word boundary in the middle of a word. This layout lays the document out block by block
// with QTextLayout, like Qt's own, but ends a line only where the view's rule allows a line to
// start (and where Unicode line breaking allows it too: no line starts with a closing mark).
// A word longer than the whole line still breaks where Qt would break it. The text, its
// formats and the marks are not changed.
#pragma once

#include <QAbstractTextDocumentLayout>
#include <functional>

namespace orvane {

class WordWrapLayout final : public QAbstractTextDocumentLayout {
    Q_OBJECT
public:
    // True when a line may start at this document position (a word starts there).
    using LineStartRule = std::function<bool(int position)>;

    WordWrapLayout(QTextDocument *document, LineStartRule rule);

    void draw(QPainter *painter, const PaintContext &context) override;
    int hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame *frame) const override;
    QRectF blockBoundingRect(const QTextBlock &block) const override;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    qreal layoutBlock(const QTextBlock &block, qreal top, qreal width);

    LineStartRule m_rule;
    QSizeF m_size;
};

// Word boundaries from marks, one per position: a line may start where the mark changes. When
// the marks do not fit the text (while it is being edited, for instance) any position may.
WordWrapLayout::LineStartRule lineStartsAtMarkChanges(const QString *marks, const QTextDocument *document);

// Word boundaries from blanks (the editor's form of a text): a line may start after a blank.
WordWrapLayout::LineStartRule lineStartsAfterBlanks(const QTextDocument *document);

// Gives a view's document a word-wrapping layout with the rule.
void wrapAtWords(QTextDocument *document, WordWrapLayout::LineStartRule rule);

} // namespace orvane
