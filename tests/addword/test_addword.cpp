// The add-word dialog on its real controls with the real language libraries: a segmentation
// result is loaded and shown, a word is picked by a mouse selection, the proposed code comes
// from libtalvex, and adding reports the library's three answers. The result-file reader is
// tested on its own first.
#include "contextfixture.h"
#include "core/textfile.h"
#include "editor/customwords.h"
#include "editor/dlgaddword.h"
#include "editor/resultfile.h"
#include "modal.h"
#include "prepare/externallibs.h"
#include "prepare/frmopenfile.h"
#include "scriptedprompts.h"
#include "segtest/frmfctest.h"
#include "shell/pictures.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;
using orvane::test::onNextModal;
using orvane::test::ScriptedPrompts;

namespace {

// What the test window writes: one quoted word per line, CR LF.
const QByteArray kResultFile = QStringLiteral("\"天气\"\r\n\"很\"\r\n\"好\"\r\n\"我们\"\r\n\"学生\"\r\n").toUtf8();

struct Fixture : test::ContextFixture {
    int tableUpdates = 0;

    explicit Fixture(bool customDictionaryWritable = true)
        : ContextFixture({.customWordsWritable = customDictionaryWritable})
    {
        ctx.settings = UserSettings{}; // no settings loaded: these dialogs draw nothing with them
        ctx.customWordsChanged = [this] { ++tableUpdates; };
    }

    // The words of a text as the segmenter divides it, joined by "/".
    QString segmented(const QString &text) const
    {
        QString marks;
        if (!libs.divideSentence(text, &marks))
            return QStringLiteral("<no segmentation>");
        QString out;
        for (int i = 0; i < text.size(); ++i) {
            if (i > 0 && marks[i] != marks[i - 1])
                out += QLatin1Char('/');
            out += text[i];
        }
        return out;
    }
};

// Chinese text arrives in a box as the input method's commits, one character each.
void commitText(QWidget *box, const QString &text)
{
    for (QChar c : text) {
        QInputMethodEvent event;
        event.setCommitString(QString(c));
        QApplication::sendEvent(box, &event);
    }
}

// Drags the mouse over the result view from text position `from` to `to`.
void dragSelect(DlgAddWord &dialog, int from, int to)
{
    QPlainTextEdit *view = dialog.txtResult;
    auto pointAt = [view](int position) {
        QTextCursor c(view->document());
        c.setPosition(position);
        return view->cursorRect(c).center();
    };
    QWidget *viewport = view->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, pointAt(from));
    QTest::mouseMove(viewport, pointAt(to));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, pointAt(to));
}

void saveScreenshot(QWidget *window, const QString &name)
{
    const QString folder = qEnvironmentVariable("ORVANE_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        window->grab().save(QDir(folder).filePath(name));
}

} // namespace

class TestAddWord : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    // The result-file reader.
    void resultItems_data();
    void resultItems();
    void resultFileEncodings_data();
    void resultFileEncodings();
    void unreadableResultFiles_data();
    void unreadableResultFiles();
    void selectionBecomesAWord();

    // The dialog.
    void loadShowsTheIntroduction();
    void keyFilter_data();
    void keyFilter();
    void fieldLimits();
    void loadsAResultFile();
    void failedLoadLeavesTheDialogAsItWas();
    void addsAWordPickedFromTheResult();
    void addingAnExistingWordStillEmptiesTheBoxes();
    void deletingTheWordKeepsTheProposedCode();
    void dictionaryThatCannotBeOpened();
    void refusesWhatIsNoCustomWord_data();
    void refusesWhatIsNoCustomWord();
    void withoutTheLibraries();
    void fromTheTestWindowsResultFile();
};

void TestAddWord::initTestCase()
{
    Fixture f;
    QVERIFY2(f.ctx.libs, "the language libraries must load from the build folder");
}

void TestAddWord::resultItems_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("items");

    QTest::newRow("as the test window writes it") << QString::fromUtf8(kResultFile) << "天气|很|好|我们|学生";
    QTest::newRow("no line end after the last") << "\"我们\"\r\n\"学生\""
                                                << "我们|学生";
    QTest::newRow("LF and lone CR end lines") << "\"我们\"\n\"学生\"\r\"老师\""
                                              << "我们|学生|老师";
    QTest::newRow("commas separate items") << "我们,学生,\"老师\""
                                           << "我们|学生|老师";
    QTest::newRow("a comma inside quotes stays") << "\"我们,学生\",老师"
                                                 << "我们,学生|老师";
    QTest::newRow("blanks around items go") << "  我们  ,\t学生 \r\n   \"老师\"  \r\n"
                                            << "我们|学生|老师";
    QTest::newRow("blanks inside quotes stay") << "\" 我 们 \""
                                               << " 我 们 ";
    QTest::newRow("text after the closing quote goes") << "\"我们\"xyz,学生"
                                                       << "我们|学生";
    QTest::newRow("an open quote ends at the line end") << "\"我们\r\n学生"
                                                        << "我们|学生";
    QTest::newRow("blank lines and empty items are skipped") << "\r\n\r\n我们,,\"\",学生\r\n\r\n"
                                                             << "我们|学生";
    QTest::newRow("empty file") << ""
                                << "";
    QTest::newRow("only blanks") << "  \t \r\n "
                                 << "";
}

void TestAddWord::resultItems()
{
    QFETCH(QString, text);
    QFETCH(QString, items);
    QCOMPARE(parseResultItems(text).join(QLatin1Char('|')), items);
}

void TestAddWord::resultFileEncodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QString text = QString::fromUtf8(kResultFile);
    QStringEncoder gb("GB18030");
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    QTest::newRow("UTF-8") << kResultFile;
    QTest::newRow("GB18030 from a Chinese system") << QByteArray(gb.encode(text));
    QTest::newRow("UTF-16 with a byte-order mark") << QByteArray(utf16.encode(text));
}

void TestAddWord::resultFileEncodings()
{
    QFETCH(QByteArray, bytes);
    Fixture f;
    QStringList items;
    QString error;
    QVERIFY2(readResultFile(f.write(QStringLiteral("r.fcr"), bytes), &items, &error), qPrintable(error));
    QCOMPARE(items.join(QLatin1Char('|')), QStringLiteral("天气|很|好|我们|学生"));
}

void TestAddWord::unreadableResultFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << "missing";
    QTest::newRow("a folder") << "folder";
    QTest::newRow("larger than a result can be") << "huge";
}

void TestAddWord::unreadableResultFiles()
{
    QFETCH(QString, kind);
    Fixture f;
    QString path = f.dir.filePath(QStringLiteral("r.fcr"));
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("r.fcr")));
    } else if (kind == QLatin1String("huge")) {
        QFile file(f.write(QStringLiteral("r.fcr"), kResultFile));
        QVERIFY(file.resize(kMaxResultFileBytes + 1));
    }
    QStringList items{QStringLiteral("kept")};
    QString error;
    QVERIFY(!readResultFile(path, &items, &error));
    QVERIFY2(error.contains(path), qPrintable(error));
    QCOMPARE(items, QStringList{"kept"});
}

void TestAddWord::selectionBecomesAWord()
{
    QCOMPARE(wordFromSelection(QStringLiteral(" 天气 很 好 ")), QStringLiteral("天气很好"));
    QCOMPARE(wordFromSelection(QStringLiteral("天气\u2029很\u3000好")), QStringLiteral("天气很好"));
    QCOMPARE(resultViewText({QStringLiteral("我们"), QStringLiteral("学生")}), QStringLiteral(" 我们 学生"));
}

void TestAddWord::loadShowsTheIntroduction()
{
    Fixture f;
    DlgAddWord dialog(f.ctx);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("添加自定义词"));
    QVERIFY(!dialog.cmdAddWord->isEnabled());
    QVERIFY(!dialog.txtResult->isVisible());
    QVERIFY(dialog.lblTips->isVisible());
    QVERIFY(dialog.lblTips->text().startsWith(QStringLiteral("\n\n    本单元帮助用户添加自定义词。")));
    QVERIFY(dialog.lblTips->text().endsWith(
        QStringLiteral("\n    如果要对自定义词进行查询、修改、删除等操作，请在Orvane输入法2006系统中完成。")));
    QCOMPARE(dialog.cmdExit->text(), QStringLiteral("退      出"));
    QCOMPARE(dialog.txtWord->toolTip(), QStringLiteral("自定义词的最大长度为20个字"));
    QCOMPARE(dialog.txtCode->toolTip(), QStringLiteral("自定义编码的最大长度为6个数字"));
    QCOMPARE(dialog.txtResult->toolTip(), QStringLiteral("拖动鼠标以选择要添加的自定义词"));
    saveScreenshot(&dialog, QStringLiteral("dlgaddword-intro.png"));
    dialog.cmdExit->click();
    QVERIFY(!dialog.isVisible());
}

void TestAddWord::keyFilter_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("allowed");
    QTest::addColumn<bool>("editable");
    QTest::addColumn<int>("result");
    QTest::newRow("digit passes") << int('7') << "0123456789" << true << int('7');
    QTest::newRow("letter is dropped") << int('a') << "0123456789" << true << 0;
    QTest::newRow("Backspace when editable") << 8 << "0123456789" << true << 8;
    QTest::newRow("Backspace when not editable") << 8 << "0123456789" << false << 0;
    QTest::newRow("letter case is ignored") << int('b') << "ABC" << false << int('b');
}

void TestAddWord::keyFilter()
{
    QFETCH(int, key);
    QFETCH(QString, allowed);
    QFETCH(bool, editable);
    QFETCH(int, result);
    QCOMPARE(DlgAddWord::ValiText(key, allowed, editable), result);
}

void TestAddWord::fieldLimits()
{
    Fixture f;
    f.ctx.libs = nullptr; // the code box shows only what is typed
    DlgAddWord dialog(f.ctx);
    dialog.show();
    const QString word21 = QStringLiteral("中华人民共和国万岁我们是学生热爱学习天天向");
    QCOMPARE(word21.size(), 21);
    commitText(dialog.txtWord, word21);
    QCOMPARE(dialog.txtWord->text(), word21.left(20));
    QTest::keyClicks(dialog.txtCode, QStringLiteral("12a3-4567"));
    QCOMPARE(dialog.txtCode->text(), QStringLiteral("123456"));
    QTest::keyClick(dialog.txtCode, Qt::Key_Backspace);
    QCOMPARE(dialog.txtCode->text(), QStringLiteral("12345"));
    // Tab leaves the box.
    QApplication::setActiveWindow(&dialog);
    dialog.txtCode->setFocus();
    QTest::keyClick(dialog.txtCode, Qt::Key_Tab);
    QVERIFY(!dialog.txtCode->hasFocus());
    // Pasted text must be digits as well.
    dialog.txtCode->clear();
    dialog.txtCode->insert(QStringLiteral("4x"));
    QCOMPARE(dialog.txtCode->text(), QString());
}

void TestAddWord::loadsAResultFile()
{
    Fixture f;
    DlgAddWord dialog(f.ctx);
    dialog.show();
    // A cancelled file dialog changes nothing.
    dialog.cmdModiRes->click();
    QCOMPARE(f.prompts.fileDialogs, 1);
    QVERIFY(dialog.lblTips->isVisible());

    f.prompts.files.enqueue(f.write(QStringLiteral("a.fcr"), "\"老师\"\r\n"));
    dialog.cmdModiRes->click();
    f.prompts.files.enqueue(f.write(QStringLiteral("b.fcr"), kResultFile));
    dialog.cmdModiRes->click();
    QVERIFY(f.prompts.messages.isEmpty());
    QVERIFY(dialog.txtResult->isVisible());
    QVERIFY(!dialog.lblTips->isVisible());
    // The second file replaces the first.
    QCOMPARE(dialog.txtResult->toPlainText(), QStringLiteral(" 天气 很 好 我们 学生"));
    QVERIFY(!dialog.cmdAddWord->isEnabled());
}

void TestAddWord::failedLoadLeavesTheDialogAsItWas()
{
    Fixture f;
    DlgAddWord dialog(f.ctx);
    dialog.show();
    const QString missing = f.dir.filePath(QStringLiteral("missing.fcr"));
    f.prompts.files.enqueue(missing);
    dialog.cmdModiRes->click();
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.prompts.messages[0].text.contains(missing));
    QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Critical);
    QVERIFY(dialog.lblTips->isVisible());
    QVERIFY(!dialog.txtResult->isVisible());

    f.prompts.files.enqueue(f.write(QStringLiteral("b.fcr"), kResultFile));
    dialog.cmdModiRes->click();
    f.prompts.files.enqueue(missing);
    dialog.cmdModiRes->click();
    QCOMPARE(dialog.txtResult->toPlainText(), QStringLiteral(" 天气 很 好 我们 学生"));
}

void TestAddWord::addsAWordPickedFromTheResult()
{
    Fixture f;
    const QString sentence = QStringLiteral("今天天气很好，我们去公园。");
    QVERIFY2(!f.segmented(sentence).contains(QStringLiteral("/天气很好/")), qPrintable(f.segmented(sentence)));

    DlgAddWord dialog(f.ctx);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    f.prompts.files.enqueue(f.write(QStringLiteral("r.fcr"), kResultFile));
    dialog.cmdModiRes->click();
    const QString view = dialog.txtResult->toPlainText();

    // "天气 很 好" selected with the mouse: the blanks are taken out.
    const int from = int(view.indexOf(QStringLiteral("天气")));
    const int to = int(view.indexOf(QStringLiteral("好"))) + 1;
    dragSelect(dialog, from, to);
    QCOMPARE(dialog.txtResult->textCursor().selectedText(), QStringLiteral("天气 很 好"));
    QCOMPARE(dialog.txtWord->text(), QStringLiteral("天气很好"));
    const QString proposed = f.libs.convert(QStringLiteral("天气很好"));
    QVERIFY(!proposed.isEmpty());
    QCOMPARE(dialog.txtCode->text(), proposed);
    QVERIFY(dialog.cmdAddWord->isEnabled());
    saveScreenshot(&dialog, QStringLiteral("dlgaddword-result.png"));

    // A second selection adds to the word; a click without a selection adds nothing.
    const int us = int(view.indexOf(QStringLiteral("我们")));
    dragSelect(dialog, us, us + 2);
    QCOMPARE(dialog.txtWord->text(), QStringLiteral("天气很好我们"));
    QTest::mouseClick(dialog.txtResult->viewport(), Qt::LeftButton, {}, QPoint(4, 4));
    QCOMPARE(dialog.txtWord->text(), QStringLiteral("天气很好我们"));
    // The user edits the word by hand; the code follows.
    for (int i = 0; i < 2; ++i)
        QTest::keyClick(dialog.txtWord, Qt::Key_Backspace);
    QCOMPARE(dialog.txtWord->text(), QStringLiteral("天气很好"));
    QCOMPARE(dialog.txtCode->text(), proposed);

    dialog.cmdAddWord->click();
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].text, QStringLiteral("自定义词：天气很好  成功加入自定义词库！"));
    QCOMPARE(f.prompts.messages[0].title, QStringLiteral("提示信息"));
    QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Information);
    QCOMPARE(f.tableUpdates, 1);
    QVERIFY(dialog.txtWord->text().isEmpty());
    QVERIFY(dialog.txtCode->text().isEmpty());
    QVERIFY(!dialog.cmdAddWord->isEnabled());

    // The segmenter now yields the word as one word, and it has the code it was given.
    QVERIFY2(f.segmented(sentence).contains(QStringLiteral("/天气很好/")), qPrintable(f.segmented(sentence)));
    QByteArray code;
    QCOMPARE(f.libs.getItemCode(QStringLiteral("天气很好"), &code), 1);
    QCOMPARE(QString::fromLatin1(code).trimmed(), proposed);
}

void TestAddWord::addingAnExistingWordStillEmptiesTheBoxes()
{
    Fixture f;
    DlgAddWord dialog(f.ctx);
    dialog.show();
    for (int round = 0; round < 2; ++round) {
        commitText(dialog.txtWord, QStringLiteral("公园散步"));
        QVERIFY(!dialog.txtCode->text().isEmpty());
        if (round == 0)
            dialog.cmdAddWord->click();
        else
            QTest::keyClick(dialog.txtCode, Qt::Key_Return); // Enter adds as well
    }
    QCOMPARE(f.prompts.fileDialogs, 0);
    QCOMPARE(f.prompts.messages.size(), 2);
    QCOMPARE(f.prompts.messages[1].text, QStringLiteral("自定义词：公园散步  已经存在！"));
    QCOMPARE(f.prompts.messages[1].icon, MessageIcon::Exclamation);
    QCOMPARE(f.tableUpdates, 1);
    QVERIFY(dialog.txtWord->text().isEmpty());
    QVERIFY(dialog.txtCode->text().isEmpty());
    QVERIFY(!dialog.cmdAddWord->isEnabled());
}

void TestAddWord::deletingTheWordKeepsTheProposedCode()
{
    Fixture f;
    DlgAddWord dialog(f.ctx);
    dialog.show();
    commitText(dialog.txtWord, QStringLiteral("学生"));
    QCOMPARE(dialog.txtCode->text(), f.libs.convert(QStringLiteral("学生")));
    QVERIFY(dialog.cmdAddWord->isEnabled());
    QTest::keyClick(dialog.txtWord, Qt::Key_Backspace);
    // The last code proposed is that of what was left of the word.
    const QString code = f.libs.convert(QStringLiteral("学"));
    QVERIFY(!code.isEmpty());
    QCOMPARE(dialog.txtCode->text(), code);
    QTest::keyClick(dialog.txtWord, Qt::Key_Backspace);
    QVERIFY(dialog.txtWord->text().isEmpty());
    QCOMPARE(dialog.txtCode->text(), code);
    QVERIFY(!dialog.cmdAddWord->isEnabled());
    // The code box alone follows the same rule.
    commitText(dialog.txtWord, QStringLiteral("学"));
    dialog.txtCode->clear();
    QVERIFY(!dialog.cmdAddWord->isEnabled());
    QTest::keyClicks(dialog.txtCode, QStringLiteral("27"));
    QVERIFY(dialog.cmdAddWord->isEnabled());
}

void TestAddWord::dictionaryThatCannotBeOpened()
{
    Fixture f(false);
    DlgAddWord dialog(f.ctx);
    dialog.show();
    commitText(dialog.txtWord, QStringLiteral("公园散步"));
    dialog.cmdAddWord->click();
    QCOMPARE(f.prompts.messages.size(), 1);
    // The message says what failed and, on its second line, why.
    const QStringList lines = f.prompts.messages[0].text.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], QStringLiteral("打开自定义词库失败，无法加入自定义词！"));
    QVERIFY2(lines[1].contains(QStringLiteral("custom")), qPrintable(lines[1]));
    QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Critical);
    QCOMPARE(f.tableUpdates, 0);
    QVERIFY(dialog.txtWord->text().isEmpty());
    QVERIFY(dialog.txtCode->text().isEmpty());
}

void TestAddWord::refusesWhatIsNoCustomWord_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("inDictionary");
    QTest::newRow("punctuation") << QStringLiteral("，。！") << false;
    QTest::newRow("letters and digits") << QStringLiteral("A1中文") << false;
    QTest::newRow("one character") << QStringLiteral("中") << false;
    QTest::newRow("letters and a blank") << QStringLiteral("a b") << false;
    QTest::newRow("no-break space") << QStringLiteral("中\u00A0文") << false;
    QTest::newRow("zero-width space") << QStringLiteral("中\u200B文") << false;
    QTest::newRow("private use") << QStringLiteral("中\uE000文") << false;
    QTest::newRow("word of the dictionary") << QStringLiteral("风景") << true;
}

// Nothing but two or more Chinese characters becomes a custom word, and a word of the dictionary
// is there already: the segmentation of other texts stays as it was.
void TestAddWord::refusesWhatIsNoCustomWord()
{
    QFETCH(QString, word);
    QFETCH(bool, inDictionary);
    Fixture f;
    const QString sentence = QStringLiteral("中文，风景区内有山。");
    const QString before = f.segmented(sentence);
    DlgAddWord dialog(f.ctx);
    dialog.show();
    dialog.txtWord->setText(word);
    dialog.txtCode->setText(QStringLiteral("12"));
    dialog.cmdAddWord->click();
    QCOMPARE(f.prompts.messages.size(), 1);
    if (inDictionary) {
        QCOMPARE(f.prompts.messages[0].text, QStringLiteral("自定义词：%1  已经存在！").arg(word));
        QVERIFY(dialog.txtWord->text().isEmpty());
    } else {
        QCOMPARE(f.prompts.messages[0].text, customWordRuleMessage());
        // Nothing was tried: the word stays to be put right.
        QCOMPARE(dialog.txtWord->text(), word);
    }
    QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Exclamation);
    QCOMPARE(f.tableUpdates, 0);
    QCOMPARE(f.segmented(sentence), before);
    QVERIFY(!QFile::exists(f.userData.filePath(QStringLiteral("orvane-tutor/custom-words.txt"))));
}

void TestAddWord::withoutTheLibraries()
{
    Fixture f;
    f.ctx.libs = nullptr;
    DlgAddWord dialog(f.ctx);
    dialog.show();
    commitText(dialog.txtWord, QStringLiteral("公园散步"));
    QVERIFY(dialog.txtCode->text().isEmpty());
    QTest::keyClicks(dialog.txtCode, QStringLiteral("2372"));
    dialog.cmdAddWord->click();
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].text, QStringLiteral("分词库未能加载，无法加入自定义词！"));
    QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Critical);
    // Nothing was tried, so nothing the user typed is thrown away.
    QCOMPARE(dialog.txtWord->text(), QStringLiteral("公园散步"));
    QCOMPARE(dialog.txtCode->text(), QStringLiteral("2372"));
    QCOMPARE(f.tableUpdates, 0);
}

// The road through the test window: its segmentation result is written by the window, read
// by the dialog that the window's menu opens, and a word formed from two of its words is added.
void TestAddWord::fromTheTestWindowsResultFile()
{
    Fixture f;
    NoInputMethodProvider ime;
    f.ctx.imeProvider = &ime;
    frmFcTest window(f.ctx);
    QVERIFY(window.Form_Load());
    window.show();
    const QString textPath = f.write(QStringLiteral("课文.txt"),
        QStringLiteral("我们是学生，我们热爱学习。今天天气很好，老师带我们去公园参观。").toUtf8());
    onNextModal([textPath](QWidget *w) {
        auto *dialog = qobject_cast<frmOpenFile *>(w);
        QVERIFY(dialog);
        dialog->loadFile(textPath);
        dialog->chkUseFilter->setChecked(false);
        dialog->cmdOpenFile_Click();
    });
    window.mnuOpenTestFile->trigger();
    QVERIFY(test::lastModalHandled());
    const QString resultPath = f.dir.filePath(QStringLiteral("课文.fcr"));
    f.prompts.files.enqueue(resultPath);
    QVERIFY(window.mnuSaveTestFile->isEnabled());
    window.mnuSaveTestFile->trigger();
    QVERIFY(QFile::exists(resultPath));

    QString view;
    QString word;
    onNextModal([&](QWidget *w) {
        auto *dialog = qobject_cast<DlgAddWord *>(w);
        QVERIFY(dialog);
        f.prompts.files.enqueue(resultPath);
        dialog->cmdModiRes->click();
        view = dialog->txtResult->toPlainText();
        // The table lists the words by length: the first two two-character words are neighbours
        // in the view; they are selected together.
        const QStringList items = view.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        int from = 0;
        int i = 0;
        for (; i + 1 < items.size() && (items[i].size() != 2 || items[i + 1].size() != 2); ++i)
            from += int(items[i].size()) + 1;
        QVERIFY(i + 1 < items.size());
        from += 1; // the blank before the item
        word = items[i] + items[i + 1];
        dragSelect(*dialog, from, from + 5);
        QCOMPARE(dialog->txtWord->text(), word);
        QVERIFY(!dialog->txtCode->text().isEmpty());
        dialog->cmdAddWord->click();
        dialog->cmdExit->click();
    });
    window.mnuAddWord->trigger();
    QVERIFY(test::lastModalHandled());
    // Every word of the text's table is in the view, each after a blank.
    QString written;
    QVERIFY(readTextFile(resultPath, &written, nullptr));
    QCOMPARE(view, resultViewText(parseResultItems(written)));
    QVERIFY(!view.isEmpty());

    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].text, QStringLiteral("自定义词：%1  成功加入自定义词库！").arg(word));
    QCOMPARE(f.tableUpdates, 1);
    const QString sentence = QStringLiteral("，%1。").arg(word);
    QCOMPARE(f.segmented(sentence), QStringLiteral("，/%1/。").arg(word));
    window.CmdQuit->click();
}

QTEST_MAIN(TestAddWord)
#include "test_addword.moc"
