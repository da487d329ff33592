// The typing figures of scripted tests run through TestRun without the window: each case types
// a script against a small table whose shortest paths are known by hand, and the figures are
// read as the result dialog, the report and the history get them.
#include "prepare/codedictionary.h"
#include "segtest/resultsummary.h"
#include "segtest/testrun.h"

#include <QTextDocument>
#include <QtTest>

using namespace orvane;

namespace {

// Each item is the only one under its own 6-digit code: the path costs 6 keys an entry and one
// key a punctuation mark or letter.
KeyPathTable smallTable()
{
    KeyPathTable table;
    qint64 rank = 0;
    const QStringList items = {QStringLiteral("我们"), QStringLiteral("我"), QStringLiteral("们"), QStringLiteral("是"),
        QStringLiteral("学生"), QStringLiteral("学"), QStringLiteral("生")};
    for (int i = 0; i < items.size(); ++i)
        table.addItem(QString(6, QChar(u'1' + i)), items[i], rank++);
    table.finish();
    return table;
}

// One test: the text in the view, a scripted clock, the run and its session.
struct Run {
    QTextDocument view;
    UserSettings settings = DefaultUserSettings(); // right and wrong in different colours
    ScriptedClock clock;
    CodeDictionary codes;
    TestRun run{view, settings, clock, [this]() -> CodeDictionary & { return codes; }};

    Run(const QString &text, bool table)
    {
        view.setPlainText(text);
        run.doc.TextName = QStringLiteral("课文.txt");
        if (table)
            run.loadKeyPathTable = [](QStringView, QString *) { return std::optional<KeyPathTable>(smallTable()); };
        else
            run.loadKeyPathTable = [](QStringView, QString *error) {
                *error = QStringLiteral("无法打开文件“jtdb.dat”");
                return std::optional<KeyPathTable>();
            };
        run.start();
        run.session().start();
    }

    // The script, steps apart by blanks:
    //   N:text  N keys, then text arrives as one commit and is compared a character at a time
    //   BS, L   Backspace or Left (one key each)
    //   +S      S seconds pass;  PS  a pause of S seconds
    void play(const QString &script)
    {
        TypingSession &s = run.session();
        for (const QString &step : script.split(u' ', Qt::SkipEmptyParts)) {
            if (step == QLatin1String("BS")) {
                s.countKey();
                s.pressBackspace();
            } else if (step == QLatin1String("L")) {
                s.countKey();
                s.pressLeft();
            } else if (step.startsWith(u'+')) {
                clock.advanceSeconds(step.mid(1).toInt());
            } else if (step.startsWith(u'P')) {
                run.pause();
                clock.advanceSeconds(step.mid(1).toInt());
                run.resume();
            } else {
                const qsizetype colon = step.indexOf(u':');
                for (int k = step.left(colon).toInt(); k > 0; --k)
                    s.countKey();
                const QString commit = step.mid(colon + 1);
                s.recordCommit(commit);
                for (QChar c : commit)
                    if (s.compare(QString(c)) == TypingSession::Outcome::Finished)
                        break;
            }
        }
        run.end();
        run.session().finish();
    }

    // The figures as the result dialog shows them, in the dialog's order.
    QStringList shown()
    {
        const TypingFigures &f = run.figures();
        return {keysPerSecondText(f.keysPerSecond), codeLengthText(f.codeLength), codeLengthText(f.idealCodeLength),
            codeLengthText(f.textIdealCodeLength), shareText(f.wordShare), shareText(f.idealWordShare),
            shareText(f.wordShareRatio), QString::number(f.backspaces), QString::number(f.retyped),
            shareText(f.keyAccuracy)};
    }
};

const QString kText = QStringLiteral("我们，是学生。");

} // namespace

class TestFigures : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Columns of the expected figures: 击键, 码长, 理论码长 (stretch), 全文理论码长, 打词率,
    // 理论打词率, 打词达成率, 退格, 回改, 键准.
    void figuresOfScriptedTests_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("table");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("expected");
        const auto row = [](const char *name, const QString &text, bool table, const char *script,
                             const QStringList &expected) {
            QTest::newRow(name) << text << table << QString::fromUtf8(script) << expected;
        };
        row("a pause is left out of 击键", kText, true, "+2 6:我们 1:， P30 +3 6:是 6:学生 1:。",
            {"4.00", "2.857", "2.857", "2.857", "80.0%", "80.0%", "100.0%", "0", "0", "100.0%"});
        row("回改 after Backspace", kText, true, "+4 6:我门 BS 6:们 1:， 6:是 6:学生 1:。",
            {"6.75", "3.857", "2.857", "2.857", "66.7%", "80.0%", "83.3%", "1", "1", "82.0%"});
        row("回改 after Left", kText, true, "+1 6:我门 L 6:们 +1",
            {"6.50", "6.500", "3.000", "2.857", "66.7%", "100.0%", "66.7%", "0", "1", "42.3%"});
        // 我们， is one word with its comma left out; 生。 is a single character.
        row("a commit of two characters with punctuation", kText, true, "+2 7:我们， 6:是 6:学 7:生。",
            {"13.00", "3.714", "2.857", "2.857", "40.0%", "80.0%", "50.0%", "0", "0", "100.0%"});
        row("a text with letters", QStringLiteral("ab我们c"), true, "+1 1:a 1:b 6:我们 1:c",
            {"9.00", "1.800", "1.800", "1.800", "100.0%", "100.0%", "100.0%", "0", "0", "100.0%"});
        row("letters only: no word share", QStringLiteral("abc"), true, "+1 1:a 1:b 1:c",
            {"3.00", "1.000", "1.000", "1.000", "—", "—", "—", "0", "0", "100.0%"});
        row("part of the text typed", kText, true, "+1 6:我们 1:，",
            {"7.00", "2.333", "2.333", "2.857", "100.0%", "100.0%", "100.0%", "0", "0", "100.0%"});
        row("nothing typed within the first second", kText, true, "",
            {"—", "—", "—", "2.857", "—", "—", "—", "0", "0", "—"});
        row("corrections beyond the keys stop 键准 at 0", kText, true, "+1 6:我们 L L BS 1:我 1:们",
            {"11.00", "5.500", "3.000", "2.857", "50.0%", "100.0%", "50.0%", "1", "2", "0.0%"});
        row("a database that cannot be read", kText, false, "+2 6:我们 1:， P30 +3 6:是 6:学生 1:。",
            {"4.00", "2.857", "—", "—", "80.0%", "—", "—", "0", "0", "100.0%"});
    }
    void figuresOfScriptedTests()
    {
        QFETCH(QString, text);
        QFETCH(bool, table);
        QFETCH(QString, script);
        QFETCH(QStringList, expected);
        Run r(text, table);
        r.play(script);
        QCOMPARE(r.shown(), expected);

        // The history row carries the same figures (the stretch's ideal code length).
        const HistoryRecord h = r.run.historyRecord();
        const TypingFigures &f = r.run.figures();
        QCOMPARE(h.keysPerSecond, f.keysPerSecond);
        QCOMPARE(h.codeLength, f.codeLength);
        QCOMPARE(h.idealCodeLength, f.idealCodeLength);
        QCOMPARE(h.wordShare, f.wordShare);
        QCOMPARE(h.idealWordShare, f.idealWordShare);
        QCOMPARE(h.backspaces, std::optional<int>(f.backspaces));
        QCOMPARE(h.retyped, std::optional<int>(f.retyped));
        QCOMPARE(h.keyAccuracy, f.keyAccuracy);
    }

    // The key paths are computed once: the table once a text, the stretch's path once a test.
    void keyPathsAreComputedOnce()
    {
        Run r(kText, true);
        int loads = 0;
        r.run.loadKeyPathTable = [&loads](QStringView, QString *) {
            ++loads;
            return std::optional<KeyPathTable>(smallTable());
        };
        r.play(QStringLiteral("+1 6:我们"));
        const KeyPath *stretch = r.run.stretchPath();
        QVERIFY(stretch);
        QCOMPARE(stretch->characters, 2);
        QCOMPARE(r.run.textPath()->characters, 7);
        QCOMPARE(r.run.stretchPath(), stretch);
        r.run.figures();
        QCOMPARE(loads, 1);

        r.run.start();
        r.run.session().start();
        r.play(QStringLiteral("+1 6:我们 1:， 6:是"));
        QCOMPARE(r.run.stretchPath()->characters, 4);
        QCOMPARE(loads, 1);

        r.run.newText();
        QVERIFY(r.run.textPath());
        QCOMPARE(loads, 2);
    }

    void aTableThatCannotBeLoadedSaysWhyAndIsNotTriedAgain()
    {
        Run r(kText, false);
        int loads = 0;
        r.run.loadKeyPathTable = [&loads](QStringView, QString *error) {
            ++loads;
            *error = QStringLiteral("无法打开文件“jtdb.dat”");
            return std::optional<KeyPathTable>();
        };
        r.play(QStringLiteral("+1 6:我们"));
        QString error;
        QVERIFY(!r.run.textPath(&error));
        QCOMPARE(error, QStringLiteral("无法打开文件“jtdb.dat”"));
        error.clear();
        QVERIFY(!r.run.stretchPath(&error));
        QCOMPARE(error, QStringLiteral("无法打开文件“jtdb.dat”"));
        QCOMPARE(loads, 1);
    }

    // The worked example of docs/figures.md: the copied line and the report's last section.
    void theCopiedLineAndTheReportSection()
    {
        Run r(kText, true);
        r.play(QStringLiteral("+4 6:我门 BS 6:们 1:， 6:是 6:学生 1:。"));
        QCOMPARE(resultShareLine(r.run.doc.TextName, r.run.result(), r.run.figures()),
            QStringLiteral("《课文.txt》 速度105字/分 有效速度105字/分 正确率100.00% 用时0:00:04 击键6.75 码长3.857 "
                           "理论码长2.857 打词率66.7% 理论打词率80.0% 打词达成率83.3% 退格1 回改1 键准82.0%"));

        const QString report = statisticsReport(r.run.reportFigures());
        const QString section = QStringLiteral("以下是关于击键、码长和打词的信息：\r\n\r\n"
                                               "**************************************\r\n"
                                               "击键（键/秒）：6.75\r\n"
                                               "码长（键/字）：3.857\r\n"
                                               "所打部分的理论码长：2.857\r\n"
                                               "全部文本的理论码长：2.857\r\n"
                                               "打词率：66.7%\r\n"
                                               "理论打词率：80.0%\r\n"
                                               "打词达成率：83.3%\r\n"
                                               "退格次数：1\r\n"
                                               "回改字数：1\r\n"
                                               "键准：82.0%\r\n"
                                               "**************************************\r\n\r\n");
        QVERIFY2(report.endsWith(section), qPrintable(report));
        QVERIFY(report.startsWith(reportBasicSection(r.run.reportFigures())));
    }

    // The live line while a test runs: the seconds so far without the pause under way.
    void theLiveLineLeavesPausesOut()
    {
        Run r(kText, true);
        TypingSession &s = r.run.session();
        for (int k = 0; k < 6; ++k)
            s.countKey();
        s.recordCommit(QStringLiteral("我们"));
        s.compare(QStringLiteral("我"));
        s.compare(QStringLiteral("们"));
        r.clock.advanceSeconds(3);
        r.run.pause();
        r.clock.advanceSeconds(20);
        QCOMPARE(r.run.runningSeconds(), 3);
        QCOMPARE(liveFiguresLine(r.run.counters, r.run.runningSeconds()),
            QStringLiteral("速度 40字/分\n击键 2.00\n码长 3.000"));
        r.run.resume();
        r.clock.advanceSeconds(3);
        QCOMPARE(r.run.runningSeconds(), 6);
        QCOMPARE(liveFiguresLine(TestCounters{}, 0), QStringLiteral("速度 0字/分\n击键 —\n码长 —"));
    }
};

QTEST_GUILESS_MAIN(TestFigures)
#include "test_figures.moc"
