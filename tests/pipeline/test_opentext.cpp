// The open step with the real segmenter: from the bytes of a file to the text, marks and counts a
// window takes, or to the refusal and its message.
#include "prepare/externallibs.h"
#include "prepare/opentext.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;

Q_DECLARE_METATYPE(orvane::OpenFailure)

namespace {

const QString kArticle = QStringLiteral("我们是学生，我们热爱学习。今天天气很好，我们一起去公园散步，看见了很多花。");

} // namespace

class TestOpenText : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void countMarks_data();
    void countMarks();
    void opensForEachWindow_data();
    void opensForEachWindow();
    void refusals_data();
    void refusals();
    void nothingChosenAndMissingFile();

private:
    QTemporaryDir m_userData;
    ExternalLibs m_libs;
};

void TestOpenText::initTestCase()
{
    // The custom words of the libraries come from the user's data folder: an empty one of our own.
    qputenv("XDG_DATA_HOME", m_userData.path().toUtf8());
    QString error;
    QVERIFY2(m_libs.open({QStringLiteral(ORVANE_TEST_DATA_DIR)}, QStringLiteral(ORVANE_TEST_DATA_DIR), &error),
        qPrintable(error));
}

void TestOpenText::countMarks_data()
{
    QTest::addColumn<QString>("marks");
    QTest::addColumn<int>("hanzi");
    QTest::addColumn<int>("symbols");
    QTest::addColumn<int>("alpha");
    QTest::newRow("empty") << QString() << 0 << 0 << 0;
    QTest::newRow("words, symbols, a letter") << QStringLiteral("0011224") << 4 << 2 << 1;
    QTest::newRow("a letter between symbols and a word") << QStringLiteral("00122400") << 5 << 2 << 1;
    QTest::newRow("runs of letters") << QStringLiteral("0010024442") << 5 << 2 << 3;
}

void TestOpenText::countMarks()
{
    QFETCH(QString, marks);
    QFETCH(int, hanzi);
    QFETCH(int, symbols);
    QFETCH(int, alpha);
    const TextCounts c = orvane::countMarks(marks);
    QCOMPARE(c.HanziCount, hanzi);
    QCOMPARE(c.SymbolCount, symbols);
    QCOMPARE(c.AlphaCount, alpha);
}

void TestOpenText::opensForEachWindow_data()
{
    QTest::addColumn<bool>("editor");
    QTest::addColumn<bool>("filterSymbols");
    QTest::addColumn<bool>("filterAlpha");
    QTest::newRow("test window, the dialog's defaults") << false << true << true;
    QTest::newRow("test window, nothing filtered") << false << false << false;
    QTest::newRow("editor, letters kept") << true << false << false;
}

void TestOpenText::opensForEachWindow()
{
    QFETCH(bool, editor);
    QFETCH(bool, filterSymbols);
    QFETCH(bool, filterAlpha);
    OpenRequest request;
    request.target = editor ? OpenTarget::Editor : OpenTarget::TestWindow;
    request.filterSymbols = filterSymbols;
    request.filterAlpha = filterAlpha;
    // The list names the half-width comma: the full-width commas of the text go as well.
    const QStringList entries{QStringLiteral(",      逗号")};
    const QByteArray bytes = (QStringLiteral("\t“") + kArticle + QStringLiteral("”\r\nabc 123\r\n")).toUtf8();
    OpenError error;
    const std::optional<OpenedText> opened =
        openTextBytes(bytes, QStringLiteral("a.txt"), request, entries, &m_libs, &error);
    QVERIFY2(opened, qPrintable(error.message()));
    QCOMPARE(opened->target, request.target);
    QCOMPARE(opened->text.size(), opened->marks.size());
    QVERIFY2(opened->warning.isEmpty(), qPrintable(opened->warning)); // the code data are there
    QCOMPARE(
        opened->text.contains(QStringLiteral("abc")) || opened->text.contains(QStringLiteral("ａｂｃ")), !filterAlpha);
    QCOMPARE(opened->text.contains(QStringLiteral("，")), !filterSymbols);
    QVERIFY(opened->text.contains(QStringLiteral("。"))); // not in the list

    if (editor) {
        // A blank marked "3" at every boundary; the editor form counts nothing.
        QVERIFY(opened->text.contains(QStringLiteral("我们 是 学生")));
        for (int i = 0; i < opened->text.size(); ++i)
            QCOMPARE(opened->text[i] == u' ', opened->marks[i] == u'3');
        QCOMPARE(opened->counts.HanziCount + opened->counts.SymbolCount + opened->counts.AlphaCount, 0);
    } else {
        QVERIFY(!opened->text.contains(u' '));
        const TextCounts expected = orvane::countMarks(opened->marks);
        QCOMPARE(opened->counts.HanziCount, expected.HanziCount);
        QCOMPARE(opened->counts.SymbolCount, expected.SymbolCount);
        QCOMPARE(opened->counts.AlphaCount, expected.AlphaCount);
        QCOMPARE(opened->counts.AlphaCount > 0, !filterAlpha);
        QVERIFY(opened->counts.HanziCount >= int(kArticle.size()) - 8);
    }
}

void TestOpenText::refusals_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("withLibs");
    QTest::addColumn<OpenFailure>("failure");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("critical");
    QTest::newRow("too short") << QStringLiteral("太短的文章。").toUtf8() << true << OpenFailure::TooShort
                               << QStringLiteral("此文件中的汉字太少，不适于进行分词测试！") << false;
    QTest::newRow("not text") << QByteArray(4000, '\0') << true << OpenFailure::NotText
                              << QStringLiteral("“课文.txt”不是文本文件，无法打开！") << false;
    QTest::newRow("no segmenter") << kArticle.toUtf8() << false << OpenFailure::NoSegmenter
                                  << QStringLiteral("分词程序库未能加载，无法对文章进行分词！") << true;
    QTest::newRow("no Chinese word left after the filters")
        << QByteArray("abc def 123 456 7890 xyz, abc def 123 456 7890 xyz.") << true << OpenFailure::TooShort
        << QStringLiteral("此文件中的汉字太少，不适于进行分词测试！") << false;
    // A refused file is refused before the segmenter is needed.
    QTest::newRow("too short without segmenter") << QStringLiteral("太短。").toUtf8() << false << OpenFailure::TooShort
                                                 << QStringLiteral("此文件中的汉字太少，不适于进行分词测试！") << false;
}

void TestOpenText::refusals()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, withLibs);
    QFETCH(OpenFailure, failure);
    QFETCH(QString, message);
    QFETCH(bool, critical);
    OpenError error;
    QVERIFY(!openTextBytes(bytes, QStringLiteral("课文.txt"), OpenRequest(), {}, withLibs ? &m_libs : nullptr, &error));
    QCOMPARE(error.failure, failure);
    QCOMPARE(error.message(), message);
    QCOMPARE(error.critical(), critical);
}

void TestOpenText::nothingChosenAndMissingFile()
{
    // The dialog's open button before a file was accepted.
    OpenError error;
    QVERIFY(!openPreview(Preview(), OpenRequest(), {}, &m_libs, &error));
    QCOMPARE(error.failure, OpenFailure::NothingChosen);
    QCOMPARE(error.message(), QStringLiteral("请先选择文件再打开！"));

    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("没有.txt"));
    QVERIFY(!openTextFile(missing, OpenRequest(), {}, &m_libs, &error));
    QCOMPARE(error.failure, OpenFailure::Unreadable);
    QVERIFY2(
        error.message().startsWith(QStringLiteral("无法读取文件“%1”：").arg(missing)), qPrintable(error.message()));
    QVERIFY(!error.detail.isEmpty());
}

QTEST_GUILESS_MAIN(TestOpenText)
#include "test_opentext.moc"
