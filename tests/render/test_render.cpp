#include "prepare/render.h"
#include "prepare/richtext.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using namespace orvane;

namespace {

UserSettings defaultSettings()
{
    UserSettings s;
    s.AltColor1 = 0x000000;
    s.AltColor2 = 0xFF0000;
    s.SymbolColor = 0xFF00FF;
    s.RightColor = 0x00FF00;
    s.ErrorColor = 0x0000FF;
    s.AlphaColor = 0xFFFF00;
    s.NeedSegmentation = true;
    s.NeedShortCodeTips = true;
    return s;
}

QTextCharFormat formatAt(QTextDocument &doc, int pos)
{
    QTextCursor c(&doc);
    c.setPosition(pos + 1);
    return c.charFormat();
}

QString colorAt(QTextDocument &doc, int pos)
{
    return formatAt(doc, pos).foreground().color().name();
}

// 我们 是 ，。 a 的 的: words 0 0 1 2 2 4 0 0 — the second word "是" has a short code.
const QString kText = QStringLiteral("我们是，。a学生");
const QString kMarks = QStringLiteral("00122400");

QString lookup(const QString &w)
{
    return w == QStringLiteral("是") ? QStringLiteral("1") : QString();
}

} // namespace

class TestRender : public QObject {
    Q_OBJECT
private slots:
    void testViewWordByWord();
    void renderingTwiceGivesTheSame();
    void withoutSegmentationAllBlack();
    void characterModeTakesTheMarkOffAndSetsKai();
    void editorViewLeavesSeparatorsAndQuotes();
    void emptyMarksLeaveTheViewAlone();
    void highlightIsItsOwnAttribute();
};

void TestRender::testViewWordByWord()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("你好，，a中文"));
    QList<int> progress;
    RenderTestView(doc, QStringLiteral("0011224"), defaultSettings(), lookup, [&](int v, int) { progress << v; });
    QCOMPARE(colorAt(doc, 0), QStringLiteral("#000000"));
    QCOMPARE(colorAt(doc, 2), QStringLiteral("#0000ff"));
    QCOMPARE(colorAt(doc, 4), QStringLiteral("#ff00ff"));
    QCOMPARE(colorAt(doc, 6), QStringLiteral("#00ffff"));
    QCOMPARE(progress, (QList<int>{1, 3, 5, 7})); // one step per run
}

void TestRender::renderingTwiceGivesTheSame()
{
    QTextDocument doc;
    doc.setPlainText(kText);
    RenderTestView(doc, kMarks, defaultSettings(), lookup);
    QList<QTextCharFormat> once;
    for (int i = 0; i < kText.size(); ++i)
        once << formatAt(doc, i);
    RenderTestView(doc, kMarks, defaultSettings(), lookup);
    for (int i = 0; i < kText.size(); ++i)
        QCOMPARE(formatAt(doc, i), once[i]);
    QVERIFY(hasShortCodeMark(formatAt(doc, 2)));
    QVERIFY(!hasShortCodeMark(formatAt(doc, 0)));
}

void TestRender::withoutSegmentationAllBlack()
{
    QTextDocument doc;
    doc.setPlainText(kText);
    RenderTestView(doc, kMarks, defaultSettings(), lookup);
    UserSettings s = defaultSettings();
    s.NeedSegmentation = false;
    QList<int> progress;
    RenderTestView(doc, kMarks, s, lookup, [&](int v, int) { progress << v; });
    for (int i = 0; i < kText.size(); ++i) {
        QCOMPARE(colorAt(doc, i), QStringLiteral("#000000"));
        QVERIFY(!hasShortCodeMark(formatAt(doc, i)));
    }
    QCOMPARE(progress.value(progress.size() - 1), int(kMarks.size())); // the bar ends full
}

void TestRender::characterModeTakesTheMarkOffAndSetsKai()
{
    QTextDocument doc;
    doc.setPlainText(kText);
    RenderTestView(doc, kMarks, defaultSettings(), lookup);
    QVERIFY(hasShortCodeMark(formatAt(doc, 2)));
    UserSettings s = defaultSettings();
    s.NeedShortCodeTips = false;
    RenderTestView(doc, kMarks, s, lookup);
    QVERIFY(!hasShortCodeMark(formatAt(doc, 2)));
    QCOMPARE(formatAt(doc, 2).fontFamilies().toStringList().value(0), kaiFontName());
    QVERIFY(formatAt(doc, 0).fontFamilies().toStringList().isEmpty());
    // The marks and fonts survive the rich-text file.
    QTextDocument back;
    QVERIFY(readRtf(writeRtf(doc), &back));
    QCOMPARE(formatAt(back, 2).fontFamilies().toStringList().value(0), kaiFontName());
    QCOMPARE(colorAt(back, 2), QStringLiteral("#0000ff"));
}

void TestRender::editorViewLeavesSeparatorsAndQuotes()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("我们 是 \" 学生"));
    RenderEditorView(doc, QStringLiteral("0031323300"), defaultSettings(), lookup);
    QCOMPARE(colorAt(doc, 0), QStringLiteral("#000000"));
    QCOMPARE(colorAt(doc, 3), QStringLiteral("#0000ff"));
    QVERIFY(hasShortCodeMark(formatAt(doc, 3)));
    QVERIFY(!formatAt(doc, 2).hasProperty(QTextFormat::ForegroundBrush)); // separator untouched
    QVERIFY(!formatAt(doc, 5).hasProperty(QTextFormat::ForegroundBrush)); // lone quote untouched
}

void TestRender::emptyMarksLeaveTheViewAlone()
{
    QTextDocument doc;
    doc.setPlainText(kText);
    RenderTestView(doc, QString(), defaultSettings(), lookup);
    QVERIFY(!formatAt(doc, 0).hasProperty(QTextFormat::ForegroundBrush));
}

void TestRender::highlightIsItsOwnAttribute()
{
    QTextDocument doc;
    doc.setPlainText(kText);
    RenderTestView(doc, kMarks, defaultSettings(), lookup);
    QTextCursor c(&doc);
    c.setPosition(2);
    c.setPosition(3, QTextCursor::KeepAnchor);
    setHighlight(c, true);
    QVERIFY(hasHighlight(c));
    QVERIFY(hasShortCodeMark(formatAt(doc, 2)));
    QCOMPARE(colorAt(doc, 2), QStringLiteral("#0000ff"));
    setHighlight(c, false);
    QVERIFY(!hasHighlight(c));
    QVERIFY(!formatAt(doc, 2).hasProperty(QTextFormat::BackgroundBrush));
    QVERIFY(hasShortCodeMark(formatAt(doc, 2))); // the short-code mark stays
    QCOMPARE(colorAt(doc, 2), QStringLiteral("#0000ff"));
}

QTEST_MAIN(TestRender)
#include "test_render.moc"
