// The file commands of the test window on the real window: a segmented example saved and opened
// again is tested at once with hints and statistics; refused examples change nothing; the plain
// text with separators, the segmentation result and the statistics report.
#include "contextfixture.h"
#include "modal.h"
#include "prepare/codedictionary.h"
#include "prepare/externallibs.h"
#include "prepare/frmopenfile.h"
#include "prepare/richtext.h"
#include "scriptedprompts.h"
#include "segtest/dlgmoreinfo.h"
#include "segtest/dlgresult.h"
#include "segtest/examplefiles.h"
#include "segtest/frmfctest.h"
#include "segtest/report.h"
#include "shell/pictures.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QInputMethodEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>
#include <memory>

using namespace orvane;
using orvane::test::onNextModal;
using orvane::test::ScriptedPrompts;

namespace {

const QString kText = QStringLiteral("我们是学生，我们热爱学习。今天天气很好，老师带我们去公园参观。");
const QString kOther = QStringLiteral("春天来了，小草绿了，花儿开了。孩子们在田野里奔跑，大家都很高兴。");

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// The test window with the real open-text dialog, the dictionary and the segmenter of the build.
struct WindowFixture : test::ContextFixture {
    std::unique_ptr<frmFcTest> window;
    int resultsShown = 0;

    WindowFixture() : ContextFixture({.now = QDateTime(QDate(2026, 5, 4), QTime(14, 0, 0))})
    {
        window = std::make_unique<frmFcTest>(ctx);
        if (!window->Form_Load())
            qFatal("the test window did not load");
        window->show();
    }

    void open(const QString &text)
    {
        const QString file = path(QStringLiteral("课文.txt"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
        f.close();
        onNextModal([file](QWidget *w) {
            auto *dialog = qobject_cast<frmOpenFile *>(w);
            QVERIFY(dialog);
            dialog->loadFile(file);
            dialog->chkUseFilter->setChecked(false);
            dialog->cmdOpenFile_Click();
        });
        window->mnuOpenTestFile->trigger();
        QVERIFY(test::lastModalHandled());
        QCOMPARE(viewText(), text);
    }

    // Menu commands answer their file dialog with the given path.
    void run(QAction *action, const QString &file)
    {
        prompts.files.enqueue(file);
        action->trigger();
    }

    void commit(const QString &text)
    {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(window->tmpText, &event);
    }

    // Types the rest of the text; the last character ends the test and the result dialog closes.
    void finishTest()
    {
        onNextModal([this](QWidget *w) {
            auto *dialog = qobject_cast<DlgResult *>(w);
            QVERIFY(dialog);
            ++resultsShown;
            dialog->cmdOk->click();
        });
        clock.advanceSeconds(40);
        commit(viewText().mid(window->session().position()));
        QTRY_VERIFY(test::lastModalHandled());
    }

    QString viewText() const { return window->mainText->toPlainText(); }
    QString firstWord() const
    {
        const QString &marks = window->run().doc.CharMarks;
        int j = 0;
        while (j < marks.size() && marks[j] == marks[0])
            ++j;
        return viewText().left(j);
    }
};

} // namespace

class TestFileCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Saved, another text tested, the example opened again: the same view and marks, fresh
    // figures, and a test that runs at once with hints and statistics.
    void exampleOpenedAgainIsTestedAtOnce()
    {
        const int opened = CodeDictionary::openCount();
        WindowFixture f;
        f.open(kText);
        const QString marks = f.window->run().doc.CharMarks;
        QCOMPARE(marks.size(), kText.size());
        const QByteArray view = writeRtf(*f.window->mainText->document());
        const int hanzi = f.window->run().doc.HanziCount, symbols = f.window->run().doc.SymbolCount;

        // A name without extension gets ".sav".
        f.run(f.window->mnuSaveResult, f.path(QStringLiteral("例文")));
        QVERIFY(QFile::exists(f.path(QStringLiteral("例文.sav"))));
        QCOMPARE(fileBytes(f.path(QStringLiteral("例文.ext"))), markFileBytes(marks));
        QCOMPARE(f.window->run().doc.CharMarks, marks);

        f.open(kOther);
        f.window->CmdStartTest->click();
        f.finishTest();
        QVERIFY(f.window->run().hasResult());
        QVERIFY(f.window->mnuSaveTestFile->isEnabled());

        f.run(f.window->mnuOpenExample, f.path(QStringLiteral("例文.sav")));
        QCOMPARE(f.prompts.messages.size(), 0);
        QCOMPARE(f.viewText(), kText);
        QCOMPARE(f.window->run().doc.CharMarks, marks);
        QCOMPARE(writeRtf(*f.window->mainText->document()), view);
        QCOMPARE(f.window->run().doc.HanziCount, hanzi);
        QCOMPARE(f.window->run().doc.SymbolCount, symbols);
        QCOMPARE(f.window->run().doc.AlphaCount, 0);
        QVERIFY(
            !f.window->run().hasResult() && !f.window->run().hasDetails() && !f.window->run().text().hasWordTable());
        QCOMPARE(f.window->run().counters.RightCharCount + f.window->run().counters.WrongCharCount, 0);
        QVERIFY(!QFile::exists(f.ctx.folder.file(QStringLiteral("temp.zh"))));
        QVERIFY(f.window->mainText->isVisible());
        QVERIFY(f.window->tmpText->isVisible() && f.window->tmpText->isEnabled());
        QVERIFY(!f.window->mnuSaveTestFile->isEnabled());
        QVERIFY(f.window->CmdStartTest->isEnabled());
        QVERIFY(f.window->mnuStaInfo->isEnabled() && f.window->mnuStaSave->isEnabled());
        QVERIFY(f.window->mnuSaveResult->isEnabled());

        // The test: a hint for the first word, the word typed, the rest typed to the end.
        f.window->CmdStartTest->click();
        const QString first = f.firstWord();
        QTest::keyClick(f.window->tmpText, Qt::Key_F2);
        QVERIFY2(f.window->panelText(1).startsWith(u'\'' + first + QStringLiteral("'的编码为:")),
            qPrintable(f.window->panelText(1)));
        f.clock.advanceSeconds(5);
        f.commit(first);
        QCOMPARE(f.window->session().position(), first.size());
        QCOMPARE(f.window->run().counters.RightCharCount, int(first.size()));
        f.finishTest();
        QCOMPARE(f.resultsShown, 2);
        QCOMPARE(f.window->run().counters.RightCharCount, int(kText.size()));
        QVERIFY(f.window->mnuSaveTestFile->isEnabled());

        // The details of the example: the result dialog, then its more-information dialog.
        onNextModal([](QWidget *w) {
            auto *result = qobject_cast<DlgResult *>(w);
            QVERIFY(result);
            onNextModal([](QWidget *more) {
                QVERIFY(qobject_cast<DlgMoreInfo *>(more));
                qobject_cast<DlgMoreInfo *>(more)->cmdOk->click();
            });
            result->cmdMorInfo->click();
            result->cmdOk->click();
        });
        f.window->mnuStaInfo->trigger();
        QVERIFY(f.window->run().hasDetails() && f.window->run().text().hasWordTable());
        QCOMPARE(f.window->run().typingDetails().typed, int(kText.size()));

        // The report holds the figures of the example, not of the text tested before.
        f.run(f.window->mnuStaSave, f.path(QStringLiteral("统计.txt")));
        const QString report = QString::fromUtf8(fileBytes(f.path(QStringLiteral("统计.txt"))));
        QCOMPARE(report, statisticsReport(f.window->run().reportFigures()));
        QVERIFY(report.contains(QStringLiteral("\r\n文本中的总字数：%1\r\n").arg(kText.size())));
        QVERIFY(report.contains(QStringLiteral("\r\n用户所用时间：0:00:45\r\n")));
        QVERIFY2(report.contains(QStringLiteral("\r\n正确率：100.00%\r\n")), qPrintable(report.left(400)));
        QVERIFY(report.contains(QStringLiteral("\r\n     我们       ")));
        QVERIFY(!report.contains(QStringLiteral("春天")));
        QVERIFY(report.contains(QStringLiteral("\r\n用户输入的总字数：%1\r\n").arg(kText.size())));
        // Two texts rendered, an example, a test with a code hint, the tables: one opening of the
        // code database for all of it.
        QCOMPARE(CodeDictionary::openCount() - opened, 1);
    }

    void refusedExampleChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("markFile"); // empty: the mark file is missing
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QByteArray() << QStringLiteral("辅助文件不存在，不能打开此文件！");
        QTest::newRow("shorter") << QByteArray("\"0101\"\r\n") << QStringLiteral("少");
        QTest::newRow("longer") << QByteArray("\"") + QByteArray(kText.size() + 1, '0') + "\"\r\n"
                                << QStringLiteral("多");
        QTest::newRow("mark 3") << QByteArray("\"") + QByteArray(kText.size() - 1, '0') + "3\"\r\n"
                                << QStringLiteral("“3”无效");
    }
    void refusedExampleChangesNothing()
    {
        QFETCH(QByteArray, markFile);
        QFETCH(QString, message);
        WindowFixture f;
        f.open(kText);
        f.run(f.window->mnuSaveResult, f.path(QStringLiteral("a.sav")));
        const QString aux = f.path(QStringLiteral("a.ext"));
        QFile::remove(aux);
        if (!markFile.isEmpty()) {
            QFile out(aux);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(markFile);
        }
        f.open(kOther);
        f.window->CmdStartTest->click();
        f.finishTest();
        const QString html = f.window->mainText->toHtml();
        const TestDocument before = f.window->run().doc;
        const TestCounters countersBefore = f.window->run().counters;

        f.run(f.window->mnuOpenExample, f.path(QStringLiteral("a.sav")));
        QCOMPARE(f.prompts.messages.size(), 1);
        QVERIFY2(f.prompts.messages[0].text.contains(message), qPrintable(f.prompts.messages[0].text));
        QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Exclamation);
        QCOMPARE(f.window->mainText->toHtml(), html);
        QCOMPARE(f.window->run().doc.CharMarks, before.CharMarks);
        QCOMPARE(f.window->run().doc.HanziCount, before.HanziCount);
        QCOMPARE(f.window->run().hasResult(), true);
        QCOMPARE(f.window->run().counters.RightCharCount, countersBefore.RightCharCount);
        QVERIFY(f.window->mnuSaveTestFile->isEnabled());
    }

    void plainTextWithSeparators()
    {
        const int opened = CodeDictionary::openCount();
        WindowFixture f;
        f.open(kText);
        const QString marks = f.window->run().doc.CharMarks;
        f.run(f.window->mnuSaveResult, f.path(QStringLiteral("分词.TXT")));
        QCOMPARE(f.window->run().doc.CharMarks, marks);
        QVERIFY(!QFile::exists(f.path(QStringLiteral("分词.TXT.ext"))));
        const QString saved = QString::fromUtf8(fileBytes(f.path(QStringLiteral("分词.TXT"))));
        QVERIFY(saved.endsWith(QStringLiteral("\r\n")));
        const QStringList pieces = saved.chopped(2).split(u' ');
        // Each piece is one run of equal marks, in text order.
        int pos = 0;
        for (const QString &piece : pieces) {
            QVERIFY(!piece.isEmpty());
            QCOMPARE(kText.mid(pos, piece.size()), piece);
            QCOMPARE(QString(piece.size(), marks[pos]), marks.mid(pos, piece.size()));
            pos += int(piece.size());
            if (pos < marks.size())
                QVERIFY(marks[pos] != marks[pos - 1]);
        }
        QCOMPARE(pos, kText.size());
        QVERIFY(pieces.size() > 8);
    }

    // The word table is built once per text; its words are written quoted, one a line.
    void segmentationResult()
    {
        WindowFixture f;
        f.open(kText);
        QVERIFY(!f.window->run().text().hasWordTable());
        f.run(f.window->mnuSaveTestFile, f.path(QStringLiteral("结果")));
        QVERIFY(f.window->run().text().hasWordTable());
        const StatEntry *const built = f.window->run().wordTable()[1].constData();
        const QStringList lines =
            QString::fromUtf8(fileBytes(f.path(QStringLiteral("结果.fcr")))).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.last(), QString());
        QVERIFY(lines.contains(QStringLiteral("\"我们\"")));
        QCOMPARE(lines.count(QStringLiteral("\"我们\"")), 1);
        QVERIFY(!lines.contains(QStringLiteral("\"，\"")));

        // The second file is written from the same table, not from one built again.
        f.run(f.window->mnuSaveTestFile, f.path(QStringLiteral("结果2.fcr")));
        QCOMPARE(f.window->run().wordTable()[1].constData(), built);
        QCOMPARE(fileBytes(f.path(QStringLiteral("结果2.fcr"))), fileBytes(f.path(QStringLiteral("结果.fcr"))));

        // A path that cannot be written says so and leaves the window usable.
        f.run(f.window->mnuSaveTestFile, f.path(QStringLiteral("结果.fcr/x.fcr")));
        QCOMPARE(f.prompts.messages.size(), 1);
        QVERIFY(f.prompts.messages[0].text.contains(QStringLiteral("x.fcr")));
    }

    void statisticsReportCommand()
    {
        WindowFixture f;
        f.open(kText);
        f.run(f.window->mnuStaSave, f.path(QStringLiteral("r.txt")));
        QCOMPARE(f.prompts.fileDialogs, 0);
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.prompts.messages[0].text, QStringLiteral("请先进行统计再保存统计结果！"));
        QCOMPARE(f.prompts.messages[0].title, QStringLiteral("提示信息"));
        QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Exclamation);
        f.prompts.files.clear();

        f.window->CmdStartTest->click();
        f.finishTest();
        // A cancelled dialog writes nothing; a name without extension is kept as typed.
        f.window->mnuStaSave->trigger();
        f.run(f.window->mnuStaSave, f.path(QStringLiteral("报告")));
        const QByteArray first = fileBytes(f.path(QStringLiteral("报告")));
        QVERIFY(first.startsWith(QStringLiteral("以下是关于文本和用户技术的基本信息：\r\n\r\n").toUtf8()));
        f.run(f.window->mnuStaSave, f.path(QStringLiteral("报告")));
        QCOMPARE(fileBytes(f.path(QStringLiteral("报告"))), first);
        QCOMPARE(f.prompts.messages.size(), 1);

        f.run(f.window->mnuStaSave, f.path(QStringLiteral("报告/r.txt")));
        QCOMPARE(f.prompts.messages.size(), 2);
        QCOMPARE(fileBytes(f.path(QStringLiteral("报告"))), first);
    }
};

QTEST_MAIN(TestFileCommands)
#include "test_filecommands.moc"
