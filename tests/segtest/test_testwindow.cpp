// The test window on the real controls: open a text through the open-text dialog, run tests
// through their states, type through the typing box, and read the result dialog.
#include "contextfixture.h"
#include "history/historydb.h"
#include "modal.h"
#include "prepare/frmopenfile.h"
#include "prepare/render.h"
#include "segtest/dlgresult.h"
#include "segtest/dlgsplitview.h"
#include "segtest/examplefiles.h"
#include "segtest/frmfctest.h"
#include "segtest/resultsummary.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>
#include <memory>

using namespace orvane;
using orvane::test::onNextModal;

namespace {

const QString kText = QStringLiteral("我们是学生，我们热爱学习。今天天气很好，老师带我们去公园参观。");

// Records what the window asks of the input method.
class RecordingProvider final : public InputMethodProvider {
public:
    QString kind() const override { return QStringLiteral("fcitx5"); }
    std::optional<QList<InputMethodEntry>> list() override { return QList<InputMethodEntry>{}; }
    bool activate(const QString &id) override
    {
        calls << QStringLiteral("on:") + id;
        return true;
    }
    bool deactivate() override
    {
        calls << QStringLiteral("off");
        return true;
    }
    QStringList calls;
};

struct ResultTexts {
    QString time, accuracy, speed, effective, total;
};

struct Fixture : test::ContextFixture {
    RecordingProvider ime;
    std::unique_ptr<frmFcTest> window;
    QList<ResultTexts> results;

    Fixture()
    {
        ctx.imeProvider = &ime;
        ctx.ime.ImeLayout = QStringLiteral("orvane");
        ctx.ime.EnglishLayout = QStringLiteral("keyboard-us");
        window = std::make_unique<frmFcTest>(ctx);
        if (!window->Form_Load())
            qFatal("the test window did not load");
        window->show();
    }

    QString writeText(const QString &text)
    {
        const QString path = dir.filePath(QStringLiteral("课文.txt"));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text.toUtf8());
        return path;
    }

    // Opens a text through the real open-text dialog.
    void open(const QString &text = kText)
    {
        const QString path = writeText(text);
        onNextModal([path](QWidget *w) {
            auto *dialog = qobject_cast<frmOpenFile *>(w);
            QVERIFY(dialog);
            dialog->loadFile(path);
            dialog->chkUseFilter->setChecked(false); // keep the punctuation
            dialog->cmdOpenFile_Click();
        });
        window->mnuOpenTestFile->trigger();
        QVERIFY(test::lastModalHandled());
    }

    // The next result dialog is read and closed with its button.
    void expectResult()
    {
        onNextModal([this](QWidget *w) {
            auto *dialog = qobject_cast<DlgResult *>(w);
            QVERIFY(dialog);
            results << ResultTexts{dialog->lblTime->text(), dialog->lblRgtRate->text(), dialog->lblRate->text(),
                dialog->lblEffRate->text(), dialog->lblTotal->text()};
            dialog->cmdOk->click();
        });
    }

    void commit(const QString &text)
    {
        QInputMethodEvent preedit(QStringLiteral("2372"), {});
        QApplication::sendEvent(window->tmpText, &preedit);
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(window->tmpText, &event);
    }
    void key(Qt::Key k) { QTest::keyClick(window->tmpText, k); }
    // What the input method sends: a composition alone, or a commit with the composition after it.
    void imeEvent(const QString &preedit, const QString &commit = QString())
    {
        QInputMethodEvent event(preedit, {});
        if (!commit.isEmpty())
            event.setCommitString(commit);
        QApplication::sendEvent(window->tmpText, &event);
    }

    QString viewText() const { return window->mainText->toPlainText(); }
    // The colour the text shows: the test's overlay while it runs, else the document's.
    QRgb colourAt(int pos) const
    {
        if (window->CmdPauTest->isEnabled())
            return window->session().colourAt(pos);
        QTextCursor c(window->mainText->document());
        c.setPosition(pos);
        c.setPosition(pos + 1, QTextCursor::KeepAnchor);
        return c.charFormat().foreground().color().rgb();
    }
    // The words of the text as the marks cut it.
    QStringList words() const
    {
        const QString text = viewText();
        const QString &marks = window->run().doc.CharMarks;
        QStringList out;
        for (int i = 0; i < marks.size();) {
            int j = i;
            while (j < marks.size() && marks[j] == marks[i])
                ++j;
            out << text.mid(i, j - i);
            i = j;
        }
        return out;
    }

    struct Enabled {
        bool start, pause, end, file, setting, quit, calc, saveTest, staInfo, staSave, saveResult, openTest,
            openExample;
        bool operator==(const Enabled &) const = default;
    };
    Enabled enabled() const
    {
        const frmFcTest &w = *window;
        return {w.CmdStartTest->isEnabled(), w.CmdPauTest->isEnabled(), w.CmdEndTest->isEnabled(),
            w.cmdFile->isEnabled(), w.CmdSetting->isEnabled(), w.CmdQuit->isEnabled(), w.CmdCalc->isEnabled(),
            w.mnuSaveTestFile->isEnabled(), w.mnuStaInfo->isEnabled(), w.mnuStaSave->isEnabled(),
            w.mnuSaveResult->isEnabled(), w.mnuOpenTestFile->isEnabled(), w.mnuOpenExample->isEnabled()};
    }
};

const QRgb kRight = qRgb(0, 0xFF, 0);
const QRgb kError = qRgb(0xFF, 0, 0);

} // namespace

class TestTestWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loadsInTheNoTextState()
    {
        Fixture f;
        QCOMPARE(f.window->windowTitle(), QStringLiteral("分词测试"));
        QVERIFY(!f.window->mainText->isVisible());
        QVERIFY(!f.window->tmpText->isVisible());
        QCOMPARE(f.enabled(),
            (Fixture::Enabled{true, false, false, true, true, true, true, false, false, false, false, true, true}));
        QCOMPARE(f.window->panelText(1), QStringLiteral("欢迎进入分词测试"));
        QCOMPARE(f.window->panelText(2), QStringLiteral("9:00:00"));
        QCOMPARE(f.window->lblTips->property("caption").toString(),
            QStringLiteral("\r\n\r\n    本单元根据用户打开的文本文件进行分词测试。系统把用户打开的文本文件切分成词组，"
                           "帮助用户练习Orvane输入法的词组输入，并对文本文件包含的词组信息和用户的输入练习"
                           "情况提供详细的统计信息。\r\n    系统还提供保存分词结果和统计信息的功能，以方便用户对文件"
                           "进行分析和记录自己的练习成绩。\r\n\r\n"));
        QVERIFY(f.window->mnuAddWord->isEnabled());
        QVERIFY(f.window->Timer1->isEnabled());
        QVERIFY(!f.window->tmrLimitTime->isEnabled());

        // Starting without a text only says so.
        f.window->CmdStartTest->click();
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.prompts.messages[0].text, QStringLiteral("请先打开测试文件！"));
        QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Exclamation);
        QVERIFY(f.window->CmdStartTest->isEnabled());
        QVERIFY(!f.window->CmdEndTest->isEnabled());

        f.clock.advanceSeconds(65);
        f.window->Timer1_Timer();
        QCOMPARE(f.window->panelText(2), QStringLiteral("9:01:05"));
    }

    void missingPicturesEndTheProgram()
    {
        Fixture f;
        QFile::remove(f.ctx.folder.file(QStringLiteral("103.jpg")));
        QList<int> ended;
        f.ctx.endProgram = [&ended](int code) { ended << code; };
        frmFcTest second(f.ctx);
        QVERIFY(!second.Form_Load());
        QCOMPARE(ended, QList<int>{1});
        QCOMPARE(f.prompts.messages.last().text, QStringLiteral("背景图片文件不完整，请重新启动程序！"));
        QCOMPARE(f.prompts.messages.last().icon, MessageIcon::Critical);
    }

    // The window takes the opened text itself: the marks and counts of the new text, the values
    // and the snapshot of the previous one gone.
    void openingATextForgetsThePreviousOne()
    {
        Fixture f;
        f.open();
        TestRun &run = f.window->run();
        run.charTable(); // the details of the first text are built and kept
        QVERIFY(run.hasDetails());
        run.counters.RightCharCount = 7;
        run.counters.TypedText = QStringLiteral("旧");
        QFile snapshot(f.ctx.folder.file(QStringLiteral("temp.zh")));
        QVERIFY(snapshot.open(QIODevice::WriteOnly));
        snapshot.write("{\\rtf1 x}");
        snapshot.close();
        f.open(kText + QStringLiteral("abc123"));
        QCOMPARE(f.prompts.messages.size(), 0);
        const QString &marks = run.doc.CharMarks;
        QCOMPARE(marks.size(), f.viewText().size());
        QCOMPARE(run.doc.SymbolCount, int(marks.count(u'2')));
        QVERIFY(run.doc.SymbolCount > 0);
        QCOMPARE(run.doc.AlphaCount, 0); // the letters and digits were filtered
        QCOMPARE(run.doc.HanziCount, int(marks.size()) - run.doc.SymbolCount);
        QCOMPARE(run.counters.RightCharCount, 0);
        QVERIFY(run.counters.TypedText.isEmpty());
        QVERIFY(!run.hasDetails() && !run.hasResult());
        QVERIFY(!QFile::exists(f.ctx.folder.file(QStringLiteral("temp.zh"))));
    }

    // Open, type words and single characters, err, move back, retype, hint, pause, and finish
    // with the last character; the result dialog reads the figures and closing it restores the view.
    void theRoadOfOneTest()
    {
        Fixture f;
        f.open();
        QCOMPARE(f.viewText(), kText);
        QVERIFY(f.window->mainText->isVisible());
        QCOMPARE(f.enabled(),
            (Fixture::Enabled{true, false, false, true, true, true, true, true, true, true, true, true, true}));
        const QStringList words = f.words();
        QVERIFY2(words.size() > 10, qPrintable(words.join(QLatin1Char('/'))));
        const QRgb firstColour = f.colourAt(0);

        f.ctx.settings.AutoOpenIme = true;
        f.window->CmdStartTest->click();
        QCOMPARE(f.ime.calls, QStringList{QStringLiteral("on:orvane")});
        QVERIFY(QFile::exists(f.ctx.folder.file(QStringLiteral("temp.zh"))));
        QCOMPARE(f.enabled(),
            (Fixture::Enabled{
                false, true, true, false, false, false, false, false, false, false, false, false, false}));
        QVERIFY(f.window->tmpText->isVisible());
        QVERIFY(!f.window->LabelFc->isVisible());
        QCOMPARE(f.window->session().position(), 0);

        // F2 at the first character of the first word: the codes of the word.
        const QString first = words[0];
        f.key(Qt::Key_F2);
        QVERIFY2(f.window->panelText(1).startsWith(QStringLiteral("'") + first + QStringLiteral("'的编码为:")),
            qPrintable(f.window->panelText(1)));

        // The first word committed whole: one burst, every character compared.
        f.clock.advanceMs(500);
        f.commit(first);
        QCOMPARE(f.window->session().position(), first.size());
        QCOMPARE(f.window->run().counters.RightCharCount, int(first.size()));
        QCOMPARE(f.window->tmpText->text(), QString());
        QCOMPARE(f.window->session().CurrentBurstLength, int(first.size()));

        // A wrong character, then back with Backspace and Left, and typed again right.
        int pos = f.window->session().position();
        const QString expected = f.viewText().mid(pos, 1);
        f.clock.advanceMs(500);
        QTest::keyClicks(f.window->tmpText, QStringLiteral("x"));
        QCOMPARE(f.window->run().counters.WrongCharCount, 1);
        QCOMPARE(f.colourAt(pos), kError);
        f.key(Qt::Key_Backspace);
        QCOMPARE(f.window->session().position(), pos);
        f.key(Qt::Key_Left);
        f.key(Qt::Key_Right);
        QCOMPARE(f.window->session().position(), pos);
        QCOMPARE(f.viewText(), kText); // nothing was deleted
        f.clock.advanceMs(500);
        f.commit(expected);
        QCOMPARE(f.colourAt(pos), kRight);
        QCOMPARE(f.window->run().counters.WrongCharCount, 0);
        QCOMPARE(f.window->run().counters.RightCharCount, int(first.size()) + 1);

        // F2 at an inner character of a word: that character alone.
        pos = f.window->session().position();
        int wordStart = 0, inner = -1;
        for (const QString &w : words) {
            if (wordStart > pos && w.size() >= 2 && f.window->run().doc.CharMarks[wordStart] < QLatin1Char('2')) {
                inner = wordStart + 1;
                break;
            }
            wordStart += int(w.size());
        }
        QVERIFY(inner > 0);
        while (f.window->session().position() < inner)
            f.key(Qt::Key_Right);
        const QString innerChar = f.viewText().mid(inner, 1);
        f.key(Qt::Key_F2);
        QVERIFY2(f.window->panelText(1).startsWith(QStringLiteral("'") + innerChar + QStringLiteral("'的编码为:")),
            qPrintable(f.window->panelText(1)));
        // Characters passed over with the arrow stay uncoloured and uncounted.
        QVERIFY(f.colourAt(pos) != kRight && f.colourAt(pos) != kError);

        // Pause: the input method goes off, keys and characters wait in the box.
        f.clock.advanceSeconds(10);
        f.window->CmdPauTest->click();
        QCOMPARE(f.window->CmdPauTest->text(), QStringLiteral("继续测试"));
        QCOMPARE(f.ime.calls.last(), QStringLiteral("off"));
        QCOMPARE(f.enabled(),
            (Fixture::Enabled{
                false, true, false, false, false, false, false, false, false, false, false, false, false}));
        const int keysBefore = f.window->run().counters.KeystrokeCount;
        const int rightBefore = f.window->run().counters.RightCharCount;
        f.key(Qt::Key_Right);
        QCOMPARE(f.window->run().counters.KeystrokeCount, keysBefore);
        QCOMPARE(f.window->session().position(), inner);
        f.clock.advanceSeconds(30); // paused: not counted
        f.window->CmdPauTest->click();
        QCOMPARE(f.window->CmdPauTest->text(), QStringLiteral("暂停测试"));
        QCOMPARE(f.ime.calls.last(), QStringLiteral("on:orvane"));
        QCOMPARE(f.window->run().pausedSeconds(), 30);

        // Type the rest, every character right, a word at a time; the last one ends the test.
        pos = f.window->session().position();
        const QString rest = f.viewText().mid(pos);
        f.expectResult();
        f.clock.advanceSeconds(50);
        f.commit(rest);
        QTRY_COMPARE(f.results.size(), 1);
        QVERIFY(f.window->run().counters.KeystrokeCount > keysBefore);
        QCOMPARE(f.window->run().counters.RightCharCount, rightBefore + int(rest.size()));
        // 91.5 s went by on the clock of day, 30 of them paused; times of day are whole seconds.
        QCOMPARE(f.window->run().elapsedSeconds(), 61);
        QCOMPARE(f.results[0].time, QStringLiteral("0:01:01"));
        QCOMPARE(f.results[0].total, QString::number(kText.size()));
        QCOMPARE(f.ime.calls.last(), QStringLiteral("off"));

        // Ended: the view is back to its colours before the test, the controls as after opening.
        QCOMPARE(f.colourAt(0), firstColour);
        QVERIFY(f.colourAt(int(kText.size()) - 1) != kRight);
        QCOMPARE(f.enabled(),
            (Fixture::Enabled{true, false, false, true, true, true, true, true, true, true, true, true, true}));
        QCOMPARE(f.window->panelText(1), QString());
        QVERIFY(f.window->run().hasResult());
        QCOMPARE(f.window->run().result().accuracy, f.results[0].accuracy);
    }

    void keysAndBurstsOfOneTest()
    {
        Fixture f;
        f.open();
        f.window->CmdStartTest->click();
        const QStringList words = f.words();
        // Two words committed whole, 300 ms apart; keys: 4 digits + 1 commit each, one F2.
        f.clock.advanceMs(300);
        f.commit(words[0]);
        f.clock.advanceMs(300);
        f.commit(words[1]);
        f.key(Qt::Key_F2);
        QCOMPARE(f.window->run().counters.KeystrokeCount, 2 + 2 + 1);
        QCOMPARE(f.window->run().counters.UserWordCounts[words[0].size()], 1);
        QCOMPARE(f.window->session().CurrentBurstLength, int(words[1].size()));
    }

    // A 6-digit code with several candidates followed straight by the next code: the seventh
    // digit commits the first candidate and starts the next code. fcitx5 sends the commit and
    // then the new composition as two events; an input method may send both in one. The box's
    // text must not change on the way (emptying it resets the input method, which commits the
    // next code's first digit), and the words arrive right. Every input-method event that
    // commits or changes the composition counts one key.
    void theNextCodeIsComposedWhileAWordArrives_data()
    {
        QTest::addColumn<bool>("commitAlone");
        QTest::addColumn<int>("keys");
        QTest::newRow("commit, then the composition") << true << 13;
        QTest::newRow("commit with the composition") << false << 12;
    }
    void theNextCodeIsComposedWhileAWordArrives()
    {
        QFETCH(bool, commitAlone);
        QFETCH(int, keys);
        Fixture f;
        f.open(QStringLiteral("愈接近终点，我们是学生，我们热爱学习。今天天气很好，老师带我们去公园参观。"));
        f.window->CmdStartTest->click();
        QStringList changes;
        QObject::connect(
            f.window->tmpText, &QLineEdit::textChanged, [&changes](const QString &text) { changes << text; });
        for (const QString &digits : {"8", "80", "803", "8033", "80332", "803323"})
            f.imeEvent(digits);
        if (commitAlone) {
            f.imeEvent(QString(), QStringLiteral("愈"));
            f.imeEvent(QStringLiteral("5"));
        } else {
            f.imeEvent(QStringLiteral("5"), QStringLiteral("愈"));
        }
        QCOMPARE(f.window->session().position(), 1);
        QVERIFY(f.window->tmpText->isComposing());
        for (const QString &digits : {"50", "501", "5013", "50132"})
            f.imeEvent(digits);
        f.imeEvent(QString(), QStringLiteral("接近"));
        QCOMPARE(changes, QStringList());
        QCOMPARE(f.window->session().position(), 3);
        QCOMPARE(f.window->run().counters.RightCharCount, 3);
        QCOMPARE(f.window->run().counters.WrongCharCount, 0);
        QCOMPARE(f.window->run().counters.KeystrokeCount, keys);
        QVERIFY(!f.window->tmpText->isComposing());
    }

    // While the test is paused, what arrives waits in the box and is not compared.
    void aCommitWhilePausedStaysInTheBox()
    {
        Fixture f;
        f.open();
        f.window->CmdStartTest->click();
        f.window->CmdPauTest->click();
        f.imeEvent(QString(), QStringLiteral("我们"));
        QCOMPARE(f.window->tmpText->text(), QStringLiteral("我们"));
        QCOMPARE(f.window->session().position(), 0);
        QCOMPARE(f.window->run().counters.RightCharCount, 0);
    }

    // Lines of the text view end between words only, for an opened text and for a saved example
    // opened again: a line end must not look like a word boundary.
    void linesEndBetweenWords()
    {
        Fixture f;
        QString text;
        for (int i = 0; i < 12; ++i)
            text += QStringLiteral("国家统计局今天发布的数据显示国内生产总值达到三十九万亿元比上年增长，");
        f.open(text);
        const auto linesStartAtWords = [&f]() {
            const QString &marks = f.window->run().doc.CharMarks;
            int lines = 0;
            for (QTextBlock b = f.window->mainText->document()->begin(); b.isValid(); b = b.next()) {
                QTextLayout *layout = b.layout();
                for (int i = 1; i < layout->lineCount(); ++i, ++lines) {
                    const int at = b.position() + layout->lineAt(i).textStart();
                    if (marks.at(at - 1) == marks.at(at))
                        return -1;
                }
            }
            return lines;
        };
        QVERIFY(linesStartAtWords() > 3);
        QString error;
        const QString example = f.ctx.folder.file(QStringLiteral("例文.sav"));
        QVERIFY2(writeExample(example, *f.window->mainText->document(), f.window->run().doc.CharMarks, &error),
            qPrintable(error));
        f.open(QStringLiteral("他们是学生，他们热爱学习，今天天气很好，我们一起去公园散步。"));
        f.prompts.files << example;
        f.window->mnuOpenExample->trigger();
        QCOMPARE(f.window->mainText->toPlainText(), text);
        QVERIFY(linesStartAtWords() > 3);
    }

    // The box shows a whole code just above or below the current character's line, beside the
    // character and never over it, inside the text view, wherever the test has got to.
    void theTypingBoxStaysAtTheCurrentCharacter()
    {
        Fixture f;
        QString text;
        for (int i = 0; i < 40; ++i)
            text += QStringLiteral("我们是学生，我们热爱学习。今天天气很好，老师带我们去公园参观。");
        f.open(text);
        f.window->CmdStartTest->click();
        TypingBox *box = f.window->tmpText;
        QVERIFY(box->width() >= box->fontMetrics().horizontalAdvance(QStringLiteral("000000")));
        QWidget *viewport = f.window->mainText->viewport();
        const QRect view(viewport->mapTo(f.window.get(), QPoint(0, 0)), viewport->size());
        int sawBelow = 0;
        for (int step = 0; step < 50; ++step) {
            const int position = f.window->session().position();
            // The current character: from the caret before it to the caret after it.
            QTextCursor at(f.window->mainText->document());
            at.setPosition(position);
            QRect current = f.window->mainText->cursorRect(at);
            at.setPosition(position + 1);
            const QRect after = f.window->mainText->cursorRect(at);
            if (after.top() == current.top())
                current.setRight(after.left());
            current.moveTopLeft(viewport->mapTo(f.window.get(), current.topLeft()));
            const QRect boxRect = box->geometry();
            QVERIFY2(view.contains(current), qPrintable(QStringLiteral("position %1").arg(position)));
            QVERIFY2(view.contains(boxRect), qPrintable(QStringLiteral("position %1").arg(position)));
            QVERIFY2(!boxRect.intersects(current), qPrintable(QStringLiteral("position %1").arg(position)));
            const bool below = boxRect.top() == current.bottom() + 1;
            QVERIFY2(below || boxRect.bottom() + 1 == current.top(),
                qPrintable(QStringLiteral("the box is not beside the line at position %1").arg(position)));
            sawBelow += below ? 1 : 0;
            // It starts where the character starts, unless that would take it past the view's edge.
            QCOMPARE(boxRect.left(), qMin(current.left(), view.right() + 1 - box->width()));
            // On a word at a time, over many lines and down the text as it scrolls.
            f.commit(f.viewText().mid(position, 20));
        }
        QVERIFY(f.window->mainText->verticalScrollBar()->value() > 0);
        QVERIFY(sawBelow > 0);
    }

    void endByButtonAndStartAgain()
    {
        Fixture f;
        f.open();
        f.window->CmdStartTest->click();
        f.clock.advanceSeconds(90);
        f.commit(f.viewText().left(3));
        f.expectResult();
        f.window->CmdEndTest->click();
        QTRY_COMPARE(f.results.size(), 1);
        QCOMPARE(f.results[0].time, QStringLiteral("0:01:30"));
        QCOMPARE(f.results[0].accuracy, QStringLiteral("100.00%"));
        QCOMPARE(f.results[0].speed, QStringLiteral("2字/分"));
        QVERIFY(f.colourAt(0) != kRight);
        // The empty box leaves the character where the test stopped for the view's bottom right
        // corner.
        const QWidget *viewport = f.window->mainText->viewport();
        const QRect view(viewport->mapTo(f.window->tmpText->parentWidget(), QPoint(0, 0)), viewport->size());
        const QRect box = f.window->tmpText->geometry();
        QCOMPARE(box.bottom(), view.bottom());
        QVERIFY(box.left() > view.center().x() && box.right() < view.right());

        // A second test on the same text starts from zero with a fresh snapshot.
        QFile::remove(f.ctx.folder.file(QStringLiteral("temp.zh")));
        f.window->CmdStartTest->click();
        QCOMPARE(f.window->run().counters.RightCharCount, 0);
        QCOMPARE(f.window->run().counters.TypedText, QString());
        QCOMPARE(f.window->session().position(), 0);
        QVERIFY(QFile::exists(f.ctx.folder.file(QStringLiteral("temp.zh"))));

        // A text opened after a test drops that test and the old text's figures.
        f.commit(f.viewText().left(2));
        f.expectResult();
        f.window->CmdEndTest->click();
        QTRY_COMPARE(f.results.size(), 2);
        QVERIFY(f.window->run().hasResult());
        f.open();
        QCOMPARE(f.window->run().counters.RightCharCount, 0);
        QCOMPARE(f.window->run().counters.TypedText, QString());
        QCOMPARE(f.window->run().elapsedSeconds(), 0);
        QVERIFY(!f.window->run().hasResult() && !f.window->run().hasDetails());
        QVERIFY(!QFile::exists(f.ctx.folder.file(QStringLiteral("temp.zh"))));
    }

    // A finished test is kept in the history with the figures its result dialog shows and the
    // commits that typed it.
    void aFinishedTestIsKeptInTheHistory()
    {
        Fixture f;
        f.open();
        // A test ended before anything was typed is not kept.
        f.window->CmdStartTest->click();
        f.clock.advanceSeconds(5);
        f.expectResult();
        f.window->CmdEndTest->click();
        QTRY_COMPARE(f.results.size(), 1);
        f.results.clear();

        f.window->CmdStartTest->click();
        const QStringList words = f.words();
        QVector<HistoryCommit> commits;
        int position = 0;
        f.expectResult();
        for (int i = 0; i < words.size(); ++i) {
            f.clock.advanceMs(2000);
            // The second word arrives wrong; every commit comes after a composition (two keys).
            const QString typed = i == 1 ? QString(words[i].size(), QChar(0x738B)) : words[i];
            f.commit(typed);
            commits.push_back({position, typed, 2000 * (i + 1), 2});
            position += int(words[i].size());
        }
        QTRY_COMPARE(f.results.size(), 1);
        const ResultTexts &shown = f.results[0];

        HistoryDb db;
        QString error;
        QVERIFY2(db.open(defaultHistoryPath(), &error), qPrintable(error));
        QVERIFY(defaultHistoryPath().startsWith(f.userData.path()));
        const QVector<HistoryRecord> tests = db.tests(&error);
        QCOMPARE(tests.size(), 1);
        const HistoryRecord &r = tests[0];
        QCOMPARE(formatElapsed(r.elapsedSeconds), shown.time);
        QCOMPARE(QString::number(r.accuracy, 'f', 2) + QLatin1Char('%'), shown.accuracy);
        QCOMPARE(QString::number(r.speed) + QStringLiteral("字/分"), shown.speed);
        QCOMPARE(QString::number(r.effectiveSpeed) + QStringLiteral("字/分"), shown.effective);
        QCOMPARE(QString::number(r.total), shown.total);
        QVERIFY(r.wrong > 0 && r.right > 0);
        QCOMPARE(r.right, f.window->run().counters.RightCharCount);
        QCOMPARE(r.wrong, f.window->run().counters.WrongCharCount);
        QCOMPARE(r.keys, f.window->run().counters.KeystrokeCount);
        QCOMPARE(r.bursts, f.window->run().counters.UserWordCounts);
        QCOMPARE(r.textName, QStringLiteral("课文.txt"));
        QCOMPARE(r.textHash, historyTextHash(kText));
        QCOMPARE(r.textLength, int(kText.size()));
        QCOMPARE(r.start, QDateTime(QDate(2026, 3, 2), QTime(9, 0, 5)));
        QCOMPARE(r.end, r.start.addMSecs(2000 * words.size()));
        QCOMPARE(db.commits(r.id), commits);
    }

    // The typing figures of one test in the window: the live line each second, the result
    // dialog's group, the line its copy button puts into the clipboard and the history row all
    // show the same figures.
    void theTypingFiguresOfATest()
    {
        Fixture f;
        f.open();
        QVERIFY(!f.window->lblLive->isVisible());
        f.window->CmdStartTest->click();
        QVERIFY(f.window->lblLive->isVisible());
        const QStringList words = f.words();
        QCOMPARE(words[0], QStringLiteral("我们"));

        // Every commit takes two keys (its composition and the commit).
        f.clock.advanceSeconds(2);
        f.commit(words[0]);
        f.window->Timer1_Timer();
        QCOMPARE(f.window->lblLive->text(), QStringLiteral("速度 60字/分\n击键 1.00\n码长 1.000"));
        // A pause does not count.
        f.window->CmdPauTest->click();
        f.clock.advanceSeconds(30);
        f.window->Timer1_Timer();
        QCOMPARE(f.window->lblLive->text(), QStringLiteral("速度 60字/分\n击键 1.00\n码长 1.000"));
        f.window->CmdPauTest->click();

        // Back with Backspace and 们 typed again: one 退格, one 回改.
        f.key(Qt::Key_Backspace);
        f.commit(QStringLiteral("们"));
        struct Shown {
            QStringList figures;
            QString copied;
        } shown;
        onNextModal([&shown](QWidget *w) {
            auto *dialog = qobject_cast<DlgResult *>(w);
            QVERIFY(dialog);
            auto *group = dialog->findChild<QGroupBox *>(QStringLiteral("fraTyping"));
            QVERIFY(group && group->isVisible());
            for (QLabel *l : {dialog->lblRate, dialog->lblEffRate, dialog->lblRgtRate, dialog->lblTime,
                     dialog->lblKeysPerSecond, dialog->lblCodeLength, dialog->lblIdealCodeLength, dialog->lblWordShare,
                     dialog->lblIdealWordShare, dialog->lblWordShareRatio, dialog->lblBackspaces, dialog->lblRetyped,
                     dialog->lblKeyAccuracy, dialog->lblTextIdealCodeLength})
                shown.figures << l->text();
            QGuiApplication::clipboard()->clear();
            dialog->cmdCopy->click();
            shown.copied = QGuiApplication::clipboard()->text();
            dialog->cmdOk->click();
        });
        for (int i = 1; i < words.size(); ++i) {
            f.clock.advanceSeconds(1);
            f.commit(words[i]);
        }
        QVERIFY(test::lastModalHandled());
        const QStringList &l = shown.figures;
        QCOMPARE(l.size(), 14);
        QCOMPARE(shown.copied,
            QStringLiteral("《课文.txt》 速度%1 有效速度%2 正确率%3 用时%4 击键%5 码长%6 理论码长%7 打词率%8 "
                           "理论打词率%9 打词达成率%10 退格%11 回改%12 键准%13")
                .arg(l[0], l[1], l[2], l[3], l[4], l[5], l[6], l[7], l[8])
                .arg(l[9], l[10], l[11], l[12]));
        QCOMPARE(l[10], QStringLiteral("1"));
        QCOMPARE(l[11], QStringLiteral("1"));
        // The build's code database gives the ideal figures; the whole text was typed, so its
        // ideal equals the stretch's.
        QVERIFY(l[6] != QStringLiteral("—"));
        QCOMPARE(l[13], l[6]);

        HistoryDb db;
        QString error;
        QVERIFY2(db.open(defaultHistoryPath(), &error), qPrintable(error));
        const QVector<HistoryRecord> tests = db.tests(&error);
        QCOMPARE(tests.size(), 1);
        const HistoryRecord &r = tests[0];
        QCOMPARE((QStringList{keysPerSecondText(r.keysPerSecond), codeLengthText(r.codeLength),
                     codeLengthText(r.idealCodeLength), shareText(r.wordShare), shareText(r.idealWordShare),
                     QString::number(r.backspaces.value_or(-1)), QString::number(r.retyped.value_or(-1)),
                     shareText(r.keyAccuracy)}),
            (QStringList{l[4], l[5], l[6], l[7], l[8], l[10], l[11], l[12]}));
    }

    // Where the keys went: the result dialog and the statistics menu open the split view of the
    // typed stretch. The first word is typed character by character, the second arrives wrong and
    // is typed again after Backspace, the rest word by word.
    void theSplitViewOfATest()
    {
        Fixture f;
        f.open();
        QMenu *menu = f.window->mnuCalc;
        emit menu->aboutToShow();
        QVERIFY(!f.window->mnuSplitView->isEnabled()); // no test yet

        f.window->CmdStartTest->click();
        const QStringList words = f.words();
        QCOMPARE(words.mid(0, 2), (QStringList{QStringLiteral("我们"), QStringLiteral("是")}));
        f.commit(QStringLiteral("我"));
        f.commit(QStringLiteral("们"));
        f.commit(QStringLiteral("事"));
        f.key(Qt::Key_Backspace);
        f.commit(QStringLiteral("是"));
        QStringList rows;
        QString totals;
        bool highlighted = false;
        onNextModal([&](QWidget *w) {
            auto *result = qobject_cast<DlgResult *>(w);
            QVERIFY(result);
            onNextModal(
                [&](QWidget *v) {
                    auto *view = qobject_cast<DlgSplitView *>(v);
                    QVERIFY(view);
                    QCOMPARE(view->windowTitle(), QStringLiteral("分词对照"));
                    totals = view->lblTotals->text();
                    view->cboSort->setCurrentIndex(1); // by extra keys: 是 leads
                    for (int r = 0; r < view->tblSpans->rowCount(); ++r) {
                        QStringList cells;
                        for (int c : {DlgSplitView::ColText, DlgSplitView::ColLearner, DlgSplitView::ColLearnerKeys,
                                 DlgSplitView::ColPath, DlgSplitView::ColExtra, DlgSplitView::ColRetyped})
                            cells << view->tblSpans->item(r, c)->text();
                        rows << cells.join(u' ');
                    }
                    highlighted = view->tblSpans->item(0, DlgSplitView::ColText)->background().color()
                        != view->tblSpans->item(view->tblSpans->rowCount() - 1, DlgSplitView::ColText)
                               ->background()
                               .color();
                    view->cmdClose->click();
                },
                60000);
            result->cmdSplitView->click();
            result->cmdOk->click();
        });
        for (int i = 2; i < words.size(); ++i)
            f.commit(words[i]);
        QTRY_VERIFY_WITH_TIMEOUT(!rows.isEmpty(), 60000);
        QCOMPARE(f.prompts.messages.size(), 0);
        // 我们 takes 2 + 2 keys against 2372 and space; 是 2 + (Backspace and 2) against 6 and space.
        QCOMPARE(rows.value(0), QStringLiteral("是 事 5 是 +3 是"));
        QVERIFY2(rows.contains(QStringLiteral("我们 我|们 4 我们 -1 ")), qPrintable(rows.join(u'\n')));
        QVERIFY(highlighted);
        QVERIFY2(totals.contains(QStringLiteral("回改 1 次，错字 1 个")), qPrintable(totals));

        // The statistics menu opens it again after the test.
        emit menu->aboutToShow();
        QVERIFY(f.window->mnuSplitView->isEnabled());
        bool shown = false;
        onNextModal(
            [&](QWidget *v) {
                shown = qobject_cast<DlgSplitView *>(v) != nullptr;
                v->close();
            },
            60000);
        f.window->mnuSplitView->trigger();
        QVERIFY(shown);
    }

    // A history that cannot be written is told once in a run; every test still shows its result.
    void aHistoryThatCannotBeWrittenIsToldOnce()
    {
        Fixture f;
        QFile blocker(f.userData.filePath(QStringLiteral("plain")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        f.ctx.historyPath = blocker.fileName() + QStringLiteral("/orvane-tutor/history.db");
        f.open();
        for (int round = 1; round <= 2; ++round) {
            f.window->CmdStartTest->click();
            f.clock.advanceSeconds(30);
            f.commit(f.viewText().left(2));
            f.expectResult();
            f.window->CmdEndTest->click();
            QTRY_COMPARE(f.results.size(), round);
            QCOMPARE(f.results.last().speed, QStringLiteral("4字/分"));
        }
        int told = 0;
        for (const test::RecordedMessage &m : f.prompts.messages)
            told += m.text.contains(QStringLiteral("成绩记录")) ? 1 : 0;
        QCOMPARE(told, 1);
    }

    void theTimeLimitCountsDownAndEnds()
    {
        Fixture f;
        f.ctx.settings.LimitTime = true;
        f.open();
        f.window->CmdStartTest->click();
        QVERIFY(f.window->tmrLimitTime->isEnabled());
        QVERIFY(!f.window->Timer1->isEnabled());
        f.clock.advanceSeconds(1);
        f.window->tmrLimitTime_Timer();
        QCOMPARE(f.window->panelText(2), QStringLiteral("0:4:59"));

        // Pausing freezes the countdown.
        f.window->CmdPauTest->click();
        QVERIFY(!f.window->tmrLimitTime->isEnabled());
        f.window->CmdPauTest->click();
        QVERIFY(f.window->tmrLimitTime->isEnabled());

        for (int i = 0; i < 298; ++i)
            f.window->tmrLimitTime_Timer();
        QCOMPARE(f.window->panelText(2), QStringLiteral("0:0:1"));
        QVERIFY(f.window->CmdEndTest->isEnabled());
        f.expectResult();
        f.clock.advanceSeconds(299);
        f.window->tmrLimitTime_Timer();
        QTRY_COMPARE(f.results.size(), 1);
        QCOMPARE(f.window->panelText(2), QStringLiteral("9:05:00"));
        QVERIFY(!f.window->tmrLimitTime->isEnabled());
        QVERIFY(f.window->Timer1->isEnabled());
        QVERIFY(!f.window->CmdEndTest->isEnabled());
        QCOMPARE(f.results[0].time, QStringLiteral("0:05:00"));
    }

    void aTestAcrossMidnightKeepsItsLength()
    {
        Fixture f;
        f.clock.setNow(QDateTime(QDate(2026, 3, 2), QTime(23, 59, 30)));
        f.open();
        f.window->CmdStartTest->click();
        f.commit(f.viewText().left(2));
        f.clock.setNow(QDateTime(QDate(2026, 3, 3), QTime(0, 0, 40)));
        f.expectResult();
        f.window->CmdEndTest->click();
        QTRY_COMPARE(f.results.size(), 1);
        QCOMPARE(f.results[0].time, QStringLiteral("0:01:10"));
    }

    void aLineBreakIsTypedWithEnter()
    {
        Fixture f;
        f.open(QStringLiteral("我们是学生。\n老师带我们去公园参观，今天天气很好，大家都很高兴。"));
        f.window->CmdStartTest->click();
        const int lineBreak = int(f.viewText().indexOf(QLatin1Char('\n')));
        QVERIFY(lineBreak > 0);
        f.commit(f.viewText().left(lineBreak));
        QCOMPARE(f.window->session().position(), lineBreak);
        f.key(Qt::Key_Return);
        QCOMPARE(f.window->session().position(), lineBreak + 1);
        QCOMPARE(f.window->run().counters.RightCharCount, lineBreak + 1);
        QCOMPARE(f.window->run().counters.WrongCharCount, 0);
    }

    void rightClickOnTheTextGreets()
    {
        Fixture f;
        f.open();
        QTest::mouseClick(f.window->mainText->viewport(), Qt::RightButton);
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.prompts.messages[0].text, QStringLiteral("欢迎使用Orvane输入法2006分词测试！"));
        QCOMPARE(f.prompts.messages[0].title, QStringLiteral("欢迎信息"));
        QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Information);
        // A left click neither moves the position nor takes the focus from the typing box.
        f.window->CmdStartTest->click();
        QTest::mouseClick(f.window->mainText->viewport(), Qt::LeftButton, {}, QPoint(40, 20));
        QCOMPARE(f.window->session().position(), 0);
    }

    void resizingKeepsTheMinimumAndGrowsTheFonts()
    {
        Fixture f;
        f.window->resize(300, 200);
        QCOMPARE(f.window->size(), QSize(600, 533));
        f.window->resize(1360, 1000); // twice the design width
        QCOMPARE(f.window->cmdFile->font().pointSize(), f.window->BaseFontSizes[0] + 12);
        QCOMPARE(f.window->CmdQuit->font().pointSize(), f.window->BaseFontSizes[0] + 12);
        QCOMPARE(f.window->LabelFc->font().pointSize(), f.window->BaseFontSizes[1] + 12);
        QCOMPARE(f.window->lblTips->font().pointSize(), f.window->BaseFontSizes[2] + 15);
        QCOMPARE(f.window->CmdQuit->geometry(), QRect(1120, 788, 200, 60));
        QCOMPARE(f.window->StatusBar1->geometry(), QRect(0, 952, 1360, 48)); // along the bottom edge
    }

    void theTypingBoxStaysBelowTheCurrentCharacterWhenTheWindowResizes()
    {
        Fixture f;
        f.open();
        f.window->CmdStartTest->click();
        f.commit(f.viewText().left(3));
        const auto belowCurrent = [&f] {
            QTextCursor at(f.window->mainText->document());
            at.setPosition(f.window->session().position());
            const QRect character = f.window->mainText->cursorRect(at);
            return f.window->mainText->viewport()->mapTo(
                f.window.get(), QPoint(character.left(), character.bottom() + 1));
        };
        QCOMPARE(f.window->tmpText->pos(), belowCurrent());
        for (const QSize size : {QSize(1360, 1000), QSize(600, 533)}) {
            f.window->resize(size);
            QCOMPARE(f.window->tmpText->pos(), belowCurrent());
        }
    }

    void unloadRemovesTheWorkingFiles()
    {
        Fixture f;
        f.open();
        f.window->CmdStartTest->click();
        QFile old(f.ctx.folder.file(QStringLiteral("oldfilter.dat")));
        old.open(QIODevice::WriteOnly);
        old.close();
        QVERIFY(QFile::exists(f.ctx.folder.file(QStringLiteral("temp.zh"))));
        f.window->close(); // while the test runs: nothing is asked
        QVERIFY(!QFile::exists(f.ctx.folder.file(QStringLiteral("temp.zh"))));
        QVERIFY(!QFile::exists(f.ctx.folder.file(QStringLiteral("oldfilter.dat"))));
        QVERIFY(f.prompts.messages.isEmpty());
        QVERIFY(!f.window->Timer1->isEnabled());
    }
};

QTEST_MAIN(TestTestWindow)
#include "test_testwindow.moc"
