// The details dialog and the two key dialogs as a finished test leaves them: real windows,
// the real code database and segmenter, scripted prompts.
#include "contextfixture.h"
#include "modal.h"
#include "prepare/externallibs.h"
#include "scriptedprompts.h"
#include "segtest/dlgkeys.h"
#include "segtest/dlgmoreinfo.h"
#include "segtest/dlguserkeys.h"
#include "segtest/testrun.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

using namespace orvane;
using orvane::test::onNextModal;
using orvane::test::ScriptedPrompts;

namespace {

const QString kText = QStringLiteral("你好，world。你好，我们是学生。人民代表大会");

struct Fixture : test::ContextFixture {
    QTextDocument view;
    TestRun run{view, ctx.settings, clock, [this]() -> CodeDictionary & { return ctx.codes(); }};

    explicit Fixture(bool withDatabase = true) : ContextFixture({.data = withDatabase, .pictures = false})
    {
        // The text as the open-text dialog leaves it, and a test of ten characters.
        view.setPlainText(kText);
        libs.divideSentence(kText, &run.doc.CharMarks);
        run.doc.SymbolCount = int(run.doc.CharMarks.count(QLatin1Char('2')));
        run.doc.AlphaCount = int(run.doc.CharMarks.count(QLatin1Char('4')));
        run.doc.HanziCount = int(kText.size()) - run.doc.SymbolCount - run.doc.AlphaCount;
        run.counters.RightCharCount = 9;
        run.counters.WrongCharCount = 1;
        run.counters.UserWordCounts = {0, 2, 2, 0, 0, 0};
        run.counters.KeystrokeCount = 25;
        run.counters.TypedText = QStringLiteral("你好。");
    }
};

QStringList headers(QTableWidget *grid)
{
    QStringList out;
    for (int c = 0; c < grid->columnCount(); ++c)
        out << grid->horizontalHeaderItem(c)->text();
    return out;
}

QStringList row(QTableWidget *grid, int r)
{
    QStringList out;
    for (int c = 0; c < grid->columnCount(); ++c)
        out << (grid->item(r, c) ? grid->item(r, c)->text() : QString());
    return out;
}

QStringList figures(const KeyCountsDialog &dlg)
{
    QStringList out;
    for (QLabel *l : dlg.lblkeys)
        out << l->text();
    return out;
}

QStringList numbers(const KeyCountSlots &k)
{
    QStringList out;
    for (int v : k)
        out << QString::number(v);
    return out;
}

// What the details dialog showed when it opened.
struct DetailsSeen {
    bool shown = false;
    QString title;
    QStringList tabs;
    QStringList header;
    QList<int> rows;
    QStringList firstWord;
    QStringList longWords;
    QString total, keys, average;
    QStringList wordLen;
    bool frontFollowsTabs = true;
};

DetailsSeen inspectAndClose(QWidget *w)
{
    DetailsSeen seen;
    auto *dlg = qobject_cast<DlgMoreInfo *>(w);
    if (!dlg)
        return seen;
    seen.shown = true;
    seen.title = dlg->windowTitle();
    for (int i = 0; i < dlg->tspWords->count(); ++i)
        seen.tabs << dlg->tspWords->tabText(i);
    seen.header = headers(dlg->fgwords[0]);
    for (QTableWidget *g : dlg->fgwords)
        seen.rows << g->rowCount();
    seen.firstWord = row(dlg->fgwords[1], 0);
    for (int r = 0; r < dlg->fgwords[4]->rowCount(); ++r)
        seen.longWords << dlg->fgwords[4]->item(r, 0)->text();
    seen.frontFollowsTabs = dlg->gridStack->currentWidget() == dlg->fgwords[0];
    for (int i = 4; i >= 0; --i) {
        const QRect tab = dlg->tspWords->tabRect(i);
        QTest::mouseClick(dlg->tspWords, Qt::LeftButton, {}, tab.center());
        seen.frontFollowsTabs = seen.frontFollowsTabs && dlg->gridStack->currentWidget() == dlg->fgwords[i];
    }
    seen.total = dlg->lblTotalWord->text();
    for (QLabel *l : dlg->lblWordLen)
        seen.wordLen << l->text();
    seen.keys = dlg->lblUserKeys->text();
    seen.average = dlg->lblAvrKeys->text();
    dlg->cmdOk->click();
    return seen;
}

} // namespace

class TestStatsDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void detailsBuildTheTablesOnce();
    void detailsKeepAWordTableAlreadyBuilt();
    void detailsWithNothingTyped();
    void detailsWithoutTheDatabase();
    void keysOfTheWholeText();
    void keysOfTheTypedStretch();
    void typedStretchWithoutTheSegmenter();
};

void TestStatsDialogs::initTestCase()
{
    Fixture f;
    QVERIFY2(f.ctx.libs, "the language libraries must load from the build folder");
    QCOMPARE(f.run.doc.CharMarks.size(), kText.size());
}

void TestStatsDialogs::detailsBuildTheTablesOnce()
{
    Fixture f;
    QList<bool> waiting;
    const auto waitingLog = [&waiting](bool on) { waiting << on; };
    DetailsSeen seen;
    onNextModal([&seen](QWidget *w) { seen = inspectAndClose(w); });
    showMoreInfo(f.ctx, f.run, nullptr, waitingLog);

    QVERIFY(seen.shown);
    QCOMPARE(waiting, (QList<bool>{true, false}));
    QVERIFY(f.run.hasDetails());
    QVERIFY(f.run.text().hasWordTable());
    QVERIFY(f.prompts.messages.isEmpty());
    QCOMPARE(seen.title, QStringLiteral("详细信息"));
    QCOMPARE(seen.tabs, (QStringList{"单  字", "二字词", "三字词", "四字词", "多字词"}));
    QCOMPARE(seen.header, (QStringList{"文   字", "次 数", "标准码", "简 码"}));
    QList<int> sizes;
    for (int k = 1; k <= 5; ++k)
        sizes << int(f.run.wordTable()[k].size());
    QCOMPARE(seen.rows, sizes);
    // 你好 twice, the most frequent word of two characters.
    QCOMPARE(seen.firstWord, (QStringList{"你好", "2", "277476", ""}));
    QCOMPARE(seen.longWords, QStringList{QStringLiteral("人民代表大会")});
    QVERIFY(seen.frontFollowsTabs);
    // Ten typed, bursts of 1 and 2 cover six: the unfinished last burst is a four-character word.
    QCOMPARE(seen.total, QStringLiteral("10"));
    QCOMPARE(seen.wordLen, (QStringList{"2", "2", "0", "1", "0"}));
    QCOMPARE(seen.keys, QStringLiteral("25"));
    QCOMPARE(seen.average, QStringLiteral("2.50"));
    // The report gets the figures the dialog showed.
    const ReportFigures report = f.run.reportFigures();
    QCOMPARE(report.Typing.typed, 10);
    QCOMPARE(report.Typing.wordCounts, (std::array<int, 6>{0, 2, 2, 0, 1, 0}));
    QCOMPARE(report.Typing.keystrokes, 25);
    QCOMPARE(report.Typing.average, 2.5);
    QVERIFY(!f.run.charTable().isEmpty());

    // The second showing for the same text reuses the tables and shows no waiting label.
    const StatEntry *const chars = f.run.charTable().constData();
    const StatEntry *const words = f.run.wordTable()[2].constData();
    DetailsSeen again;
    onNextModal([&again](QWidget *w) { again = inspectAndClose(w); });
    showMoreInfo(f.ctx, f.run, nullptr, waitingLog);
    QVERIFY(again.shown);
    QCOMPARE(waiting.size(), 2);
    QCOMPARE(f.run.charTable().constData(), chars);
    QCOMPARE(f.run.wordTable()[2].constData(), words);
    QCOMPARE(again.firstWord, seen.firstWord);
}

void TestStatsDialogs::detailsKeepAWordTableAlreadyBuilt()
{
    Fixture f;
    // The segmentation-result file built the word table of this text already.
    const StatEntry *const built = f.run.wordTable()[2].constData();
    QVERIFY(!f.run.hasDetails());
    DetailsSeen seen;
    onNextModal([&seen](QWidget *w) { seen = inspectAndClose(w); });
    showMoreInfo(f.ctx, f.run, nullptr, {});
    QVERIFY(seen.shown);
    QCOMPARE(f.run.wordTable()[2].constData(), built);
    QCOMPARE(seen.firstWord, (QStringList{"你好", "2", "277476", ""}));
    QVERIFY(f.run.hasDetails());
    QVERIFY(!f.run.charTable().isEmpty());
}

void TestStatsDialogs::detailsWithNothingTyped()
{
    Fixture f;
    // Keys counted but no character typed: no figure of the typing.
    f.run.counters.RightCharCount = f.run.counters.WrongCharCount = 0;
    DetailsSeen seen;
    onNextModal([&seen](QWidget *w) { seen = inspectAndClose(w); });
    showMoreInfo(f.ctx, f.run, nullptr, {});
    QVERIFY(seen.shown);
    QCOMPARE(seen.total, QStringLiteral("0"));
    QCOMPARE(seen.wordLen, (QStringList{"0", "0", "0", "0", "0"}));
    QCOMPARE(seen.keys, QStringLiteral("0"));
    QCOMPARE(seen.average, QStringLiteral("0"));
    const ReportFigures report = f.run.reportFigures();
    QCOMPARE(report.Typing.typed, 0);
    QCOMPARE(report.Typing.keystrokes, 0);
    QCOMPARE(report.Typing.average, 0.0);
}

void TestStatsDialogs::detailsWithoutTheDatabase()
{
    Fixture f(false);
    DetailsSeen seen;
    onNextModal([&seen](QWidget *w) { seen = inspectAndClose(w); });
    showMoreInfo(f.ctx, f.run, nullptr, {});
    QVERIFY(seen.shown);
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Exclamation);
    QVERIFY(f.prompts.messages[0].text.contains(QStringLiteral("jtdb.dat")));
    // The tables are there, the characters without codes.
    QCOMPARE(f.run.charTable().value(0).text, QStringLiteral("你"));
    QCOMPARE(f.run.charTable().value(0).standardCode, QString());
    QCOMPARE(seen.firstWord.value(0), QStringLiteral("你好"));
}

void TestStatsDialogs::keysOfTheWholeText()
{
    Fixture f;
    onNextModal([](QWidget *w) { static_cast<DlgMoreInfo *>(w)->cmdOk->click(); });
    showMoreInfo(f.ctx, f.run, nullptr, {});
    QVERIFY(!f.run.text().hasKeyCounts());

    DlgKeys dlg(f.ctx, f.run);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("全文键数统计"));
    QCOMPARE(dlg.OKButton->text(), QStringLiteral("退   出(&X)"));
    QVERIFY(f.run.text().hasKeyCounts());
    TestStatistics tables;
    tables.CharStats = f.run.charTable();
    tables.WordStats = f.run.wordTable();
    QCOMPARE(f.run.textKeyCounts(), CountTextKeys(tables, f.run.doc.SymbolCount, f.run.doc.AlphaCount));
    QCOMPARE(figures(dlg), numbers(f.run.textKeyCounts()));
    // Letters and digits are the five of "world" in every mode.
    for (int slot : {KeySlot::CharStdAlpha, KeySlot::CharShortAlpha, KeySlot::WordStdAlpha, KeySlot::WordShortAlpha})
        QCOMPARE(dlg.lblkeys[slot]->text(), QStringLiteral("5"));
    QCOMPARE(dlg.lblkeys[KeySlot::WordStdPunct]->text(), QString::number(f.run.doc.SymbolCount));

    // The details dialog opens it with its button.
    QString opened;
    onNextModal([&opened](QWidget *details) {
        onNextModal([&opened](QWidget *keys) {
            opened = keys->objectName();
            static_cast<DlgKeys *>(keys)->OKButton->click();
        });
        static_cast<DlgMoreInfo *>(details)->cmdKeys->click();
        static_cast<DlgMoreInfo *>(details)->cmdOk->click();
    });
    showMoreInfo(f.ctx, f.run, nullptr, {});
    QCOMPARE(opened, QStringLiteral("DlgKeys"));
}

void TestStatsDialogs::keysOfTheTypedStretch()
{
    Fixture f;
    const QString typed = f.run.counters.TypedText;
    f.run.counters.TypedText.clear();
    {
        DlgUserKeys dlg(f.ctx, f.run);
        QCOMPARE(figures(dlg), QStringList(24, QStringLiteral("0")));
        QVERIFY(!f.run.hasUserKeyCounts());
    }
    f.run.counters.TypedText = typed;
    QStringList first;
    {
        DlgUserKeys dlg(f.ctx, f.run);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("用户输入内容键数统计"));
        QCOMPARE(dlg.OKButton->text(), QStringLiteral("退 出(&X)"));
        QVERIFY(f.run.hasUserKeyCounts());
        first = figures(dlg);
    }
    // 你好 by its standard code, 2 function keys, the uncoded full stop one key.
    QCOMPARE(first[KeySlot::WordStdWordKeys], QStringLiteral("6"));
    QCOMPARE(first[KeySlot::WordStdFunction], QStringLiteral("2"));
    QCOMPARE(first[KeySlot::WordStdPunct], QStringLiteral("1"));
    QCOMPARE(first[KeySlot::WordStdTotal], QStringLiteral("9"));
    QCOMPARE(first, numbers(*f.run.userKeyCounts(f.ctx.libs, nullptr)));

    // A second showing counts from the kept analysis: the library is not asked again.
    f.ctx.libs = nullptr;
    DlgUserKeys again(f.ctx, f.run);
    QCOMPARE(figures(again), first);
    QVERIFY(f.prompts.messages.isEmpty());

    // The details dialog opens it with its button.
    QString opened;
    onNextModal([&opened](QWidget *details) {
        onNextModal([&opened](QWidget *keys) {
            opened = keys->objectName();
            static_cast<DlgUserKeys *>(keys)->OKButton->click();
        });
        static_cast<DlgMoreInfo *>(details)->cmdUserKeys->click();
        static_cast<DlgMoreInfo *>(details)->cmdOk->click();
    });
    showMoreInfo(f.ctx, f.run, nullptr, {});
    QCOMPARE(opened, QStringLiteral("DlgUserKeys"));
}

void TestStatsDialogs::typedStretchWithoutTheSegmenter()
{
    Fixture f;
    f.ctx.libs = nullptr;
    DlgUserKeys dlg(f.ctx, f.run);
    QCOMPARE(figures(dlg), QStringList(24, QStringLiteral("0")));
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Critical);
    // Not analysed: the report leaves the section out and the next showing tries again.
    QVERIFY(!f.run.hasUserKeyCounts());
    QVERIFY(!f.run.reportFigures().UserKeyCounts);
}

QTEST_MAIN(TestStatsDialogs)
#include "test_statsdialogs.moc"
