// Practice texts: every item of a drill or a lesson comes back as whole words of the text, as
// often as asked, in an order fixed by the seed, with the code of a missed item told at its first
// occurrence.
#include "segtest/typingsession.h"
#include "teaching/practicetext.h"

#include <QtTest>

using namespace orvane;

Q_DECLARE_METATYPE(QVector<DrillItem>)

namespace {

struct Word {
    QString text;
    QChar mark;
    int position;
};

// The words of a text as the test window takes them: runs of one mark.
QVector<Word> wordsOf(const QString &text, const QString &marks)
{
    QVector<Word> out;
    for (int i = 0; i < text.size(); ++i) {
        if (i == 0 || marks[i] != marks[i - 1])
            out.push_back({QString(), marks[i], i});
        out.back().text += text[i];
    }
    return out;
}

DrillItem item(const char16_t *text, bool missed = false, const char *standard = "123456", const char *shortCode = "")
{
    return {QString::fromUtf16(text), {QString::fromLatin1(standard), QString::fromLatin1(shortCode)}, missed};
}

QVector<DrillItem> tenItems()
{
    QVector<DrillItem> items;
    for (const char16_t *t : {u"的", u"一", u"是", u"接近", u"中国", u"我们", u"人民", u"发展", u"社会主义", u"自治区"})
        items.push_back(item(t));
    return items;
}

} // namespace

class TestPracticeText : public QObject {
    Q_OBJECT
private slots:
    void everyItemIsAWordOfTheText_data()
    {
        QTest::addColumn<QVector<DrillItem>>("items");
        QTest::addColumn<int>("repeats");
        QTest::addColumn<QStringList>("expected"); // the items that are practised
        QTest::addColumn<QStringList>("hinted");   // those whose code is told

        QTest::newRow("characters and words") << QVector<DrillItem>{item(u"接近", true, "504608", "50"), item(u"的"),
            item(u"中华人民", true), item(u"学")}
                                              << 3 << QStringList{u"接近"_qs, u"的"_qs, u"中华人民"_qs, u"学"_qs}
                                              << QStringList{u"接近"_qs, u"中华人民"_qs};
        QTest::newRow("one item") << QVector<DrillItem>{item(u"接近")} << 4 << QStringList{u"接近"_qs} << QStringList{};
        // An item given twice is practised once, missed if either was; an item that would break
        // a word (blank, punctuation, nothing) is left out.
        QTest::newRow("duplicates and unusable items")
            << QVector<DrillItem>{item(u"接近"), item(u"接近", true), item(u""), item(u"中 国"), item(u"好。"),
                   item(u"的"), item(u"a\nb")}
            << 2 << QStringList{u"接近"_qs, u"的"_qs} << QStringList{u"接近"_qs};
        QTest::newRow("ten items") << tenItems() << 3
                                   << QStringList{u"的"_qs, u"一"_qs, u"是"_qs, u"接近"_qs, u"中国"_qs, u"我们"_qs,
                                          u"人民"_qs, u"发展"_qs, u"社会主义"_qs, u"自治区"_qs}
                                   << QStringList{};
    }
    void everyItemIsAWordOfTheText()
    {
        QFETCH(QVector<DrillItem>, items);
        QFETCH(int, repeats);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, hinted);
        PracticeOptions options;
        options.repeats = repeats;
        options.seed = 11;
        const OpenedText text = practiceText(items, options, u"练习薄弱项"_qs, u"drill"_qs);
        QCOMPARE(text.name, u"练习薄弱项"_qs);
        QCOMPARE(text.kind, u"drill"_qs);
        QCOMPARE(text.marks.size(), text.text.size());
        QVERIFY(text.text.endsWith(u'。'));

        QHash<QString, int> seen;
        QHash<QString, int> firstAt;
        QString previous;
        int symbols = 0;
        int wordsInRun = 0;
        for (const Word &w : wordsOf(text.text, text.marks)) {
            if (w.mark == u'2') {
                QVERIFY2(w.text == u"，"_qs || w.text == u"。"_qs, qPrintable(w.text));
                // Runs are three to six items long; the last may be shorter.
                QVERIFY(wordsInRun >= 1 && wordsInRun <= 6);
                wordsInRun = 0;
                ++symbols;
                continue;
            }
            QVERIFY2(w.mark == u'0' || w.mark == u'1', qPrintable(w.text));
            QVERIFY2(expected.contains(w.text), qPrintable(w.text));
            if (expected.size() > 1)
                QVERIFY2(w.text != previous, qPrintable(w.text)); // never the same item twice in a row
            previous = w.text;
            ++wordsInRun;
            if (!seen.contains(w.text))
                firstAt.insert(w.text, w.position);
            ++seen[w.text];
        }
        QCOMPARE(seen.size(), expected.size());
        for (const QString &e : expected)
            QCOMPARE(seen.value(e), repeats);
        QCOMPARE(text.counts.SymbolCount, symbols);
        QCOMPARE(text.counts.HanziCount, int(text.text.size()) - symbols);

        // The code of each missed item, once, where it is first typed.
        QMap<int, QString> hints;
        for (const DrillItem &i : items)
            if (i.missed && hinted.contains(i.text))
                hints.insert(firstAt.value(i.text), codeHintMessage(i.text, i.codes));
        QCOMPARE(text.hints, hints);
    }

    void theSeedFixesTheOrder()
    {
        PracticeOptions options;
        options.seed = 5;
        const OpenedText a = practiceText(tenItems(), options, QString(), QString());
        const OpenedText b = practiceText(tenItems(), options, QString(), QString());
        QCOMPARE(a.text, b.text);
        QCOMPARE(a.marks, b.marks);
        options.seed = 6;
        QVERIFY(practiceText(tenItems(), options, QString(), QString()).text != a.text);
    }

    void noItemGivesNoText()
    {
        const OpenedText text = practiceText({item(u""), item(u"，")}, {}, u"练习薄弱项"_qs, u"drill"_qs);
        QVERIFY(text.text.isEmpty());
        QVERIFY(text.marks.isEmpty());
        QVERIFY(text.hints.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPracticeText)
#include "test_practicetext.moc"
