// The segmentation editor and the custom-word dialogs as the user works them: the real open-text
// dialog, the real language libraries and code database, scripted prompts, and a user data folder
// of the test's own for the custom words.
#include "contextfixture.h"
#include "editor/dlgcustomwords.h"
#include "editor/dlgzdycode.h"
#include "editor/dlgzdywordlist.h"
#include "editor/frmpresplit.h"
#include "modal.h"
#include "prepare/codedictionary.h"
#include "prepare/externallibs.h"
#include "prepare/frmopenfile.h"
#include "scriptedprompts.h"
#include "segtest/dlgresult.h"
#include "segtest/examplefiles.h"
#include "segtest/frmfctest.h"
#include "shell/pictures.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>
#include <memory>

using namespace orvane;
using orvane::test::onNextModal;
using orvane::test::ScriptedPrompts;

namespace {

const QString kText = QStringLiteral("今天天气很好，我们一起去公园散步，看见了很多花。");
const QString kModify = QStringLiteral("修    改");
const QString kModifying = QStringLiteral("修 改 中");

// A folder that cannot be written, also for root: a path below a plain file.
QString belowAFile(const QTemporaryDir &dir)
{
    const QString blocker = dir.filePath(QStringLiteral("plain-file"));
    QFile f(blocker);
    f.open(QIODevice::WriteOnly);
    f.write("x");
    return blocker + QStringLiteral("/sub");
}

struct Fixture : test::ContextFixture {
    std::unique_ptr<frmPreSplit> window;
    int wordsChanged = 0;
    QList<int> endedWith;

    explicit Fixture(bool pictures = true) : ContextFixture({.pictures = pictures})
    {
        ctx.endProgram = [this](int code) { endedWith << code; };
        ctx.customWordsChanged = [this] { ++wordsChanged; };
        ctx.settings.NeedShortCodeTips = true;
        window = std::make_unique<frmPreSplit>(ctx);
    }

    bool load()
    {
        if (!window->Form_Load())
            return false;
        window->show();
        return true;
    }

    // Opens a text through the real open-text dialog, from the editor's button.
    void open(const QString &text = kText, bool keepLetters = false)
    {
        const QString path = dir.filePath(QStringLiteral("课文.txt"));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text.toUtf8());
        f.close();
        onNextModal([path, keepLetters](QWidget *w) {
            auto *dialog = qobject_cast<frmOpenFile *>(w);
            QVERIFY(dialog);
            dialog->loadFile(path);
            dialog->chkUseFilter->setChecked(false); // keep the punctuation
            dialog->chkAlpha->setChecked(!keepLetters);
            dialog->cmdOpenFile_Click();
        });
        window->cmdFile->click();
        QVERIFY(test::lastModalHandled());
    }

    QString viewText() const { return window->txtMain->toPlainText(); }

    // Puts the caret just after the first occurrence of what.
    void caretAfter(const QString &what)
    {
        const int at = int(viewText().indexOf(what));
        QVERIFY2(at >= 0, qPrintable(what));
        QTextCursor c(window->txtMain->document());
        c.setPosition(at + int(what.size()));
        window->txtMain->setTextCursor(c);
    }

    struct Enabled {
        bool modify, undo, reset, save;
        bool operator==(const Enabled &) const = default;
    };
    Enabled enabled() const
    {
        return {window->cmdModify->isEnabled(), window->cmdUndo->isEnabled(), window->cmdReset->isEnabled(),
            window->cmdSave->isEnabled()};
    }

    QByteArray read(const QString &path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QStringList messageTexts() const
    {
        QStringList out;
        for (const auto &m : prompts.messages)
            out << m.text;
        return out;
    }
};

} // namespace

class TestEditor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        Fixture f;
        QVERIFY2(f.ctx.libs, "the language libraries must load from the build folder");
    }

    void loadsEmpty()
    {
        Fixture f;
        QVERIFY(f.load());
        QCOMPARE(f.window->windowTitle(), QStringLiteral("分词结果处理 "));
        QVERIFY(f.window->document().OpenForEditor);
        QCOMPARE(f.enabled(), (Fixture::Enabled{false, false, false, false}));
        QVERIFY(f.window->cmdFile->isEnabled() && f.window->cmdExit->isEnabled());
        QVERIFY(!f.window->txtMain->isVisible());
        QCOMPARE(f.window->lblPreSplit->text(), QStringLiteral("欢迎进入分词结果处理！"));
        QVERIFY(f.window->lblTips->property("caption").toString().startsWith(
            QStringLiteral("\r\n\r\n     本单元提供分词结果处理功能。")));
        QVERIFY(f.window->lblTips->property("caption").toString().endsWith(
            QStringLiteral("自定义词加入到自定义词库中。\r\n\r\n")));
        QCOMPARE(f.window->panelText(1), QStringLiteral("欢迎使用分词结果处理"));
        QVERIFY(f.prompts.messages.isEmpty());
    }

    void missingPictureEndsTheProgram()
    {
        Fixture f(false);
        QVERIFY(!f.window->Form_Load());
        QCOMPARE(f.messageTexts(), QStringList{"背景图片文件不完整，请重新启动程序！"});
        QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Critical);
        QCOMPARE(f.endedWith, QList<int>{1});
    }

    void growsWithTheWindowAndKeepsItsMinimum()
    {
        Fixture f;
        QVERIFY(f.load());
        const int base = f.window->BaseFontSizes[0];
        f.window->resize(680 * 2, 540 * 2);
        QCOMPARE(f.window->cmdSave->font().pointSize(), base + 12);
        QCOMPARE(f.window->lblTips->font().pointSize(), f.window->BaseFontSizes[2] + 15);
        QCOMPARE(f.window->StatusBar1->geometry(), QRect(0, 1032, 1360, 48)); // along the bottom edge
        f.window->resize(100, 100);
        QCOMPARE(f.window->size(), QSize(600, 533));
    }

    void opensAndTogglesEditing()
    {
        Fixture f;
        QVERIFY(f.load());
        f.open();
        QVERIFY(f.window->txtMain->isVisible());
        QVERIFY(f.viewText().contains(QStringLiteral("公园 散步")));
        QCOMPARE(f.window->document().EditorBaseText, f.viewText());
        // The window took the editor form's marks: a "3" at every blank.
        QCOMPARE(f.window->document().CharMarks.size(), f.viewText().size());
        for (int i = 0; i < f.viewText().size(); ++i)
            QCOMPARE(f.viewText()[i] == u' ', f.window->document().CharMarks[i] == u'3');
        QCOMPARE(f.enabled(), (Fixture::Enabled{true, true, false, true}));
        QVERIFY(f.window->txtMain->isReadOnly());

        // Locked: keys change nothing and enable nothing.
        f.caretAfter(QStringLiteral("公园 "));
        QTest::keyClick(f.window->txtMain, Qt::Key_Backspace);
        QCOMPARE(f.viewText(), f.window->document().EditorBaseText);
        QVERIFY(!f.window->cmdReset->isEnabled());

        f.window->cmdModify->click();
        QCOMPARE(f.window->cmdModify->text(), kModifying);
        QVERIFY(!f.window->txtMain->isReadOnly());
        f.caretAfter(QStringLiteral("公园 "));
        QTest::keyClick(f.window->txtMain, Qt::Key_Backspace);
        QVERIFY(f.viewText().contains(QStringLiteral("公园散步")));
        QCOMPARE(f.enabled(), (Fixture::Enabled{true, true, true, true}));

        f.window->cmdModify->click();
        QCOMPARE(f.window->cmdModify->text(), kModify);
        QVERIFY(f.window->txtMain->isReadOnly());
        QCOMPARE(f.enabled(), (Fixture::Enabled{true, true, true, true}));

        // Undo takes the edit back (whatever the lock), not the colouring of the text.
        f.window->cmdUndo->click();
        QCOMPARE(f.viewText(), f.window->document().EditorBaseText);
        QTextCursor c(f.window->txtMain->document());
        c.setPosition(1);
        QCOMPARE(c.charFormat().foreground().color(), QColor(Qt::black));
        c.setPosition(4);
        QCOMPARE(c.charFormat().foreground().color(), QColor(Qt::blue));

        // Opening another text goes back to the opened state.
        f.window->cmdModify->click();
        QTest::keyClick(f.window->txtMain, Qt::Key_Space);
        QCOMPARE(f.enabled(), (Fixture::Enabled{true, true, true, true}));
        f.open();
        QCOMPARE(f.enabled(), (Fixture::Enabled{true, true, false, true}));
        QCOMPARE(f.window->cmdModify->text(), kModify);
        QVERIFY(f.window->txtMain->isReadOnly());
    }

    void reset_data()
    {
        QTest::addColumn<bool>("caseOnly");
        QTest::newRow("a moved blank comes back") << false;
        QTest::newRow("letter case alone changes nothing") << true;
    }

    void reset()
    {
        QFETCH(bool, caseOnly);
        Fixture f;
        QVERIFY(f.load());
        QString text = kText;
        f.open(text.replace(QStringLiteral("很好"), QStringLiteral("很ok")), true);
        QVERIFY(f.viewText().contains(QStringLiteral("ok")));
        f.window->cmdModify->click();
        QString changed = f.viewText();
        if (caseOnly)
            changed.replace(QStringLiteral("ok"), QStringLiteral("OK"));
        else
            changed.replace(QStringLiteral("天气"), QStringLiteral("天 气"));
        setViewText(f.window->txtMain, changed);
        QTest::keyClick(f.window->txtMain, Qt::Key_End); // a key enables the reset
        QVERIFY(f.window->cmdReset->isEnabled());
        f.window->cmdReset->click();
        QCOMPARE(f.viewText(), caseOnly ? changed : f.window->document().EditorBaseText);
        if (!caseOnly) {
            QTextCursor c(f.window->txtMain->document());
            c.setPosition(1);
            QCOMPARE(c.charFormat().foreground().color(), QColor(Qt::black)); // coloured again
        }
    }

    void cancelledSaveChangesNothing()
    {
        Fixture f;
        QVERIFY(f.load());
        f.open();
        const QString before = f.viewText();
        const QString marks = f.window->document().CharMarks;
        f.window->cmdSave->click(); // the scripted save dialog is cancelled
        QCOMPARE(f.prompts.fileDialogs, 1);
        QCOMPARE(f.viewText(), before);
        QCOMPARE(f.window->document().CharMarks, marks);
        QCOMPARE(f.enabled(), (Fixture::Enabled{true, true, false, true}));
        QCOMPARE(f.window->panelText(1), QStringLiteral("欢迎使用分词结果处理"));
        QVERIFY(f.window->Tag.isEmpty());
    }

    void savesTheAutomaticSegmentationAtOnce()
    {
        Fixture f;
        QVERIFY(f.load());
        f.open();
        const QString path = f.dir.filePath(QStringLiteral("例文")); // the extension is added
        f.prompts.files.enqueue(path);
        f.window->cmdSave->click();
        QVERIFY2(f.prompts.messages.isEmpty(), qPrintable(f.messageTexts().join('\n')));
        const QString saved = path + QStringLiteral(".sav");
        QVERIFY(QFile::exists(saved));
        QCOMPARE(f.viewText(), QString(kText)); // no blanks left
        QCOMPARE(f.window->document().CharMarks.size(), kText.size());
        QVERIFY(!f.window->document().CharMarks.contains(QLatin1Char('3')));
        QCOMPARE(f.read(auxiliaryPath(saved)), "\"" + f.window->document().CharMarks.toLatin1() + "\"\r\n");
        QVERIFY(f.read(saved).startsWith("{\\rtf"));
        // Saved: only opening and leaving remain.
        QCOMPARE(f.enabled(), (Fixture::Enabled{false, false, false, false}));
        QVERIFY(f.window->txtMain->isReadOnly());
        QCOMPARE(f.window->cmdModify->text(), kModify);
        QCOMPARE(f.window->panelText(1), QStringLiteral("欢迎使用分词结果处理"));
        QCOMPARE(f.wordsChanged, 0);
    }

    void failedWriteKeepsTheBlanks()
    {
        Fixture f;
        QVERIFY(f.load());
        f.open();
        // A blank added: the view no longer matches the marks of the opened text.
        f.window->cmdModify->click();
        f.caretAfter(QStringLiteral("公"));
        QTest::keyClick(f.window->txtMain, Qt::Key_Space);
        const QString before = f.viewText();
        QVERIFY(before.contains(QStringLiteral("公 园 散步")));
        const auto colours = [&f] {
            QList<QColor> out;
            QTextCursor c(f.window->txtMain->document());
            for (int i = 1; i <= f.viewText().size(); ++i) {
                c.setPosition(i);
                out << c.charFormat().foreground().color();
            }
            return out;
        };
        const QList<QColor> coloursBefore = colours();
        const QString marks = f.window->document().CharMarks;
        f.prompts.files.enqueue(belowAFile(f.dir) + QStringLiteral("/例文.sav"));
        f.window->cmdSave->click();
        QCOMPARE(f.prompts.messages.size(), 1);
        QVERIFY(f.prompts.messages[0].text.startsWith(QStringLiteral("分词例文")));
        QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Critical);
        // Exactly the view of before: text and colours.
        QCOMPARE(f.viewText(), before);
        QCOMPARE(colours(), coloursBefore);
        QCOMPARE(f.window->document().CharMarks, marks);
        QCOMPARE(f.enabled(), (Fixture::Enabled{true, true, true, true}));
        // A second save into a good folder gives the same example as a first one would.
        f.prompts.files.enqueue(f.dir.filePath(QStringLiteral("b.sav")));
        f.window->cmdSave->click();
        QCOMPARE(f.viewText(), QString(kText));
        QVERIFY(QFile::exists(f.dir.filePath(QStringLiteral("b.ext"))));
    }

    void closingTheListAddsNothingAndTheSaveGoesOn()
    {
        Fixture f;
        QVERIFY(f.load());
        f.open();
        f.window->cmdModify->click();
        f.caretAfter(QStringLiteral("公园 "));
        QTest::keyClick(f.window->txtMain, Qt::Key_Backspace);
        const QString saved = f.dir.filePath(QStringLiteral("c.sav"));
        f.prompts.files.enqueue(saved);
        onNextModal([](QWidget *w) {
            QVERIFY(qobject_cast<dlgZdyWordList *>(w));
            w->close();
        });
        f.window->cmdSave->click();
        QVERIFY(test::lastModalHandled());
        QVERIFY(f.prompts.messages.isEmpty());
        QVERIFY(QFile::exists(auxiliaryPath(saved)));
        QCOMPARE(f.wordsChanged, 0);
        CodeDictionary dict(&f.libs);
        QVERIFY(dict.open(f.ctx.folder.dataFile(QStringLiteral("jtdb.dat"))));
        QVERIFY(dict.LookupCodes(QStringLiteral("公园散步")).standard.isEmpty());
    }

    // The whole road: open, form a new word, save, confirm the custom word with a changed code,
    // then open the example in the test window and type it.
    void newWordRoad()
    {
        Fixture f;
        QVERIFY(f.load());
        f.open();
        f.window->cmdModify->click();
        f.caretAfter(QStringLiteral("公园 "));
        QTest::keyClick(f.window->txtMain, Qt::Key_Backspace); // 公园散步 is one word now
        const QString saved = f.dir.filePath(QStringLiteral("公园.sav"));
        f.prompts.files.enqueue(saved);

        QString proposed, shownCode, label;
        int rows = -1;
        onNextModal([&](QWidget *w) {
            auto *list = qobject_cast<dlgZdyWordList *>(w);
            QVERIFY(list);
            rows = list->rowCount();
            proposed = list->codeAt(0);
            onNextModal([&](QWidget *c) {
                auto *code = qobject_cast<dlgZdyCode *>(c);
                QVERIFY(code);
                label = code->lblZdyWord->text();
                QTest::keyClicks(code->txtCode, QStringLiteral("97a-531"));
                code->cmdOk->click();
            });
            QTest::mouseClick(list->gridWordList->viewport(), Qt::LeftButton, {},
                list->gridWordList->visualItemRect(list->gridWordList->item(0, 0)).center());
            shownCode = list->codeAt(0);
            list->OKButton->click();
        });
        f.window->cmdSave->click();
        QVERIFY(test::lastModalHandled());

        QCOMPARE(rows, 1);
        QVERIFY(!proposed.isEmpty());
        QCOMPARE(label, QStringLiteral("\"公园散步\" 是自定义词。\n请修改其自定义编码："));
        QCOMPARE(shownCode, QStringLiteral("97531"));
        QCOMPARE(f.messageTexts(), QStringList{"1 条自定义词成功加入专业词库自定义词库！"});
        QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Information);
        QCOMPARE(f.wordsChanged, 1);
        QVERIFY(f.window->Tag.contains(QStringLiteral("公园散步")));

        // The example: the new word is one word of the marks.
        const QString marks = f.window->document().CharMarks;
        const int at = int(kText.indexOf(QStringLiteral("公园散步")));
        QCOMPARE(marks.mid(at, 4), QString(4, marks[at]));
        QVERIFY(marks[at - 1] != marks[at] && marks[at + 4] != marks[at]);
        QCOMPARE(f.read(auxiliaryPath(saved)), "\"" + marks.toLatin1() + "\"\r\n");

        // The libraries know the word now: one word when segmenting, with the user's code.
        QString segmented;
        QVERIFY(f.libs.divideSentence(QStringLiteral("我们去公园散步了"), &segmented));
        QCOMPARE(segmented.mid(3, 4), QString(4, segmented[3]));
        QVERIFY(segmented[2] != segmented[3] && segmented[7] != segmented[3]);
        CodeDictionary dict(&f.libs);
        QVERIFY(dict.open(f.ctx.folder.dataFile(QStringLiteral("jtdb.dat"))));
        QCOMPARE(dict.LookupCodes(QStringLiteral("公园散步")).standard, QStringLiteral("97531"));

        // The test window opens the example and a test runs on it.
        f.window->close();
        frmFcTest test(f.ctx);
        QVERIFY(test.Form_Load());
        test.show();
        f.prompts.files.enqueue(saved);
        test.mnuOpenExample_Click();
        QCOMPARE(test.mainText->toPlainText(), QString(kText));
        QCOMPARE(test.run().doc.CharMarks, marks);
        QVERIFY(test.CmdStartTest->isEnabled());
        test.CmdStartTest_Click();
        bool resultShown = false;
        onNextModal([&](QWidget *w) {
            auto *result = qobject_cast<DlgResult *>(w);
            QVERIFY(result);
            resultShown = true;
            result->cmdOk->click();
        });
        QInputMethodEvent commit;
        commit.setCommitString(kText);
        QApplication::sendEvent(test.tmpText, &commit);
        QTRY_VERIFY(resultShown);
        QCOMPARE(test.run().counters.RightCharCount, int(kText.size()));
        QCOMPARE(test.run().counters.WrongCharCount, 0);
    }
    // --- the custom-word dialogs ----------------------------------------------------------

    void listsEachCandidateOnceWithAProposedCode()
    {
        Fixture f;
        // A candidate with letters is no custom word and is not offered.
        dlgZdyWordList list(f.ctx, QStringLiteral("公园散步 天气abc 公园散步 天气很好 "));
        QCOMPARE(list.rowCount(), 2);
        QCOMPARE(list.wordAt(0), QStringLiteral("公园散步"));
        QCOMPARE(list.wordAt(1), QStringLiteral("天气很好"));
        QCOMPARE(list.codeAt(0), f.libs.convertAdaptor(QStringLiteral("公园散步")));
        QVERIFY(!list.codeAt(0).isEmpty());
        QCOMPARE(list.CandidateWords.size(), 5); // the last one, after the final blank, is empty
        QCOMPARE(list.gridWordList->horizontalHeaderItem(0)->text(), QStringLiteral("文      字"));
        QCOMPARE(list.gridWordList->horizontalHeaderItem(1)->text(), QStringLiteral("自定义编码"));
        QCOMPARE(list.gridWordList->toolTip(), QStringLiteral("单击修改自定义编码"));
    }

    void codeDialogTakesDigitsOnly_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("code");
        QTest::newRow("digits") << "123"
                                << "123";
        QTest::newRow("letters, minus and blank beep and are dropped") << "1a-2 3"
                                                                       << "123";
        QTest::newRow("at most six") << "12345678"
                                     << "123456";
        QTest::newRow("backspace passes") << "12\b3"
                                          << "13";
    }

    void codeDialogTakesDigitsOnly()
    {
        QFETCH(QString, keys);
        QFETCH(QString, code);
        Fixture f;
        QString tag = QStringLiteral("公园散步");
        dlgZdyCode dialog(f.ctx, tag);
        dialog.show();
        QCOMPARE(dialog.txtCode->toolTip(), QStringLiteral("自定义编码的最大长度为6位数位"));
        for (QChar k : keys) {
            if (k == QLatin1Char('\b'))
                QTest::keyClick(dialog.txtCode, Qt::Key_Backspace);
            else
                QTest::keyClicks(dialog.txtCode, QString(k));
        }
        QCOMPARE(dialog.txtCode->text(), code);
        dialog.close(); // the close box also hands the code back
        QCOMPARE(tag, code);
    }

    void emptyCodeKeepsTheProposal()
    {
        Fixture f;
        dlgZdyWordList list(f.ctx, QStringLiteral("公园散步 "));
        list.show();
        const QString proposed = list.codeAt(0);
        onNextModal([](QWidget *w) { static_cast<dlgZdyCode *>(w)->cmdOk->click(); });
        list.gridWordList_EnterCell(0);
        QVERIFY(test::lastModalHandled());
        QCOMPARE(list.codeAt(0), proposed);
    }

    void addsAndCounts()
    {
        Fixture f;
        dlgZdyWordList list(f.ctx, QStringLiteral("公园散步 公园散步 "));
        list.show();
        list.OKButton->click();
        QCOMPARE(f.messageTexts(), QStringList{"1 条自定义词成功加入专业词库自定义词库！"});
        QCOMPARE(list.result(), int(QDialog::Accepted));
        QVERIFY(list.Tag.isEmpty());
        QCOMPARE(f.wordsChanged, 1);
        CodeDictionary dict(&f.libs);
        QVERIFY(dict.open(f.ctx.folder.dataFile(QStringLiteral("jtdb.dat"))));
        QCOMPARE(dict.LookupCodes(QStringLiteral("公园散步")).standard, list.codeAt(0));
    }

    void writerFailureStopsAndKeepsTheDialog()
    {
        Fixture f;
        qputenv("XDG_DATA_HOME", belowAFile(f.dir).toUtf8()); // the dictionary cannot be written
        dlgZdyWordList list(f.ctx, QStringLiteral("公园散步 天气很好 "));
        list.show();
        list.OKButton->click();
        QCOMPARE(f.messageTexts(), (QStringList{"-1", "打开专业词库失败，无法加入自定义词！"}));
        QCOMPARE(f.prompts.messages[1].icon, MessageIcon::Critical);
        QCOMPARE(f.prompts.messages[1].title, QStringLiteral("提示信息"));
        QCOMPARE(list.result(), 0); // still open
        QCOMPARE(f.wordsChanged, 0);
    }

    void aSecondPressPassesOverWordsAlreadyAdded()
    {
        Fixture f;
        QCOMPARE(f.libs.addProfessionWord(QStringLiteral("公园散步"), QStringLiteral("5131")), 1);
        dlgZdyWordList list(f.ctx, QStringLiteral("公园散步 天气很好 "));
        list.show();
        list.OKButton->click();
        QCOMPARE(f.messageTexts(), QStringList{"1 条自定义词成功加入专业词库自定义词库！"});
        QCOMPARE(list.result(), int(QDialog::Accepted));
    }

    void aWordWithoutCodeIsLeftOutOnlyWhenTheUserSaysSo()
    {
        Fixture f;
        // A character outside the code data: the word has no proposed code.
        dlgZdyWordList list(f.ctx, QStringLiteral("学生\U00030000 公园散步 "));
        list.show();
        QVERIFY(list.codeAt(0).isEmpty());
        list.OKButton->click(); // the scripted answer is No
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.prompts.messages[0].buttons, MessageButtons::YesNo);
        QCOMPARE(list.result(), 0);
        QCOMPARE(f.wordsChanged, 0);
        f.prompts.answers.enqueue(MessageAnswer::Yes);
        list.OKButton->click();
        QCOMPARE(f.prompts.messages.last().text, QStringLiteral("1 条自定义词成功加入专业词库自定义词库！"));
        QCOMPARE(list.result(), int(QDialog::Accepted));
    }

    // The custom-word window lists the words with their codes and removes the selected ones
    // after asking; the segmentation stops preferring them and the table update is asked for.
    void customWordWindowRemovesSelectedWords()
    {
        Fixture f;
        for (const char *w : {"公园散步", "天气很好", "学生们好"})
            QCOMPARE(f.libs.addProfessionWord(QString::fromUtf8(w), QStringLiteral("5131")), 1);
        const QString sentence = QStringLiteral("我们去公园散步了");
        QString marks;
        QVERIFY(f.libs.divideSentence(sentence, &marks));
        QCOMPARE(marks.mid(3, 4), QString(4, marks[3]));

        dlgCustomWords window(f.ctx);
        window.show();
        QCOMPARE(window.gridWords->rowCount(), 3);
        QCOMPARE(window.gridWords->item(1, 0)->text(), QStringLiteral("天气很好"));
        QCOMPARE(window.gridWords->item(1, 1)->text(), QStringLiteral("5131"));
        QCOMPARE(window.lblCount->text(), QStringLiteral("共有 3 条自定义词："));
        QVERIFY(!window.cmdRemove->isEnabled());
        window.gridWords->selectRow(0);
        window.gridWords->selectionModel()->select(
            window.gridWords->model()->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QVERIFY(window.cmdRemove->isEnabled());

        // No keeps everything.
        window.cmdRemove->click();
        QCOMPARE(f.prompts.messages.last().text, QStringLiteral("确定要删除自定义词“公园散步”、“学生们好”吗？"));
        QCOMPARE(window.gridWords->rowCount(), 3);
        QCOMPARE(f.wordsChanged, 0);

        f.prompts.answers.enqueue(MessageAnswer::Yes);
        window.cmdRemove->click();
        QCOMPARE(window.gridWords->rowCount(), 1);
        QCOMPARE(window.gridWords->item(0, 0)->text(), QStringLiteral("天气很好"));
        QCOMPARE(f.wordsChanged, 1);
        QVERIFY(f.libs.divideSentence(sentence, &marks));
        QVERIFY2(marks.mid(3, 4) != QString(4, marks[3]), qPrintable(marks));
        QFile file(f.userData.filePath(QStringLiteral("orvane-tutor/custom-words.txt")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), QStringLiteral("天气很好\t5131\t其它\t来自分词软件\n"));
    }

    void customWordWindowWithoutWords()
    {
        Fixture f;
        dlgCustomWords window(f.ctx);
        QCOMPARE(window.gridWords->rowCount(), 0);
        QCOMPARE(window.lblCount->text(), QStringLiteral("还没有自定义词。"));
        // The options and the editor open it when the program can show it.
        f.ctx.showCustomWords = [&f](QWidget *) { ++f.wordsChanged; };
        frmPreSplit editor(f.ctx);
        QVERIFY(editor.Form_Load());
        editor.cmdCustomWords->click();
        QCOMPARE(f.wordsChanged, 1);
    }

    void withoutLibrariesNothingIsAdded()
    {
        Fixture f;
        f.ctx.libs = nullptr;
        dlgZdyWordList list(f.ctx, QStringLiteral("公园散步 "));
        list.show();
        QCOMPARE(list.rowCount(), 1);
        list.OKButton->click();
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Critical);
        QCOMPARE(list.result(), 0);
    }
};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
