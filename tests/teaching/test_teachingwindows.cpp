// The drill and the course on the real windows: a drill opened in the test window runs as a
// normal test (its words are the items, a missed item's code is told before it is typed, its
// result is kept as a drill), and the course window opens the next lesson once a test of the
// lesson before it met its goal.
#include "contextfixture.h"
#include "history/historydb.h"
#include "modal.h"
#include "prepare/codedictionary.h"
#include "segtest/dlgresult.h"
#include "segtest/frmfctest.h"
#include "segtest/typingsession.h"
#include "teaching/coursewindow.h"
#include "teaching/weakdrill.h"

#include <QInputMethodEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTextEdit>
#include <QtTest>

using namespace orvane;
using orvane::test::onNextModal;

namespace {

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

    void practisingWeakItemsFromTheHistory_data()
    {
        QTest::addColumn<bool>("slowCommits");
        QTest::newRow("nothing in the history") << false;
        QTest::newRow("a slow word") << true;
    }
    void practisingWeakItemsFromTheHistory()
    {
        QFETCH(bool, slowCommits);
        Fixture f;
        f.ctx.showPracticeText = [&f](QWidget *, const OpenedText &text) { f.opened << text; };
        if (slowCommits)
            f.ctx.recordTest(f.result(QString(), 100, 30,
                {{0, u"我们"_qs, 1000, 2}, {2, u"是"_qs, 1500, 2}, {3, u"的"_qs, 2000, 2}, {4, u"接近"_qs, 9000, 4}}));
        f.ctx.practiseWeakItems = [&f](QWidget *parent) { practiseWeakItems(f.ctx, parent); };
        CourseWindow window(f.ctx);
        window.cmdDrill->click();
        if (!slowCommits) {
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
        QCOMPARE(f.opened[0].hints.first(), codeHintMessage(u"接近"_qs, f.ctx.codes().LookupCodes(u"接近"_qs)));
    }
};

QTEST_MAIN(TestTeachingWindows)
#include "test_teachingwindows.moc"
