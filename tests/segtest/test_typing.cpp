// The comparison of a running test on a rendered document, without the window.
#include "prepare/codedictionary.h"
#include "prepare/render.h"
#include "segtest/resultsummary.h"
#include "segtest/typingsession.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using namespace orvane;

namespace {

UserSettings testSettings()
{
    UserSettings s;
    s.AltColor1 = 0x000000;
    s.AltColor2 = 0xFF0000;
    s.SymbolColor = 0xFF00FF;
    s.RightColor = 0x00FF00;
    s.ErrorColor = 0x0000FF;
    s.AlphaColor = 0xFFFF00;
    s.NeedSegmentation = true;
    return s;
}

// 我们 是 学生 ， 你好 abc 。
struct Session {
    QTextDocument document;
    TestDocument doc;
    TestCounters counters;
    UserSettings settings = testSettings();
    ScriptedClock clock;
    TypingSession session{document, doc, counters, settings, clock};

    explicit Session(const QString &text = QStringLiteral("我们是学生，你好abc。"),
        const QString &marks = QStringLiteral("001002114442"))
    {
        document.setPlainText(text);
        doc.CharMarks = marks;
        RenderTestView(document, marks, settings, {});
        session.start();
    }

    QRgb colourAt(int pos) { return session.colourAt(pos); }
    bool highlightedAt(int pos) { return session.isHighlighted(pos); }
    // The colour the document itself holds.
    QRgb documentColourAt(int pos)
    {
        QTextCursor c(&document);
        c.setPosition(pos);
        c.setPosition(pos + 1, QTextCursor::KeepAnchor);
        return c.charFormat().foreground().color().rgb();
    }
    // Types the text one character at a time, gap milliseconds apart.
    void type(const QString &text, qint64 gap = 50)
    {
        for (QChar c : text) {
            clock.advanceMs(gap);
            session.compare(QString(c));
        }
    }
};

const QRgb kRight = qRgb(0, 0xFF, 0);
const QRgb kError = qRgb(0xFF, 0, 0);

} // namespace

class TestTyping : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rightAndWrongAreColouredAndCounted()
    {
        Session s;
        QVERIFY(s.highlightedAt(0));
        s.type(QStringLiteral("我门"));
        QCOMPARE(s.colourAt(0), kRight);
        QCOMPARE(s.colourAt(1), kError);
        QCOMPARE(s.counters.RightCharCount, 1);
        QCOMPARE(s.counters.WrongCharCount, 1);
        // The expected character is recorded, whatever was typed.
        QCOMPARE(s.counters.TypedText, QStringLiteral("我们"));
        QCOMPARE(s.session.position(), 2);
        QVERIFY(!s.highlightedAt(1));
        QVERIFY(s.highlightedAt(2));
    }

    void retypingMovesCountsBetweenSides()
    {
        Session s;
        s.type(QStringLiteral("我门"));
        s.session.moveLeft();
        s.type(QStringLiteral("们")); // wrong → right
        QCOMPARE(s.counters.RightCharCount, 2);
        QCOMPARE(s.counters.WrongCharCount, 0);
        s.session.moveLeft();
        s.type(QStringLiteral("们")); // right again: one more on the right side
        QCOMPARE(s.counters.RightCharCount, 3);
        s.session.moveLeft();
        s.type(QStringLiteral("x")); // right → wrong
        QCOMPARE(s.counters.RightCharCount, 2);
        QCOMPARE(s.counters.WrongCharCount, 1);
        QCOMPARE(s.counters.TypedText, QStringLiteral("我们们们们"));
    }

    // What the keys give against what the text shows: a widened symbol or a full-width letter is
    // typed right by its narrow key, either width counts, letter case and other marks do not.
    void eitherWidthOfACharacterIsRight_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("right");
        QTest::newRow("hyphen key for a widened hyphen") << QStringLiteral("－") << QStringLiteral("-") << true;
        QTest::newRow("percent key for a widened percent") << QStringLiteral("％") << QStringLiteral("%") << true;
        QTest::newRow("wide form typed for a wide form") << QStringLiteral("－") << QStringLiteral("－") << true;
        QTest::newRow("wide letter for a narrow one") << QStringLiteral("a") << QStringLiteral("ａ") << true;
        QTest::newRow("narrow digit for a wide one") << QStringLiteral("１") << QStringLiteral("1") << true;
        QTest::newRow("blank for an ideographic blank") << QStringLiteral("\u3000") << QStringLiteral(" ") << true;
        QTest::newRow("letter case counts") << QStringLiteral("Ａ") << QStringLiteral("a") << false;
        QTest::newRow("Chinese full stop is no dot") << QStringLiteral("．") << QStringLiteral("。") << false;
        QTest::newRow("another symbol") << QStringLiteral("－") << QStringLiteral("=") << false;
    }
    void eitherWidthOfACharacterIsRight()
    {
        QFETCH(QString, text);
        QFETCH(QString, typed);
        QFETCH(bool, right);
        Session s(text + QStringLiteral("中"), QStringLiteral("20"));
        s.session.compare(typed);
        QCOMPARE(s.counters.RightCharCount, right ? 1 : 0);
        QCOMPARE(s.counters.WrongCharCount, right ? 0 : 1);
        QCOMPARE(s.colourAt(0), right ? kRight : kError);
        QCOMPARE(s.counters.TypedText, text);
    }

    void onlyTheFirstCharacterOfTheBoxCounts()
    {
        Session s;
        s.clock.advanceMs(300);
        s.session.compare(QStringLiteral("我们"));
        QCOMPARE(s.counters.RightCharCount, 1);
        QCOMPARE(s.session.position(), 1);
    }

    void aCharacterRenderedInTheRightColourCountsAsTypedRight()
    {
        // The alternate word colour equals the right colour: typing it wrong moves a count.
        Session s;
        s.settings.AltColor1 = s.settings.RightColor;
        RenderTestView(s.document, s.doc.CharMarks, s.settings, {});
        s.session.start();
        s.type(QStringLiteral("x"));
        QCOMPARE(s.counters.RightCharCount, -1);
        QCOMPARE(s.counters.WrongCharCount, 1);
    }

    void movementKeysStopAtTheEnds()
    {
        Session s;
        s.session.moveLeft();
        QCOMPARE(s.session.position(), 0);
        for (int i = 0; i < 40; ++i)
            s.session.moveRight();
        QCOMPARE(s.session.position(), s.session.length() - 1);
        QVERIFY(s.highlightedAt(s.session.length() - 1));
        // Passing over characters neither colours nor counts them.
        QCOMPARE(s.counters.RightCharCount + s.counters.WrongCharCount, 0);
        QCOMPARE(s.counters.TypedText, QString());
        QCOMPARE(s.colourAt(0), qRgb(0, 0, 0));
    }

    void theLastCharacterFinishes()
    {
        Session s;
        for (int i = 0; i < s.session.length() - 1; ++i)
            s.session.moveRight();
        QCOMPARE(s.session.compare(QStringLiteral("。")), TypingSession::Outcome::Finished);
        QCOMPARE(s.colourAt(s.session.length() - 1), kRight);
        QVERIFY(!s.highlightedAt(s.session.length() - 1));
    }

    void trailingLineBreaksAreNotTyped()
    {
        Session s(QStringLiteral("我们是学生\n\n"), QStringLiteral("0010022"));
        for (int i = 0; i < 10; ++i)
            s.session.moveRight();
        QCOMPARE(s.session.position(), 4);
        QCOMPARE(s.session.compare(QStringLiteral("生")), TypingSession::Outcome::Finished);
    }

    void finishingWritesTheColoursIntoTheText()
    {
        Session s;
        s.type(QStringLiteral("我x是"));
        // While the test runs the document keeps its rendering; the colours are an overlay.
        QCOMPARE(s.documentColourAt(1), qRgb(0, 0, 0));
        const auto overlay = s.session.overlay();
        QCOMPARE(overlay.size(), 4); // right, wrong, right, highlight
        QCOMPARE(overlay.last().start, 3);
        s.session.finish();
        QCOMPARE(s.documentColourAt(0), kRight);
        QCOMPARE(s.documentColourAt(1), kError);
        QCOMPARE(s.documentColourAt(2), kRight);
        QCOMPARE(s.documentColourAt(3), qRgb(0, 0, 0));
        QVERIFY(s.session.overlay().isEmpty());
    }

    void bursts_data()
    {
        QTest::addColumn<QList<int>>("gaps");    // gap before each character, ms
        QTest::addColumn<QList<int>>("classes"); // UserWordCounts 1..5 afterwards
        QTest::addColumn<int>("open");           // the burst under way
        QTest::newRow("200 ms continues") << QList<int>{300, 200, 200} << QList<int>{0, 0, 0, 0, 0} << 3;
        QTest::newRow("201 ms starts anew") << QList<int>{300, 200, 201} << QList<int>{0, 1, 0, 0, 0} << 1;
        QTest::newRow("seven in class 5")
            << QList<int>{300, 10, 10, 10, 10, 10, 10, 500} << QList<int>{0, 0, 0, 0, 1} << 1;
        QTest::newRow("singles") << QList<int>{300, 300, 300, 300} << QList<int>{3, 0, 0, 0, 0} << 1;
        QTest::newRow("2 2 then one open") << QList<int>{300, 0, 300, 0, 300} << QList<int>{0, 2, 0, 0, 0} << 1;
    }
    void bursts()
    {
        QFETCH(QList<int>, gaps);
        QFETCH(QList<int>, classes);
        QFETCH(int, open);
        Session s;
        for (int gap : gaps) {
            s.clock.advanceMs(gap);
            s.session.compare(s.session.currentCharacter());
        }
        for (int k = 1; k <= 5; ++k)
            QCOMPARE(s.counters.UserWordCounts[k], classes[k - 1]);
        QCOMPARE(s.session.CurrentBurstLength, open);
    }

    void hintText_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("hint");
        QTest::newRow("first of a word") << 0 << QStringLiteral("我们");
        QTest::newRow("inner character") << 1 << QStringLiteral("们");
        QTest::newRow("single-character word") << 2 << QStringLiteral("是");
        QTest::newRow("punctuation") << 5 << QStringLiteral("，");
        QTest::newRow("letters run") << 8 << QStringLiteral("abc");
        QTest::newRow("inside letters") << 9 << QStringLiteral("b");
        QTest::newRow("last") << 11 << QStringLiteral("。");
    }
    void hintText()
    {
        QFETCH(int, position);
        QFETCH(QString, hint);
        Session s;
        for (int i = 0; i < position; ++i)
            s.session.moveRight();
        QCOMPARE(s.session.hintText(), hint);
    }

    void hintMessages_data()
    {
        QTest::addColumn<QString>("standard");
        QTest::addColumn<QString>("shortCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("code only") << QStringLiteral("237249") << QString() << QStringLiteral("'我们'的编码为:237249");
        QTest::newRow("with short code") << QStringLiteral("237249") << QStringLiteral("2372")
                                         << QStringLiteral("'我们'的编码为:237249,简码为：2372");
        QTest::newRow("none") << QString() << QString() << QStringLiteral("没有'我们'的编码！");
    }
    void hintMessages()
    {
        QFETCH(QString, standard);
        QFETCH(QString, shortCode);
        QFETCH(QString, message);
        QCOMPARE(codeHintMessage(QStringLiteral("我们"), ItemCodes{standard, shortCode}), message);
    }

    void results_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("wrong");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("accuracy");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QString>("effective");
        QTest::newRow("1:30") << 90 << 117 << 3 << "0:01:30"
                              << "97.50%"
                              << "80字/分"
                              << "78字/分";
        QTest::newRow("no time") << 0 << 10 << 0 << "0:00:00"
                                 << "0.00%"
                                 << "0字/分"
                                 << "0字/分";
        QTest::newRow("nothing typed") << 60 << 0 << 0 << "0:01:00"
                                       << "0.00%"
                                       << "0字/分"
                                       << "0字/分";
        QTest::newRow("an hour") << 3600 << 600 << 0 << "1:00:00"
                                 << "100.00%"
                                 << "10字/分"
                                 << "10字/分";
        QTest::newRow("42.5 to even") << 120 << 85 << 0 << "0:02:00"
                                      << "100.00%"
                                      << "42字/分"
                                      << "42字/分";
        QTest::newRow("43.5 to even") << 120 << 87 << 0 << "0:02:00"
                                      << "100.00%"
                                      << "44字/分"
                                      << "44字/分";
        QTest::newRow("two thirds") << 60 << 2 << 1 << "0:01:00"
                                    << "66.67%"
                                    << "3字/分"
                                    << "2字/分";
        QTest::newRow("over a day") << 90000 << 1 << 0 << "25:00:00"
                                    << "100.00%"
                                    << "0字/分"
                                    << "0字/分";
    }
    void results()
    {
        QFETCH(int, seconds);
        QFETCH(int, right);
        QFETCH(int, wrong);
        const ResultSummary r = summarizeResult(10, 2, 3, seconds, right, wrong);
        QCOMPARE(r.total, QStringLiteral("15"));
        QTEST(r.time, "time");
        QTEST(r.accuracy, "accuracy");
        QTEST(r.speed, "speed");
        QTEST(r.effectiveSpeed, "effective");
    }
};

QTEST_GUILESS_MAIN(TestTyping)
#include "test_typing.moc"
