// The course and the weak items, without windows: lessons come from the code database in
// frequency order and the same every time, a lesson opens when the one before it was passed, and
// the drill's weak items are the mistake book's weakest, with the codes the book keeps.
#include "prepare/codedictionary.h"
#include "teaching/course.h"
#include "teaching/mistakebook.h"
#include "teaching/weakdrill.h"

#include <QtTest>

using namespace orvane;

Q_DECLARE_METATYPE(QVector<HistoryRecord>)

namespace {

FrequentItem fi(const char16_t *text, qint64 frequency, const char *shortCode = "")
{
    return {QString::fromUtf16(text), {QStringLiteral("123456"), QString::fromLatin1(shortCode)}, frequency};
}

// A small database: three characters with one-digit short codes, four with two digits, five
// without; three two-character words, one of three characters, none of four.
CourseSource smallSource()
{
    CourseSource s;
    s.characters = {fi(u"的", 900, "1"), fi(u"是", 800, "23"), fi(u"一", 700, "2"), fi(u"不", 650, "45"),
        fi(u"了", 600), fi(u"在", 550, "3"), fi(u"人", 500, "67"), fi(u"有", 450), fi(u"我", 400, "89"), fi(u"他", 350),
        fi(u"这", 300), fi(u"个", 250)};
    s.words2 = {fi(u"我们", 300), fi(u"中国", 200), fi(u"发展", 100)};
    s.words3 = {fi(u"自治区", 250)};
    return s;
}

HistoryRecord test(const QString &kind, double accuracy, int speed, int day = 1)
{
    HistoryRecord r;
    r.kind = kind;
    r.accuracy = accuracy;
    r.speed = speed;
    r.start = QDateTime(QDate(2026, 3, day), QTime(9, 0));
    return r;
}

} // namespace

class TestCourse : public QObject {
    Q_OBJECT
private slots:
    // Each lesson of the small database: what it holds, in frequency order, and its goal. Lessons
    // the database has no items for (the second two-digit lesson, the second band, the second
    // two-character lesson, four-character words) are left out.
    void lessonsOfASmallDatabase_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("speed");
        QTest::newRow("1") << 1 << u"一位简码字"_qs << QStringList{u"的"_qs, u"一"_qs, u"在"_qs} << 20;
        QTest::newRow("2") << 2 << u"二位简码字（一）"_qs << QStringList{u"是"_qs, u"不"_qs, u"人"_qs, u"我"_qs} << 28;
        QTest::newRow("3") << 3 << u"常用字（一）"_qs << QStringList{u"了"_qs, u"有"_qs, u"他"_qs, u"这"_qs, u"个"_qs}
                           << 36;
        QTest::newRow("4") << 4 << u"二字词（一）"_qs << QStringList{u"我们"_qs, u"中国"_qs, u"发展"_qs} << 44;
        QTest::newRow("5") << 5 << u"三字词"_qs << QStringList{u"自治区"_qs} << 52;
        QTest::newRow("6") << 6 << u"常用词混合"_qs << QStringList{u"我们"_qs, u"自治区"_qs, u"中国"_qs, u"发展"_qs}
                           << 60;
    }
    void lessonsOfASmallDatabase()
    {
        QFETCH(int, number);
        QFETCH(QString, title);
        QFETCH(QStringList, items);
        QFETCH(int, speed);
        const QVector<Lesson> lessons = buildCourse(smallSource());
        QCOMPARE(lessons.size(), 6);
        const Lesson &lesson = lessons[number - 1];
        QCOMPARE(lesson.number, number);
        QCOMPARE(lesson.title, title);
        QStringList texts;
        for (const DrillItem &i : lesson.items)
            texts << i.text;
        QCOMPARE(texts, items);
        QCOMPARE(lesson.goal.speed, speed);
        QCOMPARE(lesson.goal.accuracy, 98.0);
        QCOMPARE(lesson.kind(), QStringLiteral("lesson %1").arg(number));
        const OpenedText text = lesson.text();
        QCOMPARE(text.kind, lesson.kind());
        QVERIFY(text.name.startsWith(QStringLiteral("第%1课").arg(number)));
        QVERIFY(text.hints.isEmpty());
        // Long enough to measure a speed, short enough for one sitting.
        QVERIFY2(text.counts.HanziCount >= 2 * lesson.items.size() && text.counts.HanziCount <= 300,
            qPrintable(QString::number(text.counts.HanziCount)));
    }

    // The program's own database: the lists come most frequent first, the course is the same on
    // every build of it, and its goals rise from 20 to 60 字/分.
    void theCourseOfTheProgramsDatabase()
    {
        CodeDictionary codes;
        QString error;
        QVERIFY2(codes.open(QStringLiteral(ORVANE_TEST_DATA_DIR "/jtdb.dat"), &error), qPrintable(error));
        const CourseSource source = courseSource(codes);
        for (const QVector<FrequentItem> *list : {&source.characters, &source.words2, &source.words3, &source.words4}) {
            QVERIFY(list->size() >= 20);
            for (qsizetype i = 1; i < list->size(); ++i)
                QVERIFY2((*list)[i - 1].frequency >= (*list)[i].frequency, qPrintable((*list)[i].text));
        }
        for (const FrequentItem &w : source.words3)
            QCOMPARE(w.text.size(), 3);

        const QVector<Lesson> lessons = buildCourse(source);
        const QVector<Lesson> again = buildCourse(courseSource(codes));
        QCOMPARE(lessons.size(), 11);
        QCOMPARE(again.size(), lessons.size());
        for (qsizetype i = 0; i < lessons.size(); ++i) {
            QCOMPARE(again[i].items, lessons[i].items);
            QCOMPARE(again[i].text().text, lessons[i].text().text);
            if (i > 0)
                QVERIFY(lessons[i].goal.speed > lessons[i - 1].goal.speed);
        }
        QCOMPARE(lessons.first().goal.speed, 20);
        QCOMPARE(lessons.last().goal.speed, 60);
        for (const DrillItem &c : lessons[0].items)
            QCOMPARE(c.codes.shortCode.size(), 1);
        for (const DrillItem &c : lessons[1].items)
            QCOMPARE(c.codes.shortCode.size(), 2);
        // The first lesson starts with the most frequent character that has a one-digit code.
        const auto first = std::find_if(source.characters.cbegin(), source.characters.cend(),
            [](const FrequentItem &c) { return c.codes.shortCode.size() == 1; });
        QCOMPARE(lessons[0].items.first().text, first->text);
    }

    // States: P passed, O open, L locked; best: the speed of each lesson's best test, 0 for none.
    void aPassedGoalOpensTheNextLesson_data()
    {
        QTest::addColumn<QVector<HistoryRecord>>("tests");
        QTest::addColumn<QString>("states");
        QTest::addColumn<QList<int>>("best");
        const QString l1 = QStringLiteral("lesson 1"), l2 = QStringLiteral("lesson 2");
        QTest::newRow("no test") << QVector<HistoryRecord>{} << "OLL" << QList<int>{0, 0, 0};
        QTest::newRow("too slow") << QVector<HistoryRecord>{test(l1, 100, 19)} << "OLL" << QList<int>{19, 0, 0};
        QTest::newRow("not accurate enough")
            << QVector<HistoryRecord>{test(l1, 97.99, 30)} << "OLL" << QList<int>{30, 0, 0};
        QTest::newRow("goal met exactly") << QVector<HistoryRecord>{test(l1, 98, 20)} << "POL" << QList<int>{20, 0, 0};
        QTest::newRow("other kinds do not count") << QVector<HistoryRecord>{test(u"drill"_qs, 100, 90),
            test(QString(), 100, 90), test(u"lesson 10"_qs, 100, 90)}
                                                  << "OLL" << QList<int>{0, 0, 0};
        QTest::newRow("a failed test after the pass")
            << QVector<HistoryRecord>{test(l1, 99, 25), test(l1, 80, 50)} << "POL" << QList<int>{25, 0, 0};
        QTest::newRow("the faster of two passes") << QVector<HistoryRecord>{test(l1, 99, 25), test(l1, 98.5, 31),
            test(l1, 100, 22)} << "POL" << QList<int>{31, 0, 0};
        QTest::newRow("second lesson failed")
            << QVector<HistoryRecord>{test(l1, 99, 25), test(l2, 99, 39)} << "POL" << QList<int>{25, 39, 0};
        QTest::newRow("two lessons passed")
            << QVector<HistoryRecord>{test(l2, 99, 41), test(l1, 99, 25)} << "PPO" << QList<int>{25, 41, 0};
    }
    void aPassedGoalOpensTheNextLesson()
    {
        QFETCH(QVector<HistoryRecord>, tests);
        QFETCH(QString, states);
        QFETCH(QList<int>, best);
        QVector<Lesson> lessons(3);
        for (int i = 0; i < 3; ++i) {
            lessons[i].number = i + 1;
            lessons[i].goal = {98, 20 + 20 * i};
        }
        const QVector<LessonProgress> progress = courseProgress(lessons, tests);
        QString shown;
        QList<int> bestSpeeds;
        for (const LessonProgress &p : progress) {
            shown += p.state == LessonState::Passed ? u'P' : p.state == LessonState::Open ? u'O' : u'L';
            bestSpeeds << (p.best ? p.best->speed : 0);
        }
        QCOMPARE(shown, states);
        QCOMPARE(bestSpeeds, best);
    }

    // The drill takes the book's 20 weakest items in the book's order, each with the codes the
    // book keeps and marked missed (its code is told before it is first typed).
    void weakItemsAreTheBooksWeakest()
    {
        QVector<HistoryTestItems> tests;
        for (int day = 1; day <= 25; ++day) {
            HistoryItem item;
            item.text = QString(QChar(u'一' + day));
            item.standardCode = QString::number(100000 + day);
            item.shortCode = QString::number(day);
            item.seen = item.missed = item.wrong = day == 25 ? 2 : 1;
            tests.push_back({day, QDateTime(QDate(2026, 3, 1), QTime(9, 0)).addDays(day), false, {item}});
        }
        const QVector<DrillItem> items = weakItems(buildMistakeBook(tests, {}));
        QCOMPARE(items.size(), 20);
        // The item missed twice, then the most recent first.
        QCOMPARE(items[0], (DrillItem{QString(QChar(u'一' + 25)), {u"100025"_qs, u"25"_qs}, true}));
        QCOMPARE(items[1], (DrillItem{QString(QChar(u'一' + 24)), {u"100024"_qs, u"24"_qs}, true}));
        QCOMPARE(items[19].text, QString(QChar(u'一' + 6)));
        QVERIFY(weakItems(MistakeBook{}).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCourse)
#include "test_course.moc"
