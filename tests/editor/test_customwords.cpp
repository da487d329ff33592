// The marks and custom-word candidates of the editor's save, with the real code database.
#include "editor/customwords.h"
#include "prepare/codedictionary.h"

#include <QtTest>

using namespace orvane;

class TestCustomWords : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(dict.open(QStringLiteral(ORVANE_TEST_DATA_DIR "/jtdb.dat")), "the build's code database");
        // The facts the cases below rest on.
        for (const char *known : {"他们", "是", "学生", "公园", "散步", "公", "天气"})
            QVERIFY2(!standard(QString::fromUtf8(known)).isEmpty(), known);
        for (const char *unknown : {"，", "公园散步", "。"})
            QVERIFY2(standard(QString::fromUtf8(unknown)).isEmpty(), unknown);
    }

    void marks_data()
    {
        QTest::addColumn<QString>("spaced");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QStringList>("candidates");
        QTest::newRow("known words and a comma") << "他们 是 学生 ，"
                                                 << "他们是学生，"
                                                 << "001002" << QStringList{};
        QTest::newRow("a Latin word in the middle: the next word gets 1") << "他们 Windows 学生"
                                                                          << "他们Windows学生"
                                                                          << "00444444411" << QStringList{};
        QTest::newRow("after a symbol the next word gets 1") << "， 学生 是"
                                                             << "，学生是"
                                                             << "2110" << QStringList{};
        // Letters and digits are marked 4 wherever the user's blanks put them; the Chinese next
        // to them is looked up as a word of its own.
        QTest::newRow("digits joined to a word") << "2011年 是"
                                                 << "2011年是"
                                                 << "444410" << QStringList{};
        QTest::newRow("full-width digits, decimal point and percent") << "达 ２.５亿 增长６０％ 。"
                                                                      << "达２.５亿增长６０％。"
                                                                      << "04441004442" << QStringList{};
        QTest::newRow("letters inside a piece") << "学生abc是"
                                                << "学生abc是"
                                                << "004441" << QStringList{};
        QTest::newRow("a full-width blank is a blank") << QStringLiteral("他们\u3000是　学生") << "他们是学生"
                                                       << "00100" << QStringList{};
        QTest::newRow("a new compound, once per occurrence") << "公园散步 是 公园散步 。"
                                                             << "公园散步是公园散步。"
                                                             << "0000100002" << QStringList{"公园散步", "公园散步"};
        QTest::newRow("two blanks and blanks at the ends make no word") << "  他们  是 "
                                                                        << "他们是"
                                                                        << "001" << QStringList{};
        QTest::newRow("a line break belongs to its piece; such a piece is no candidate") << "学生\n公园 是"
                                                                                         << "学生\n公园是"
                                                                                         << "000001" << QStringList{};
        QTest::newRow(
            "punctuation inside a piece is part of the word, letters are letters; neither piece is a candidate")
            << "公园散步， 是 天气abc"
            << "公园散步，是天气abc"
            << "00000100444" << QStringList{};
        QTest::newRow("empty") << ""
                               << ""
                               << "" << QStringList{};
    }

    void marks()
    {
        QFETCH(QString, spaced);
        QFETCH(QString, text);
        QFETCH(QString, marks);
        QFETCH(QStringList, candidates);
        const SavedWords w = markSavedWords(spaced, [this](const QString &s) { return standard(s); });
        QCOMPARE(w.text, text);
        QCOMPARE(w.marks, marks);
        QCOMPARE(w.candidates, candidates);
    }

    void distinct_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("repeats once") << "公园散步 天气好 公园散步 " << QStringList{"公园散步", "天气好"};
        QTest::newRow("pieces that are no custom word are left out")
            << "天气abc 公园散步， 天气 好 天气ａｂｃ 天天 " << QStringList{"天气", "天天"};
        QTest::newRow("one word") << "公园散步 " << QStringList{"公园散步"};
        QTest::newRow("empty pieces skipped") << "  公园散步  " << QStringList{"公园散步"};
        QTest::newRow("nothing") << "" << QStringList{};
    }

    void distinct()
    {
        QFETCH(QString, tag);
        QFETCH(QStringList, words);
        QCOMPARE(distinctCandidates(tag), words);
    }

    void tagHasABlankAfterEachWord()
    {
        QCOMPARE(
            candidateTag({QStringLiteral("公园散步"), QStringLiteral("天气好")}), QStringLiteral("公园散步 天气好 "));
        QCOMPARE(candidateTag({}), QString());
    }

private:
    QString standard(const QString &s) { return dict.LookupCodes(s).standard; }
    CodeDictionary dict;
};

QTEST_GUILESS_MAIN(TestCustomWords)
#include "test_customwords.moc"
