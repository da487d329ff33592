// The teaching on the real windows: a test typed in the test window lists the words it typed in
// pieces (from the result dialog and the statistics menu) and keeps them in the history; the
// mistake book window shows the book of the history and takes an item out after a question.
#include "contextfixture.h"
#include "history/historydb.h"
#include "modal.h"
#include "prepare/frmopenfile.h"
#include "segtest/dlgresult.h"
#include "segtest/frmfctest.h"
#include "teaching/bookwindow.h"
#include "teaching/dlgpieces.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
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

struct Fixture : test::ContextFixture {
    std::unique_ptr<frmFcTest> window;

    Fixture()
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

} // namespace

class TeachingWindowsTest : public QObject {
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
        Fixture f;
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
};

QTEST_MAIN(TeachingWindowsTest)
#include "test_teachingwindows.moc"
