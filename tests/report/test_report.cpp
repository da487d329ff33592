// The statistics report byte for byte against the expected files beside this test: the result
// alone, the details without the key counts, and everything.
#include "segtest/report.h"

#include <QFile>
#include <QtTest>

using namespace orvane;

namespace {

// Every figure computed; each test leaves out what it has not.
struct Figures {
    ReportFigures basic;
    WordTable words;
    KeyCountSlots textKeys{};
    KeyCountSlots userKeys{};
    TypingDetails typing;

    // The report's figures with the details and the key counts when computed.
    ReportFigures computed(bool result, bool details, bool keys) const
    {
        ReportFigures f = basic;
        f.hasResult = result;
        if (details) {
            f.WordStats = words;
            f.Typing = typing;
        }
        if (keys) {
            f.TextKeyCounts = textKeys;
            f.UserKeyCounts = userKeys;
        }
        return f;
    }
};

Figures figures()
{
    Figures f;
    f.basic.HanziCount = 10;
    f.basic.SymbolCount = 2;
    f.basic.AlphaCount = 1;
    f.basic.ElapsedSeconds = 90;
    f.basic.AccuracyText = QStringLiteral("97.50%");
    f.basic.SpeedText = QStringLiteral("80字/分");
    f.basic.EffectiveSpeedText = QStringLiteral("78字/分");
    f.words[1] = {{QStringLiteral("的"), 3, QStringLiteral("43"), QStringLiteral("4")},
        {QStringLiteral("是"), 1, QStringLiteral("51"), {}}};
    f.words[2] = {
        {QStringLiteral("我们"), 2, QStringLiteral("2372"), QStringLiteral("23")}, {QStringLiteral("喵喵"), 1, {}, {}}};
    f.words[5] = {{QStringLiteral("中华人民共和国"), 1, QStringLiteral("2246"), {}}};
    for (int i = 0; i < 24; ++i) {
        f.textKeys[i] = 100 + i;
        f.userKeys[i] = 200 + i;
    }
    f.typing.typed = 12;
    f.typing.wordCounts = {0, 3, 2, 1, 0, 1};
    f.typing.keystrokes = 40;
    return f;
}

QByteArray expected(const QString &name)
{
    QFile f(QStringLiteral(ORVANE_SOURCE_DIR "/tests/report/") + name);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing expected file %s", qPrintable(name));
    return f.readAll();
}

} // namespace

class TestReport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void layouts_data()
    {
        QTest::addColumn<bool>("result");
        QTest::addColumn<bool>("details");
        QTest::addColumn<bool>("keys");
        QTest::addColumn<double>("average");
        QTest::addColumn<QString>("file");
        QTest::newRow("result only") << true << false << false << 2.5 << "result_only.txt";
        // Key counts without details cannot print: the details come first.
        QTest::newRow("result only, keys counted") << true << false << true << 2.5 << "result_only.txt";
        QTest::newRow("details without keys") << true << true << false << 2.50 << "details_without_keys.txt";
        QTest::newRow("details, no result") << false << true << false << 2.5 << "details_without_keys.txt";
        QTest::newRow("everything") << true << true << true << 10.0 / 3.0 << "everything.txt";
    }
    void layouts()
    {
        QFETCH(bool, result);
        QFETCH(bool, details);
        QFETCH(bool, keys);
        QFETCH(double, average);
        QFETCH(QString, file);
        Figures f = figures();
        // The details dialog shows the average with two decimals, and the report takes it so.
        f.typing.average = std::round(average * 100) / 100;
        const QByteArray got = statisticsReport(f.computed(result, details, keys)).toUtf8();
        const QByteArray want = expected(file);
        if (got != want) {
            const QList<QByteArray> g = got.split('\n'), w = want.split('\n');
            for (qsizetype i = 0; i < qMax(g.size(), w.size()); ++i)
                QCOMPARE(g.value(i), w.value(i));
        }
        QCOMPARE(got, want);
    }

    // Each key section on its own, as the command line prints it.
    void oneKeySection()
    {
        const Figures f = figures();
        const QString whole = statisticsReport(f.computed(false, true, true));
        const QString keys = reportTextKeySection(f.textKeys);
        QVERIFY(keys.startsWith(QStringLiteral("关于全部文本的键数信息：\r\n")));
        QVERIFY(whole.contains(keys));
        QVERIFY(keys.contains(
            QStringLiteral("\r\n单字标准码输入时的字母数字数：120\r\n单字标准码输入时的功能键数：103\r\n\r\n")));
    }

    void shortestAverage_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("two decimals") << 3.33 << "3.33";
        QTest::newRow("trailing zero") << 2.50 << "2.5";
        QTest::newRow("whole") << 3.0 << "3";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("ten point one") << 10.10 << "10.1";
        QTest::newRow("binary noise") << 0.1 + 0.2 << "0.3";
        QTest::newRow("hundreds") << 100.0 << "100";
    }
    void shortestAverage()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(orvane::shortestAverage(value), text);
    }
};

QTEST_GUILESS_MAIN(TestReport)
#include "test_report.moc"
