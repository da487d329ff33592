// The teaching on the real windows: a test typed in the test window lists the words it typed in
// pieces (from the result dialog and the statistics menu) and keeps them in the history; the
// mistake book window shows the book of the history and takes an item out after a question; a
// drill opened in the test window runs as a normal test (its words are the items, a missed item's
// code is told before it is typed, its result is kept as a drill), and one opened by 练习薄弱项
// holds the items the learner missed; the course window opens the next lesson once a test of the
// lesson before it met its goal.
#include "contextfixture.h"
#include "history/historydb.h"
#include "modal.h"
#include "prepare/codedictionary.h"
#include "prepare/frmopenfile.h"
#include "segtest/dlgresult.h"
#include "segtest/frmfctest.h"
#include "segtest/typingsession.h"
#include "teaching/bookwindow.h"
#include "teaching/coursewindow.h"
#include "teaching/dlgpieces.h"
#include "teaching/mistakebook.h"
#include "teaching/weakdrill.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTextEdit>
#include <QtTest>
#include <memory>

using namespace orvane;
using orvane::test::onNextModal;

namespace {

// A test needs 20 characters or more; the first sentence is typed.
const QString kText = QStringLiteral("我们接近终点了。今天天气很好，老师带我们去公园参观。");

QStringList rowsOf(const QTableWidget *table)
{
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            cells << table->item(r, c)->text();
        rows << cells.join(QLatin1Char(' '));
    }
    return rows;
}

// The test window over a fixture, a text open in it, the learner's typing scripted.
struct TypingFixture : test::ContextFixture {
    std::unique_ptr<frmFcTest> window;

    TypingFixture()
    {
        window = std::make_unique<frmFcTest>(ctx);
        if (!window->Form_Load())
            qFatal("the test window did not load");
        window->show();
    }

    void open()
    {
        const QString path = write(QStringLiteral("课文.txt"), kText.toUtf8());
        onNextModal([path](QWidget *w) {
            auto *dialog = qobject_cast<frmOpenFile *>(w);
            QVERIFY(dialog);
            dialog->loadFile(path);
            dialog->chkUseFilter->setChecked(false);
            dialog->cmdOpenFile_Click();
        });
        window->mnuOpenTestFile->trigger();
        QVERIFY(test::lastModalHandled());
    }

    // A code typed digit by digit, then committed by the selection key: one key per digit and one
    // for the commit.
    void type(const QString &code, const QString &text)
    {
        clock.advanceMs(800);
        for (int i = 1; i <= code.size(); ++i) {
            QInputMethodEvent composing(code.left(i), {});
            QApplication::sendEvent(window->tmpText, &composing);
        }
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(window->tmpText, &event);
    }
};

struct Fixture : test::ContextFixture {
    QList<OpenedText> opened;

    QVector<HistoryRecord> history()
    {
        HistoryDb *db = ctx.history();
        return db ? db->tests() : QVector<HistoryRecord>{};
    }

    HistoryRecord result(const QString &kind, double accuracy, int speed, const QVector<HistoryCommit> &commits = {})
    {
        HistoryRecord r;
        r.start = clock.now();
        r.end = r.start.addSecs(60);
        r.textName = kind;
        r.kind = kind;
        r.accuracy = accuracy;
        r.speed = speed;
        r.commits = commits;
        return r;
    }
};

QString state(const CourseWindow &w, int row)
{
    return w.lstLessons->item(row, 3)->text();
}

} // namespace

class TestTeachingWindows : public QObject {
    Q_OBJECT
private slots:
    void wordsTypedInPieces_data()
    {
        QTest::addColumn<QStringList>("typing"); // code, text, code, text, ...
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QStringList>("kept"); // the items the history keeps: those missed

        // 接近 is 50132 and the space key in the installed table: 6 keys against 5 + 4.
        QTest::newRow("接 then 近") << QStringList{"2372", "我们", "5004", "接", "323", "近", "278219", "终点", "8",
            "了", "9", "。"} << QStringList{"接近 501327 50132 接|近 9 6 3"}
                                    << QStringList{"接近"};
        QTest::newRow("接近 whole") << QStringList{"2372", "我们", "50132", "接近", "278219", "终点", "8", "了", "9",
            "。"} << QStringList{} << QStringList{};
    }
    void wordsTypedInPieces()
    {
        QFETCH(QStringList, typing);
        QFETCH(QStringList, listed);
        QFETCH(QStringList, kept);
        TypingFixture f;
        f.open();
        QVERIFY(!f.window->mnuPieces->isEnabled());
        f.window->CmdStartTest->click();

        QStringList fromResult;
        bool pieceDialogShown = false;
        onNextModal([&](QWidget *w) {
            auto *result = qobject_cast<DlgResult *>(w);
            QVERIFY(result);
            QVERIFY(result->cmdPieces->isEnabled());
            onNextModal([&](QWidget *inner) {
                auto *pieces = qobject_cast<DlgPieces *>(inner);
                QVERIFY(pieces);
                pieceDialogShown = true;
                fromResult = pieces->tblPieces->isVisible() ? rowsOf(pieces->tblPieces) : QStringList{};
                pieces->cmdClose->click();
            });
            result->cmdPieces->click();
            result->cmdOk->click();
        });
        for (int i = 0; i + 1 < typing.size(); i += 2)
            f.type(typing[i], typing[i + 1]);
        f.window->CmdEndTest->click();
        QTRY_VERIFY(pieceDialogShown);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(fromResult, listed);

        // The statistics menu shows the same list after the result dialog is gone.
        QVERIFY(f.window->mnuPieces->isEnabled());
        QStringList fromMenu;
        onNextModal([&](QWidget *w) {
            auto *pieces = qobject_cast<DlgPieces *>(w);
            QVERIFY(pieces);
            fromMenu = pieces->tblPieces->isVisible() ? rowsOf(pieces->tblPieces) : QStringList{};
            pieces->cmdClose->click();
        });
        f.window->mnuPieces->trigger();
        QVERIFY(test::lastModalHandled());
        QCOMPARE(fromMenu, listed);

        // The history keeps the list with the test, and the items it missed (the book was empty).
        HistoryDb *db = f.ctx.history();
        QVERIFY(db);
        const std::optional<HistoryRecord> last = db->lastTest();
        QVERIFY(last);
        QCOMPARE(db->pieces(last->id).size(), listed.size());
        QStringList items;
        for (const HistoryTestItems &test : db->itemsOfTests())
            for (const HistoryItem &item : test.items)
                items << item.text;
        QCOMPARE(items, kept);
    }

    // The book window: the items of the history with their counts, sortable, and an item taken
    // out only when the learner says yes.
    void theBookWindow()
    {
        test::ContextFixture f;
        HistoryDb *db = f.ctx.history();
        QVERIFY(db);
        HistoryRecord r;
        r.start = QDateTime(QDate(2026, 3, 1), QTime(10, 0, 0));
        r.end = r.start.addSecs(60);
        r.items = {{QStringLiteral("接近"), true, QStringLiteral("50132"), QString(), 1, 0, 0, 1, 1, 0},
            {QStringLiteral("终"), false, QStringLiteral("2782"), QStringLiteral("27"), 3, 2, 1, 0, 2, 1},
            {QStringLiteral("我"), false, QStringLiteral("23"), QStringLiteral("2"), 4, 0, 0, 0, 0, 4}};
        QString error;
        QVERIFY2(db->add(r, &error) > 0, qPrintable(error));

        BookWindow window(f.ctx);
        window.show();
        QCOMPARE(rowsOf(window.tblBook),
            (QStringList{"终 字 2782 27 2 2 1 — 2026-03-01 10:00 1", "接近 词 50132 — 1 0 0 1 2026-03-01 10:00 0"}));
        QCOMPARE(window.lblCounts->text(),
            QStringLiteral("错题本中有 1 个字、1 个词：打错 2 次，太慢 1 次，分段输入 1 次。"));
        window.tblBook->sortItems(7, Qt::DescendingOrder); // 分段
        QCOMPARE(window.shownItems().front().text, QStringLiteral("接近"));

        // Nothing selected: the learner is told to choose.
        window.tblBook->clearSelection();
        window.removeSelected();
        QCOMPARE(f.prompts.messages.size(), 1);
        window.tblBook->selectRow(0);
        f.prompts.answers.enqueue(MessageAnswer::No);
        window.cmdRemove->click();
        QCOMPARE(window.tblBook->rowCount(), 2);
        f.prompts.answers.enqueue(MessageAnswer::Yes);
        window.cmdRemove->click();
        QCOMPARE(
            f.prompts.messages.last().text, QStringLiteral("确实要把“接近”移出错题本吗？以后再打错时它会重新记入。"));
        QCOMPARE(rowsOf(window.tblBook), QStringList{"终 字 2782 27 2 2 1 — 2026-03-01 10:00 1"});
        // Kept in the history: a new window shows the same book.
        BookWindow again(f.ctx);
        QCOMPARE(again.tblBook->rowCount(), 1);
    }

    void aDrillRunsAsATestInTheTestWindow()
    {
        Fixture f;
        CodeDictionary &codes = f.ctx.codes();
        const QVector<DrillItem> items = {{u"接近"_qs, codes.LookupCodes(u"接近"_qs), true},
            {u"中国"_qs, codes.LookupCodes(u"中国"_qs), false}, {u"的"_qs, codes.LookupCodes(u"的"_qs), true}};
        QVERIFY(!items[0].codes.standard.isEmpty());
        const OpenedText drill = weakItemsDrill(items, 3);

        frmFcTest window(f.ctx);
        QVERIFY(window.Form_Load());
        window.show();
        window.openPracticeText(drill);
        QCOMPARE(window.mainText->toPlainText(), drill.text);
        QCOMPARE(window.run().doc.CharMarks, drill.marks);
        QCOMPARE(window.panelText(1), drillName());
        QVERIFY(window.CmdStartTest->isEnabled());

        window.CmdStartTest->click();
        // Each word of the text is committed whole; before it, panel 1 shows the code of a missed
        // item at its first occurrence, and only there.
        QMap<int, QString> hintsSeen;
        const QString text = drill.text;
        bool finished = false;
        onNextModal([&finished](QWidget *w) {
            auto *dialog = qobject_cast<DlgResult *>(w);
            QVERIFY(dialog);
            finished = true;
            dialog->cmdOk->click();
        });
        int start = 0;
        QString lastPanel = window.panelText(1);
        while (start < text.size()) {
            int end = start + 1;
            while (end < text.size() && drill.marks[end] == drill.marks[start])
                ++end;
            if (window.panelText(1) != lastPanel) {
                lastPanel = window.panelText(1);
                hintsSeen.insert(start, lastPanel);
            }
            f.clock.advanceMs(800);
            QInputMethodEvent composing(u"50"_qs, {});
            QApplication::sendEvent(window.tmpText, &composing);
            QInputMethodEvent commit;
            commit.setCommitString(text.mid(start, end - start));
            QApplication::sendEvent(window.tmpText, &commit);
            start = end;
        }
        QTRY_VERIFY(finished);
        QCOMPARE(hintsSeen, drill.hints);
        QCOMPARE(drill.hints.size(), 2);
        QStringList told = drill.hints.values();
        told.sort();
        QStringList missed = {
            codeHintMessage(items[0].text, items[0].codes), codeHintMessage(items[2].text, items[2].codes)};
        missed.sort();
        QCOMPARE(told, missed);

        // Each occurrence of a word counts as that word.
        const WordTable &words = window.run().wordTable();
        const auto countOf = [&words](const QString &w) {
            for (const StatEntry &e : words[w.size()])
                if (e.text == w)
                    return e.count;
            return 0;
        };
        QCOMPARE(countOf(u"接近"_qs), 3);
        QCOMPARE(countOf(u"中国"_qs), 3);

        const QVector<HistoryRecord> tests = f.history();
        QCOMPARE(tests.size(), 1);
        QCOMPARE(tests[0].kind, drillKind());
        QCOMPARE(tests[0].textName, drillName());
        QCOMPARE(tests[0].right, drill.counts.HanziCount + drill.counts.SymbolCount);
        QCOMPARE(tests[0].wrong, 0);
    }

    void theCourseOpensTheNextLessonWhenAGoalIsMet()
    {
        Fixture f;
        // The test window's part: the learner's result of the lesson goes into the history.
        QList<std::pair<double, int>> results = {{99.0, 15}, {99.0, 25}};
        f.ctx.showPracticeText = [&f, &results](QWidget *, const OpenedText &text) {
            f.opened << text;
            const auto [accuracy, speed] = results.takeFirst();
            f.ctx.recordTest(f.result(text.kind, accuracy, speed));
        };
        CourseWindow window(f.ctx);
        window.show();
        QCOMPARE(window.lstLessons->rowCount(), 11);
        QCOMPARE(state(window, 0), u"可以练习"_qs);
        QCOMPARE(state(window, 1), u"未开放"_qs);
        QCOMPARE(window.lstLessons->currentRow(), 0);
        QVERIFY(window.lblItems->text().contains(window.lessons()[0].items.first().text));

        // Too slow for 20 字/分: lesson 1 stays open, lesson 2 locked.
        window.cmdStart->click();
        QCOMPARE(f.opened.size(), 1);
        QCOMPARE(f.opened[0].kind, u"lesson 1"_qs);
        QCOMPARE(f.opened[0].text, window.lessons()[0].text().text);
        QCOMPARE(state(window, 0), u"可以练习"_qs);
        QCOMPARE(state(window, 1), u"未开放"_qs);
        QCOMPARE(window.lstLessons->item(0, 4)->text(), u"99.00% · 15字/分"_qs);
        QCOMPARE(window.lstLessons->item(0, 5)->text(), u"1"_qs);

        // Goal met: lesson 1 passed with its best result, lesson 2 open and selected.
        window.cmdStart->click();
        QCOMPARE(state(window, 0), u"已通过"_qs);
        QCOMPARE(window.lstLessons->item(0, 4)->text(), u"99.00% · 25字/分"_qs);
        QCOMPARE(state(window, 1), u"可以练习"_qs);
        QCOMPARE(state(window, 2), u"未开放"_qs);
        QCOMPARE(window.lstLessons->currentRow(), 1);
        QVERIFY(window.cmdStart->isEnabled());

        // A locked lesson cannot be started.
        window.lstLessons->selectRow(2);
        QVERIFY(!window.cmdStart->isEnabled());
        QCOMPARE(f.opened.size(), 2);
    }

    // 练习薄弱项 takes the book's items: a word the book holds is drilled with its code told once;
    // with an empty book the learner is told there is nothing to practise.
    void practisingWeakItemsFromTheBook_data()
    {
        QTest::addColumn<bool>("missedWord");
        QTest::newRow("an empty book") << false;
        QTest::newRow("a word typed in pieces") << true;
    }
    void practisingWeakItemsFromTheBook()
    {
        QFETCH(bool, missedWord);
        Fixture f;
        f.ctx.showPracticeText = [&f](QWidget *, const OpenedText &text) { f.opened << text; };
        const ItemCodes codes = f.ctx.codes().LookupCodes(u"接近"_qs);
        HistoryRecord r = f.result(QString(), 100, 30);
        if (missedWord)
            r.items = {{u"接近"_qs, true, codes.standard, codes.shortCode, 1, 0, 0, 1, 1, 0}};
        f.ctx.recordTest(r);
        f.ctx.practiseWeakItems = [&f](QWidget *parent) { practiseWeakItems(f.ctx, parent); };
        CourseWindow window(f.ctx);
        window.cmdDrill->click();
        if (!missedWord) {
            QVERIFY(f.opened.isEmpty());
            QCOMPARE(f.prompts.messages.size(), 1);
            QCOMPARE(f.prompts.messages[0].text, nothingToPractise());
            return;
        }
        QVERIFY(f.prompts.messages.isEmpty());
        QCOMPARE(f.opened.size(), 1);
        QCOMPARE(f.opened[0].kind, drillKind());
        QCOMPARE(f.opened[0].text.count(u"接近"_qs), 3);
        QCOMPARE(f.opened[0].hints.size(), 1);
        QCOMPARE(f.opened[0].hints.first(), codeHintMessage(u"接近"_qs, codes));
    }

    // From a miss to its drill on the real windows: a test in which 接近 is typed as 接 then 近
    // puts it into the book; 练习薄弱项 opens a drill of it in a test window, typed through its
    // result is kept as a drill, and the drill's clean typings leave the word in the book.
    void aMissIsDrilledFromTheBook()
    {
        TypingFixture f;
        f.open();
        f.window->CmdStartTest->click();
        onNextModal([](QWidget *w) {
            auto *result = qobject_cast<DlgResult *>(w);
            QVERIFY(result);
            result->cmdOk->click();
        });
        for (const auto &[code, text] : {std::pair{u"2372"_qs, u"我们"_qs}, {u"5004"_qs, u"接"_qs},
                 {u"323"_qs, u"近"_qs}, {u"278219"_qs, u"终点"_qs}, {u"8"_qs, u"了"_qs}, {u"9"_qs, u"。"_qs}})
            f.type(code, text);
        f.window->CmdEndTest->click();
        QTRY_VERIFY(!QApplication::activeModalWidget());
        HistoryDb *db = f.ctx.history();
        QVERIFY(db);
        QCOMPARE(loadMistakeBook(*db, nullptr).items.size(), 1);

        // 练习薄弱项 opens the drill in a test window of its own, as the program does.
        std::unique_ptr<frmFcTest> drillWindow;
        f.ctx.showPracticeText = [&](QWidget *, const OpenedText &text) {
            drillWindow = std::make_unique<frmFcTest>(f.ctx);
            QVERIFY(drillWindow->Form_Load());
            drillWindow->show();
            drillWindow->openPracticeText(text);
        };
        practiseWeakItems(f.ctx, f.window.get());
        QVERIFY(f.prompts.messages.isEmpty());
        QVERIFY(drillWindow);
        const TestDocument &doc = drillWindow->run().doc;
        const QString text = drillWindow->mainText->toPlainText();
        QCOMPARE(text.count(u"接近"_qs), 3);
        QCOMPARE(drillWindow->panelText(1), drillName());

        drillWindow->CmdStartTest->click();
        bool finished = false;
        onNextModal([&finished](QWidget *w) {
            auto *dialog = qobject_cast<DlgResult *>(w);
            QVERIFY(dialog);
            finished = true;
            dialog->cmdOk->click();
        });
        for (int start = 0; start < text.size();) {
            int end = start + 1;
            while (end < text.size() && doc.CharMarks[end] == doc.CharMarks[start])
                ++end;
            f.clock.advanceMs(800);
            QInputMethodEvent composing(u"50"_qs, {});
            QApplication::sendEvent(drillWindow->tmpText, &composing);
            QInputMethodEvent commit;
            commit.setCommitString(text.mid(start, end - start));
            QApplication::sendEvent(drillWindow->tmpText, &commit);
            start = end;
        }
        QTRY_VERIFY(finished);

        const QVector<HistoryRecord> tests = db->tests();
        QCOMPARE(tests.size(), 2);
        QCOMPARE(tests[0].kind, QString());
        QCOMPARE(tests[1].kind, drillKind());
        QCOMPARE(tests[1].wrong, 0);
        const MistakeBook book = loadMistakeBook(*db, nullptr);
        QCOMPARE(book.items.size(), 1);
        QCOMPARE(book.items[0].text, u"接近"_qs);
        QCOMPARE(book.items[0].cleanSince, 0);
    }
};

QTEST_MAIN(TestTeachingWindows)
#include "test_teachingwindows.moc"
