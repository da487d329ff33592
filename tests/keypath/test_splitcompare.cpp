// Where the keys went: the learner's split of a typed stretch beside the shortest key path, over
// hand-made commits and paths whose spans are known.
#include "segtest/splitcompare.h"

#include <QtTest>

using namespace orvane;

namespace {

// Commits as "position:text:keys", joined by ','; a line break written as "\n" in the text.
QVector<HistoryCommit> commitsOf(const QString &script)
{
    QVector<HistoryCommit> commits;
    for (const QString &c : script.split(u',', Qt::SkipEmptyParts)) {
        const QStringList f = c.split(u':');
        commits.push_back({f[0].toInt(), f[1], 0, f[2].toInt()});
    }
    return commits;
}

// Steps as "text code key keys" ('-' for none), joined by '|'; a step "\n" with Enter is a line
// break, one without a code a character without entry.
KeyPath pathOf(const QString &script)
{
    KeyPath path;
    for (const QString &s : script.split(u'|', Qt::SkipEmptyParts)) {
        const QStringList f = s.split(u' ');
        KeyPathStep step;
        step.text = f[0];
        step.code = f[1] == QLatin1String("-") ? QString() : f[1];
        step.selectKey = f[2] == QLatin1String("-") ? QString() : f[2];
        step.keys = f[3].toInt();
        step.kind = step.selectKey == QLatin1String("Enter") ? KeyPathStep::Kind::LineBreak
            : step.code.isEmpty()                            ? KeyPathStep::Kind::Uncovered
                                                             : KeyPathStep::Kind::Entry;
        path.keys += step.keys;
        path.steps.push_back(step);
    }
    return path;
}

// Each span as "text=learner split/keys=path split/keys extra", with " 回改:…" and " 错:n" when
// it has them; spans joined by " ; ".
QString describe(const SplitComparison &c)
{
    QStringList spans;
    for (const SplitSpan &s : c.spans) {
        QString line = QStringLiteral("%1=%2/%3=%4/%5 %6")
                           .arg(s.text, s.learnerSplit())
                           .arg(s.learnerKeys)
                           .arg(s.pathSplit())
                           .arg(s.pathKeys)
                           .arg(s.extraKeys());
        if (!s.retyped.isEmpty())
            line += QStringLiteral(" 回改:") + s.retyped.join(u'|');
        if (s.wrongCharacters)
            line += QStringLiteral(" 错:%1").arg(s.wrongCharacters);
        spans << line;
    }
    return spans.join(QStringLiteral(" ; "));
}

} // namespace

class TestSplitCompare : public QObject {
    Q_OBJECT
private slots:
    void spans_data();
    void spans();
    void totals();
    void pathCodes();
    void stretch_data();
    void stretch();
};

void TestSplitCompare::spans_data()
{
    QTest::addColumn<QString>("stretch");
    QTest::addColumn<QString>("commits");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("spans");

    QTest::newRow("the same split") << "我们是"
                                    << "0:我们:5,2:是:2"
                                    << "我们 2372 space 5|是 6 space 2"
                                    << "我们=我们/5=我们/5 0 ; 是=是/2=是/2 0";
    QTest::newRow("a word typed character by character") << "接近"
                                                         << "0:接:3,1:近:4"
                                                         << "接近 357217 - 6"
                                                         << "接近=接|近/7=接近/6 1";
    QTest::newRow("a word where the path takes characters") << "人民"
                                                            << "0:人民:5"
                                                            << "人 8 space 2|民 7 space 2"
                                                            << "人民=人民/5=人|民/4 1";
    QTest::newRow("boundaries that meet only later") << "我们是学生"
                                                     << "0:我:3,1:们是:5,3:学生:5"
                                                     << "我们 2372 space 5|是 6 space 2|学生 3282 space 5"
                                                     << "我们是=我|们是/8=我们|是/7 1 ; 学生=学生/5=学生/5 0";
    QTest::newRow("fewer keys than the path") << "中国"
                                              << "0:中国:3"
                                              << "中国 200002 - 6"
                                              << "中国=中国/3=中国/6 -3";
    // 进 for 近, Backspace, then 近 again: the second commit moves nothing forward.
    QTest::newRow("wrong character typed again after moving back") << "接近"
                                                                   << "0:接:3,1:进:3,1:近:4"
                                                                   << "接近 357217 - 6"
                                                                   << "接近=接|进/10=接近/6 4 回改:近 错:1";
    // Back to the start of the stretch from its third character: the keys count where the commit
    // starts, in the first span.
    QTest::newRow("typed again in an earlier span") << "我们是"
                                                    << "0:我们:5,2:是:2,0:我们:7"
                                                    << "我们 2372 space 5|是 6 space 2"
                                                    << "我们=我们/12=我们/5 7 回改:我们 ; 是=是/2=是/2 0";
    // One back and a word: 我 again, 们 new.
    QTest::newRow("a commit typed again that runs past the furthest point") << "我们"
                                                                            << "0:我:3,0:我们:6"
                                                                            << "我们 2372 space 5"
                                                                            << "我们=我|们/9=我们/5 4 回改:我";
    QTest::newRow("characters passed without typing") << "我们是"
                                                      << "0:我:3,2:是:2"
                                                      << "我们 2372 space 5|是 6 space 2"
                                                      << "我们=我|[们]/3=我们/5 -2 ; 是=是/2=是/2 0";
    QTest::newRow("a line break inside and at the end")
        << "好\n人\n"
        << "0:好:3,1:\n:1,2:人:2,3:\n:1"
        << "好 471 space 4|\n - Enter 1|人 8 space 2"
        << "好=好/3=好/4 -1 ; \n=\n/1=\n/1 0 ; 人=人/2=人/2 0 ; \n=\n/1=\n/1 0";
    QTest::newRow("punctuation the learner typed with the word") << "是，"
                                                                 << "0:是，:3"
                                                                 << "是 6 space 2|， - - 1"
                                                                 << "是，=是，/3=是|，/3 0";
    QTest::newRow("half-width form of a widened symbol is right") << "Ａ-"
                                                                  << "0:A:1,1:-:1"
                                                                  << "Ａ - - 1|- - - 1"
                                                                  << "Ａ=A/1=Ａ/1 0 ; -=-/1=-/1 0";
    QTest::newRow("worked example of the figures document")
        << "人民进步我们是学生"
        << "0:人民:5,2:进:3,3:步:3,4:我们:5,6:是:2,7:学:4,8:声:4,8:生:5"
        << "人 8 space 2|民 7 space 2|进步 357217 - 6|我们 2372 space 5|是 6 space 2|学生 3282 space 5"
        << "人民=人民/5=人|民/4 1 ; 进步=进|步/6=进步/6 0 ; 我们=我们/5=我们/5 0 ; 是=是/2=是/2 0 ; "
           "学生=学|声/13=学生/5 8 回改:生 错:1";
    QTest::newRow("a stretch without commits") << "我们"
                                               << ""
                                               << "我们 2372 space 5"
                                               << "我们=[我们]/0=我们/5 -5";
    QTest::newRow("empty stretch") << ""
                                   << ""
                                   << ""
                                   << "";
}

void TestSplitCompare::spans()
{
    QFETCH(QString, stretch);
    QFETCH(QString, commits);
    QFETCH(QString, path);
    QFETCH(QString, spans);
    const SplitComparison c = compareSplits(stretch, commitsOf(commits), pathOf(path));
    QCOMPARE(describe(c), spans);
    // Every key of both sides is in one span, and the spans spell the stretch.
    int learner = 0;
    int ideal = 0;
    QString spelled;
    for (const SplitSpan &s : c.spans) {
        learner += s.learnerKeys;
        ideal += s.pathKeys;
        spelled += s.text;
    }
    QCOMPARE(learner, c.learnerKeys);
    QCOMPARE(ideal, c.pathKeys);
    QCOMPARE(spelled, stretch);
}

void TestSplitCompare::totals()
{
    const SplitComparison c =
        compareSplits(u"接近我们是", commitsOf(QStringLiteral("0:接:3,1:进:3,1:近:4,2:我们:5,4:是:3")),
            pathOf(QStringLiteral("接近 357217 - 6|我们 2372 space 5|是 6 space 2")));
    QCOMPARE(c.characters, 5);
    QCOMPARE(c.learnerKeys, 18);
    QCOMPARE(c.pathKeys, 13);
    QCOMPARE(c.extraKeys(), 5);
    QCOMPARE(c.spansWithExtraKeys(), 2);
    QCOMPARE(c.retypedCommits, 1);
    QCOMPARE(c.wrongCharacters, 1);
}

void TestSplitCompare::pathCodes()
{
    const SplitComparison c = compareSplits(u"我们，\n进步公园丁",
        commitsOf(QStringLiteral("0:我们，:6,3:\n:1,4:进步:6,6:公园丁:9")),
        pathOf(QStringLiteral("我们 2372 space 5|， - - 1|\n - Enter 1|进步 357217 - 6|公园 804607 ; 7|丁 5 F4 2")));
    QCOMPARE(c.spans.size(), 4);
    QCOMPARE(c.spans[0].pathCodes(), QStringLiteral("2372+空格 直接"));
    QCOMPARE(c.spans[1].pathCodes(), QStringLiteral("回车"));
    QCOMPARE(c.spans[2].pathCodes(), QStringLiteral("357217"));
    QCOMPARE(c.spans[3].pathCodes(), QStringLiteral("804607+分号 5+F4"));
}

void TestSplitCompare::stretch_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("commits");
    QTest::addColumn<QString>("stretch");
    QTest::newRow("to the end of the last commit") << "我们是学生"
                                                   << "0:我们:5,2:是:2"
                                                   << "我们是";
    QTest::newRow("the furthest point, not the last commit") << "我们是学生"
                                                             << "0:我们是:5,0:我:3"
                                                             << "我们是";
    QTest::newRow("never beyond the text") << "我们"
                                           << "1:们是:5"
                                           << "我们";
    QTest::newRow("nothing typed") << "我们"
                                   << ""
                                   << "";
}

void TestSplitCompare::stretch()
{
    QFETCH(QString, text);
    QFETCH(QString, commits);
    QFETCH(QString, stretch);
    QCOMPARE(typedStretch(text, commitsOf(commits)), stretch);
}

QTEST_GUILESS_MAIN(TestSplitCompare)
#include "test_splitcompare.moc"
