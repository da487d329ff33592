// Line breaking of the two text views: lines start only where a word starts.
#include "prepare/wordwrap.h"

#include <QApplication>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <QtTest>

using namespace orvane;

namespace {

// A text of words of two to four characters, with its marks (alternating 0/1) and with the
// editor's form (a blank between words).
struct Words {
    QString text;
    QString marks;
    QString spaced;
};

Words makeWords()
{
    const QStringList words = {u"我们"_qs, u"今天"_qs, u"在"_qs, u"学校"_qs, u"学习"_qs, u"中文输入法"_qs, u"老师"_qs,
        u"说"_qs, u"按词"_qs, u"输入"_qs, u"比"_qs, u"按字"_qs, u"输入"_qs, u"快"_qs, u"得多"_qs, u"，"_qs,
        u"人民代表"_qs, u"大会"_qs};
    Words w;
    for (int round = 0; round < 12; ++round) {
        for (const QString &word : words) {
            const QChar mark = word == u"，"_qs ? u'2' : (w.marks.isEmpty() || w.marks.back() != u'0') ? u'0' : u'1';
            w.text += word;
            w.marks += QString(word.size(), mark);
            if (!w.spaced.isEmpty())
                w.spaced += u' ';
            w.spaced += word;
        }
    }
    return w;
}

// Document positions where a line starts, past the first line of each block.
QList<int> lineStarts(QTextEdit &view)
{
    QList<int> starts;
    for (QTextBlock b = view.document()->begin(); b.isValid(); b = b.next()) {
        for (int i = 1; i < b.layout()->lineCount(); ++i)
            starts << b.position() + b.layout()->lineAt(i).textStart();
    }
    return starts;
}

void show(QTextEdit &view, int width, const QString &text)
{
    view.setPlainText(text);
    view.resize(width, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QApplication::processEvents();
}

} // namespace

class TestWordWrap : public QObject {
    Q_OBJECT
private slots:
    void testViewBreaksBetweenWords_data();
    void testViewBreaksBetweenWords();
    void editorBreaksAtBlanks_data() { testViewBreaksBetweenWords_data(); }
    void editorBreaksAtBlanks();
    void wordLongerThanALine();
    void clicksAndCursorFollowTheLines();
};

void TestWordWrap::testViewBreaksBetweenWords_data()
{
    QTest::addColumn<int>("width");
    for (int width : {140, 213, 301, 457})
        QTest::addRow("%d px", width) << width;
}

void TestWordWrap::testViewBreaksBetweenWords()
{
    QFETCH(int, width);
    const Words w = makeWords();
    // Qt's own layout breaks inside words at this width: what the layout is there to prevent.
    QTextEdit plain;
    show(plain, width, w.text);
    bool midWord = false;
    for (int p : lineStarts(plain))
        midWord = midWord || w.marks[p - 1] == w.marks[p];
    QVERIFY(midWord);

    QTextEdit view;
    QString marks = w.marks;
    wrapAtWords(view.document(), lineStartsAtMarkChanges(&marks, view.document()));
    show(view, width, w.text);
    const QList<int> starts = lineStarts(view);
    QVERIFY(starts.size() > 3);
    for (int p : starts) {
        QVERIFY2(w.marks[p - 1] != w.marks[p], qPrintable(QStringLiteral("a line starts inside a word at %1").arg(p)));
        QVERIFY2(w.text[p] != u'，', "a line starts with a comma");
    }
    QCOMPARE(view.toPlainText(), w.text);
}

void TestWordWrap::editorBreaksAtBlanks()
{
    QFETCH(int, width);
    const Words w = makeWords();
    QTextEdit view;
    wrapAtWords(view.document(), lineStartsAfterBlanks(view.document()));
    show(view, width, w.spaced);
    const QList<int> starts = lineStarts(view);
    QVERIFY(starts.size() > 3);
    for (int p : starts)
        QVERIFY2(w.spaced[p - 1] == u' ', qPrintable(QStringLiteral("a line starts inside a word at %1").arg(p)));
    // A blank the user typed with a Chinese input method is a blank too, and so is the start of
    // a line after it.
    view.setPlainText(QString(w.spaced).replace(u' ', QChar(0x3000)));
    QApplication::processEvents();
    for (int p : lineStarts(view))
        QCOMPARE(view.toPlainText()[p - 1], QChar(0x3000));
}

// A word wider than the view breaks where Qt breaks it; every character is on exactly one line.
void TestWordWrap::wordLongerThanALine()
{
    const QString text = u"中华人民共和国全国人民代表大会常务委员会"_qs;
    QString marks(text.size(), u'0');
    QTextEdit view;
    wrapAtWords(view.document(), lineStartsAtMarkChanges(&marks, view.document()));
    show(view, 90, text);
    const QTextLayout *layout = view.document()->begin().layout();
    QVERIFY(layout->lineCount() > 1);
    int covered = 0;
    for (int i = 0; i < layout->lineCount(); ++i) {
        QCOMPARE(layout->lineAt(i).textStart(), covered);
        QVERIFY(layout->lineAt(i).textLength() > 0);
        covered += layout->lineAt(i).textLength();
    }
    QCOMPARE(covered, text.size());
}

// The view still maps points to positions and positions to places: a click on the first
// character of the second line puts the cursor there, and the cursor's rectangle is on that line.
void TestWordWrap::clicksAndCursorFollowTheLines()
{
    const Words w = makeWords();
    QTextEdit view;
    QString marks = w.marks;
    wrapAtWords(view.document(), lineStartsAtMarkChanges(&marks, view.document()));
    show(view, 213, w.text);
    const QTextLayout *layout = view.document()->begin().layout();
    QVERIFY(layout->lineCount() > 2);
    const QTextLine second = layout->lineAt(1);
    const QPointF inside = layout->position() + QPointF(second.x() + 2, second.y() + second.height() / 2);
    QCOMPARE(view.document()->documentLayout()->hitTest(inside, Qt::FuzzyHit), second.textStart());
    QTextCursor c(view.document());
    c.setPosition(second.textStart());
    view.setTextCursor(c);
    const QRect r = view.cursorRect();
    QVERIFY2(qAbs(r.center().y() - (layout->position().y() + second.y() + second.height() / 2)) < second.height(),
        "the cursor is drawn on the line of its character");
    QVERIFY(view.document()->documentLayout()->documentSize().height() >= layout->boundingRect().height());
}

QTEST_MAIN(TestWordWrap)
#include "test_wordwrap.moc"
