#include "contextfixture.h"
#include "prepare/externallibs.h"
#include "prepare/frmopenfile.h"
#include "prepare/render.h"
#include "scriptedprompts.h"

#include <QCheckBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

using namespace orvane;
using orvane::test::ScriptedPrompts;

namespace {

// A window that shows what it is handed, as both large windows do, and keeps it.
class ViewTarget final : public OpenTextTarget {
public:
    AppContext *ctx = nullptr;
    QTextEdit view;
    QList<OpenedText> handed;
    TestDocument doc;
    void applyOpenedText(const OpenedText &opened, const RenderProgress &progress) override
    {
        handed << opened;
        doc.takeText(opened);
        showOpenedText(*ctx, &view, opened, progress);
    }
    TestDocument &document() override { return doc; }
};

struct Fixture : test::ContextFixture {
    ViewTarget target;

    Fixture() : ContextFixture({.pictures = false})
    {
        ctx.settings.NeedShortCodeTips = true;
        target.ctx = &ctx;
    }
};

QString colorAt(QTextEdit &view, int pos)
{
    QTextCursor c(view.document());
    c.setPosition(pos + 1);
    return c.charFormat().foreground().color().name();
}

const QString kArticle = QStringLiteral("我们是学生，我们热爱学习。今天天气很好，我们一起去公园散步，看见了很多花。");

} // namespace

class TestOpenFile : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void opensARealTextIntoTheTestView();
    void opensForTheEditorWithSeparators();
    void newTextTakesNoFormatFromTheOldOne_data();
    void newTextTakesNoFormatFromTheOldOne();
    void refusals_data();
    void refusals();
    void textWithoutChineseWordsIsRefused_data();
    void textWithoutChineseWordsIsRefused();
    void exitLeavesTheOwnerAlone();
};

void TestOpenFile::initTestCase()
{
    Fixture f;
    QVERIFY2(f.ctx.libs, "the language libraries must load from the build folder");
}

void TestOpenFile::opensARealTextIntoTheTestView()
{
    Fixture f;
    f.target.view.setPlainText(QStringLiteral("old text"));
    const QString path =
        f.write(QStringLiteral("article.txt"), QStringLiteral("“%1”\r\n abc 123\r\n").arg(kArticle).toUtf8());
    frmOpenFile dlg(f.ctx, f.target);
    QVERIFY(dlg.chkUseFilter->isChecked());
    QVERIFY(dlg.chkAlpha->isChecked());
    dlg.chkUseFilter->setChecked(false); // keep the punctuation, drop letters and digits
    dlg.loadFile(path);
    QVERIFY(dlg.fileChosen());
    QVERIFY(dlg.txtFileContent->toPlainText().endsWith(QStringLiteral("abc123")));
    dlg.cmdOpenFile_Click();
    QVERIFY2(f.prompts.messages.isEmpty(), qPrintable(f.prompts.messages.value(0).text));
    QCOMPARE(dlg.result(), int(QDialog::Accepted));

    // The window was handed the text once, for a test, and nothing of the dialog wrote into it.
    QCOMPARE(f.target.handed.size(), 1);
    const OpenedText &opened = f.target.handed[0];
    QCOMPARE(opened.target, OpenTarget::TestWindow);
    const QString text = f.target.view.toPlainText();
    QCOMPARE(text, opened.text);
    QCOMPARE(text.size(), opened.marks.size());
    QVERIFY(!text.contains(QStringLiteral("abc")));
    QVERIFY(text.startsWith(QStringLiteral("“我们")));
    QCOMPARE(opened.counts.AlphaCount, 0);
    QCOMPARE(opened.counts.SymbolCount, int(opened.marks.count(QLatin1Char('2'))));
    QCOMPARE(opened.counts.HanziCount, int(text.size()) - opened.counts.SymbolCount);
    // Neighbouring words alternate colours; symbols have theirs.
    for (int i = 0; i < text.size(); ++i) {
        const QChar m = opened.marks[i];
        const QString expected = m == QLatin1Char('0') ? "#000000" : m == QLatin1Char('1') ? "#0000ff" : "#ff00ff";
        QCOMPARE(colorAt(f.target.view, i), QString(expected));
    }
    QVERIFY(opened.marks.contains(QLatin1Char('0')) && opened.marks.contains(QLatin1Char('1')));
}

// The view's cursor keeps the format of the character it last stood on: the highlighted
// character after a test, an underlined (short-code) word or a Kai face after an example.
// None of it may reach the new text, where the renderer leaves symbols' other attributes alone.
void TestOpenFile::newTextTakesNoFormatFromTheOldOne_data()
{
    QTest::addColumn<QTextCharFormat>("leftover");
    QTextCharFormat underline;
    underline.setUnderlineStyle(QTextCharFormat::DotLine);
    QTest::newRow("short-code mark") << underline;
    QTest::newRow("highlight of a test") << highlightFormat();
    QTextCharFormat kai;
    kai.setFontFamilies({kaiFontName()});
    kai.setUnderlineStyle(QTextCharFormat::SingleUnderline);
    QTest::newRow("kai face of an example") << kai;
}

void TestOpenFile::newTextTakesNoFormatFromTheOldOne()
{
    QFETCH(QTextCharFormat, leftover);
    Fixture f;
    f.target.view.setPlainText(QStringLiteral("旧的文本，"));
    QTextCursor all(f.target.view.document());
    all.select(QTextCursor::Document);
    all.mergeCharFormat(leftover);
    QTextCursor at = f.target.view.textCursor();
    at.setPosition(2);
    f.target.view.setTextCursor(at);

    const QString path = f.write(QStringLiteral("article.txt"), QStringLiteral("“%1”2011年").arg(kArticle).toUtf8());
    frmOpenFile dlg(f.ctx, f.target);
    dlg.chkUseFilter->setChecked(false);
    dlg.chkAlpha->setChecked(false);
    dlg.loadFile(path);
    dlg.cmdOpenFile_Click();
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    const QString marks = f.target.handed.value(0).marks;
    QVERIFY(marks.contains(QLatin1Char('2')) && marks.contains(QLatin1Char('4')));
    for (int i = 0; i < marks.size(); ++i) {
        QTextCursor c(f.target.view.document());
        c.setPosition(i + 1);
        const QTextCharFormat got = c.charFormat();
        QVERIFY2(!hasHighlight(c) && got.fontWeight() != QFont::Bold, qPrintable(QString::number(i)));
        QVERIFY2(!got.fontFamilies().toStringList().contains(kaiFontName()), qPrintable(QString::number(i)));
        if (marks[i] == QLatin1Char('2') || marks[i] == QLatin1Char('4'))
            QVERIFY2(!hasShortCodeMark(got), qPrintable(QStringLiteral("underline at %1").arg(i)));
    }
}

void TestOpenFile::opensForTheEditorWithSeparators()
{
    Fixture f;
    f.target.doc.OpenForEditor = true;
    const QString path = f.write(QStringLiteral("a.txt"), kArticle.toUtf8());
    frmOpenFile dlg(f.ctx, f.target);
    dlg.loadFile(path);
    dlg.cmdOpenFile_Click();
    QCOMPARE(f.target.handed.size(), 1);
    const OpenedText &opened = f.target.handed[0];
    QCOMPARE(opened.target, OpenTarget::Editor);
    const QString text = f.target.view.toPlainText();
    QCOMPARE(text, opened.text);
    QCOMPARE(text.size(), opened.marks.size());
    for (int i = 0; i < text.size(); ++i)
        QCOMPARE(text[i] == QLatin1Char(' '), opened.marks[i] == QLatin1Char('3'));
    QVERIFY(text.contains(QStringLiteral("我们 是 学生")));
    // The separators do not count as characters of a neighbouring word.
    QVERIFY(!text.startsWith(QLatin1Char(' ')) && !text.endsWith(QLatin1Char(' ')));
}

void TestOpenFile::refusals_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("opened"); // a file name is chosen before the open button
    QTest::newRow("open before choosing") << QByteArray() << "请先选择文件再打开！" << false;
    QTest::newRow("too short") << QByteArray("太短的文章。") << "此文件中的汉字太少，不适于进行分词测试！" << true;
    QTest::newRow("not text") << QByteArray(4000, '\0') << "不是文本文件" << true;
}

void TestOpenFile::refusals()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QFETCH(bool, opened);
    Fixture f;
    f.target.view.setPlainText(QStringLiteral("kept"));
    frmOpenFile dlg(f.ctx, f.target);
    if (opened)
        dlg.loadFile(f.write(QStringLiteral("x.txt"), bytes));
    QVERIFY(!dlg.fileChosen());
    dlg.cmdOpenFile_Click();
    QVERIFY(!f.prompts.messages.isEmpty());
    QVERIFY2(f.prompts.messages[0].text.contains(message), qPrintable(f.prompts.messages[0].text));
    QCOMPARE(f.prompts.messages.last().text, QStringLiteral("请先选择文件再打开！"));
    QCOMPARE(f.target.view.toPlainText(), QStringLiteral("kept"));
    QCOMPARE(dlg.result(), 0); // still open
}

void TestOpenFile::textWithoutChineseWordsIsRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("forEditor");
    QTest::addColumn<bool>("filterAlpha");
    const QString punctuation = QStringLiteral("，。！？；：“”（）《》、……——【】「」，。！？；：");
    const QString latin = QStringLiteral("The quick brown fox jumps over 13 lazy dogs.");
    QTest::newRow("punctuation, test window") << punctuation << false << false;
    QTest::newRow("punctuation, editor") << punctuation << true << false;
    QTest::newRow("letters filtered, test window") << latin << false << true;
    QTest::newRow("letters kept, editor") << latin << true << false;
}

void TestOpenFile::textWithoutChineseWordsIsRefused()
{
    QFETCH(QString, text);
    QFETCH(bool, forEditor);
    QFETCH(bool, filterAlpha);
    Fixture f;
    f.target.doc.OpenForEditor = forEditor;
    f.target.doc.CharMarks = QStringLiteral("0000");
    f.target.view.setPlainText(QStringLiteral("kept"));
    const QString snapshot = f.write(QStringLiteral("temp.zh"), "{\\rtf1 kept}");
    frmOpenFile dlg(f.ctx, f.target);
    dlg.loadFile(f.write(QStringLiteral("x.txt"), text.toUtf8()));
    QVERIFY(dlg.fileChosen());
    dlg.chkAlpha->setChecked(filterAlpha);
    dlg.cmdOpenFile_Click();
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].text, QStringLiteral("此文件中的汉字太少，不适于进行分词测试！"));
    QCOMPARE(dlg.result(), 0); // still open: another file can be chosen
    QCOMPARE(f.target.view.toPlainText(), QStringLiteral("kept"));
    QCOMPARE(f.target.doc.CharMarks, QStringLiteral("0000"));
    QVERIFY(f.target.handed.isEmpty());
    QVERIFY(QFile::exists(snapshot));
}

void TestOpenFile::exitLeavesTheOwnerAlone()
{
    Fixture f;
    f.target.view.setPlainText(QStringLiteral("kept"));
    frmOpenFile dlg(f.ctx, f.target);
    dlg.loadFile(f.write(QStringLiteral("a.txt"), kArticle.toUtf8()));
    dlg.cmdExit->click();
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    QCOMPARE(f.target.view.toPlainText(), QStringLiteral("kept"));
    QVERIFY(f.target.handed.isEmpty());
}

QTEST_MAIN(TestOpenFile)
#include "test_openfile.moc"
