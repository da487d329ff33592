// The details dialog and the two key dialogs as a finished test leaves them: real windows,
// the real code database and segmenter, scripted prompts.
#include "modal.h"
#include "prepare/externallibs.h"
#include "scriptedprompts.h"
#include "segtest/dlgkeys.h"
#include "segtest/dlgmoreinfo.h"
#include "segtest/dlguserkeys.h"
#include "segtest/textstats.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;
using orvane::test::onNextModal;
using orvane::test::ScriptedPrompts;

namespace {

const QString kText = QStringLiteral("你好，world。你好，我们是学生。人民代表大会");

struct Fixture {
    QTemporaryDir dir;
    QTemporaryDir userData;
    ScriptedPrompts prompts;
    ExternalLibs libs;
    AppContext ctx;

    explicit Fixture(bool withDatabase = true)
    {
        qputenv("XDG_DATA_HOME", userData.path().toUtf8());
        ctx.folder = withDatabase ? ProgramFolder(dir.path(), {QStringLiteral(ORVANE_TEST_DATA_DIR)})
                                  : ProgramFolder(dir.path());
        ctx.prompts = &prompts;
        QString error;
        if (libs.open({QStringLiteral(ORVANE_TEST_DATA_DIR)}, QStringLiteral(ORVANE_TEST_DATA_DIR), &error))
            ctx.libs = &libs;
        else
            qWarning() << error;
        // The text as the open-text dialog leaves it, and a test of ten characters.
        libs.divideSentence(kText, &ctx.doc.CharMarks);
        ctx.doc.SymbolCount = int(ctx.doc.CharMarks.count(QLatin1Char('2')));
        ctx.doc.AlphaCount = int(ctx.doc.CharMarks.count(QLatin1Char('4')));
        ctx.doc.HanziCount = int(kText.size()) - ctx.doc.SymbolCount - ctx.doc.AlphaCount;
        ctx.doc.RightCharCount = 9;
        ctx.doc.WrongCharCount = 1;
        ctx.doc.UserWordCounts = {0, 2, 2, 0, 0, 0};
        ctx.doc.KeystrokeCount = 25;
        ctx.doc.TypedText = QStringLiteral("你好。");
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
    QCOMPARE(f.ctx.doc.CharMarks.size(), kText.size());
}

void TestStatsDialogs::detailsBuildTheTablesOnce()
{
    Fixture f;
    QList<bool> waiting;
    const auto waitingLog = [&waiting](bool on) { waiting << on; };
    DetailsSeen seen;
    onNextModal([&seen](QWidget *w) { seen = inspectAndClose(w); });
    showMoreInfo(f.ctx, kText, nullptr, waitingLog);

    QVERIFY(seen.shown);
    QCOMPARE(waiting, (QList<bool>{true, false}));
    QVERIFY(f.ctx.doc.DetailStatsDone);
    QVERIFY(f.ctx.doc.TextStatsDone);
    QVERIFY(f.prompts.messages.isEmpty());
    QCOMPARE(seen.title, QStringLiteral("详细信息"));
    QCOMPARE(seen.tabs, (QStringList{"单  字", "二字词", "三字词", "四字词", "多字词"}));
    QCOMPARE(seen.header, (QStringList{"文   字", "次 数", "标准码", "简 码"}));
    QList<int> sizes;
    for (int k = 1; k <= 5; ++k)
        sizes << f.ctx.stats.wordClassSize(k);
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
    QCOMPARE(f.ctx.stats.DetailCharCount, 10);
    QCOMPARE(f.ctx.stats.DetailWordCounts, (std::array<int, 6>{0, 2, 2, 0, 1, 0}));
    QCOMPARE(f.ctx.stats.DetailKeyCount, 25);
    QCOMPARE(f.ctx.stats.DetailAvgKeys, 2.5);
    QVERIFY(f.ctx.stats.charStatsLast() >= 0);

    // The second showing for the same text reuses the tables and shows no waiting label.
    const TestStatistics before = f.ctx.stats;
    f.ctx.stats.CharStats.first().count = 99;
    DetailsSeen again;
    onNextModal([&again](QWidget *w) { again = inspectAndClose(w); });
    showMoreInfo(f.ctx, kText, nullptr, waitingLog);
    QVERIFY(again.shown);
    QCOMPARE(waiting.size(), 2);
    QCOMPARE(f.ctx.stats.CharStats.first().count, 99);
    QCOMPARE(again.firstWord, seen.firstWord);
}

void TestStatsDialogs::detailsKeepAWordTableAlreadyBuilt()
{
    Fixture f;
    // The segmentation-result file built the word table of this text already.
    f.ctx.doc.TextStatsDone = true;
    f.ctx.stats.WordStats[2] = {{QStringLiteral("早先"), 3, QStringLiteral("123456"), QString()}};
    DetailsSeen seen;
    onNextModal([&seen](QWidget *w) { seen = inspectAndClose(w); });
    showMoreInfo(f.ctx, kText, nullptr, {});
    QVERIFY(seen.shown);
    QCOMPARE(seen.firstWord, (QStringList{"早先", "3", "123456", ""}));
    QVERIFY(f.ctx.doc.DetailStatsDone);
    QVERIFY(!f.ctx.stats.CharStats.isEmpty());
}

void TestStatsDialogs::detailsWithNothingTyped()
{
    Fixture f;
    f.ctx.doc.RightCharCount = f.ctx.doc.WrongCharCount = 0;
    f.ctx.stats.DetailKeyCount = 40; // from the test of another text
    f.ctx.stats.DetailAvgKeys = 3.1;
    DetailsSeen seen;
    onNextModal([&seen](QWidget *w) { seen = inspectAndClose(w); });
    showMoreInfo(f.ctx, kText, nullptr, {});
    QVERIFY(seen.shown);
    QCOMPARE(seen.total, QStringLiteral("0"));
    QCOMPARE(seen.wordLen, (QStringList{"0", "0", "0", "0", "0"}));
    QCOMPARE(seen.keys, QStringLiteral("0"));
    QCOMPARE(seen.average, QStringLiteral("0"));
    QCOMPARE(f.ctx.stats.DetailCharCount, 0);
    QCOMPARE(f.ctx.stats.DetailKeyCount, 0);
    QCOMPARE(f.ctx.stats.DetailAvgKeys, 0.0);
}

void TestStatsDialogs::detailsWithoutTheDatabase()
{
    Fixture f(false);
    DetailsSeen seen;
    onNextModal([&seen](QWidget *w) { seen = inspectAndClose(w); });
    showMoreInfo(f.ctx, kText, nullptr, {});
    QVERIFY(seen.shown);
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Exclamation);
    QVERIFY(f.prompts.messages[0].text.contains(QStringLiteral("jtdb.dat")));
    // The tables are there, the characters without codes.
    QCOMPARE(f.ctx.stats.CharStats.value(0).text, QStringLiteral("你"));
    QCOMPARE(f.ctx.stats.CharStats.value(0).standardCode, QString());
    QCOMPARE(seen.firstWord.value(0), QStringLiteral("你好"));
}

void TestStatsDialogs::keysOfTheWholeText()
{
    Fixture f;
    onNextModal([](QWidget *w) { static_cast<DlgMoreInfo *>(w)->cmdOk->click(); });
    showMoreInfo(f.ctx, kText, nullptr, {});

    DlgKeys dlg(f.ctx);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("全文键数统计"));
    QCOMPARE(dlg.OKButton->text(), QStringLiteral("退   出(&X)"));
    QVERIFY(f.ctx.doc.KeyCountsDone);
    QCOMPARE(f.ctx.stats.TextKeyCounts,
             CountTextKeys(f.ctx.stats, f.ctx.doc.SymbolCount, f.ctx.doc.AlphaCount));
    QCOMPARE(figures(dlg), numbers(f.ctx.stats.TextKeyCounts));
    // Letters and digits are the five of "world" in every mode.
    for (int slot : {KeySlot::CharStdAlpha, KeySlot::CharShortAlpha, KeySlot::WordStdAlpha, KeySlot::WordShortAlpha})
        QCOMPARE(dlg.lblkeys[slot]->text(), QStringLiteral("5"));
    QCOMPARE(dlg.lblkeys[KeySlot::WordStdPunct]->text(), QString::number(f.ctx.doc.SymbolCount));

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
    showMoreInfo(f.ctx, kText, nullptr, {});
    QCOMPARE(opened, QStringLiteral("DlgKeys"));
}

void TestStatsDialogs::keysOfTheTypedStretch()
{
    Fixture f;
    const QString typed = f.ctx.doc.TypedText;
    f.ctx.doc.TypedText.clear();
    {
        DlgUserKeys dlg(f.ctx);
        QCOMPARE(figures(dlg), QStringList(24, QStringLiteral("0")));
        QVERIFY(!f.ctx.doc.UserKeysDone);
    }
    f.ctx.doc.TypedText = typed;
    QStringList first;
    {
        DlgUserKeys dlg(f.ctx);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("用户输入内容键数统计"));
        QCOMPARE(dlg.OKButton->text(), QStringLiteral("退 出(&X)"));
        QVERIFY(f.ctx.doc.UserKeysDone);
        first = figures(dlg);
    }
    // 你好 by its standard code, 2 function keys, the uncoded full stop one key.
    QCOMPARE(first[KeySlot::WordStdWordKeys], QStringLiteral("6"));
    QCOMPARE(first[KeySlot::WordStdFunction], QStringLiteral("2"));
    QCOMPARE(first[KeySlot::WordStdPunct], QStringLiteral("1"));
    QCOMPARE(first[KeySlot::WordStdTotal], QStringLiteral("9"));
    QCOMPARE(first, numbers(f.ctx.stats.UserKeyCounts));

    // A second showing counts from the kept analysis: the library is not asked again.
    f.ctx.libs = nullptr;
    DlgUserKeys again(f.ctx);
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
    showMoreInfo(f.ctx, kText, nullptr, {});
    QCOMPARE(opened, QStringLiteral("DlgUserKeys"));
}

void TestStatsDialogs::typedStretchWithoutTheSegmenter()
{
    Fixture f;
    f.ctx.libs = nullptr;
    DlgUserKeys dlg(f.ctx);
    QCOMPARE(figures(dlg), QStringList(24, QStringLiteral("0")));
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Critical);
    // Not analysed: the report leaves the section out and the next showing tries again.
    QVERIFY(!f.ctx.doc.UserKeysDone);
}

QTEST_MAIN(TestStatsDialogs)
#include "test_statsdialogs.moc"
