#include "prepare/pipeline.h"

#include <QBuffer>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;

namespace {

Preview previewOf(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return loadPreview(buffer);
}

QString repeat(const QString &s, int times)
{
    QString out;
    for (int i = 0; i < times; ++i)
        out += s;
    return out;
}

} // namespace

class TestPipeline : public QObject {
    Q_OBJECT
private slots:
    void cleaning_data();
    void cleaning();
    void lengthRules_data();
    void lengthRules();
    void largeFileReadsOnlyWhatItNeeds();
    void notText_data();
    void notText();
    void wholeFileDecides_data();
    void wholeFileDecides();
    void tooLargeIsRefused();
    void prepare_data();
    void prepare();
    void editorForm_data();
    void editorForm();
};

void TestPipeline::cleaning_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("clean");
    QTest::newRow("blanks and tabs") << "你 好\t世　界"
                                     << "你好世界";
    QTest::newRow("blank lines become one line") << "第一行\r\n\r\n  第二行\r\n"
                                                 << "第一行第二行";
    QTest::newRow("lone CR and LF stay") << "甲\r乙\n丙"
                                         << "甲\r乙\n丙";
    QTest::newRow("CR blank LF is a pair") << "甲\r \n乙"
                                           << "甲乙";
    QTest::newRow("pairs are not matched again") << "\r\r\n\n"
                                                 << "\r\n";
    QTest::newRow("straight and full-width quotes go") << "'甲'\"乙\"＇丙＂"
                                                       << "甲乙丙";
    QTest::newRow("curly quotes stay") << "“甲”‘乙’"
                                       << "“甲”‘乙’";
}

void TestPipeline::cleaning()
{
    QFETCH(QString, raw);
    QFETCH(QString, clean);
    QCOMPARE(cleanText(raw), clean);
}

void TestPipeline::lengthRules_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("length");
    QTest::newRow("19 after cleaning") << repeat("字 ", 19) << int(PreviewStatus::TooShort) << 0;
    QTest::newRow("20 after cleaning") << repeat("字 ", 20) << int(PreviewStatus::Accepted) << 20;
    QTest::newRow("2500 is cut to 2000") << repeat("中文", 1250) << int(PreviewStatus::Accepted) << 2000;
    QTest::newRow("empty file") << "" << int(PreviewStatus::TooShort) << 0;
}

void TestPipeline::lengthRules()
{
    QFETCH(QString, raw);
    QFETCH(int, status);
    QFETCH(int, length);
    const Preview p = previewOf(raw.toUtf8());
    QCOMPARE(int(p.status), status);
    QCOMPARE(p.text.size(), length);
}

void TestPipeline::largeFileReadsOnlyWhatItNeeds()
{
    // 4 MB of text in GB18030 with CR LF lines and blanks: the same preview as cleaning it all,
    // and the decoding stops long before the end.
    QString text;
    for (int i = 0; i < 60000; ++i)
        text += QStringLiteral("第%1行 文字，\r\n").arg(i);
    QByteArray bytes = QStringEncoder("GB18030").encode(text);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const Preview p = loadPreview(buffer);
    QCOMPARE(int(p.status), int(PreviewStatus::Accepted));
    QCOMPARE(p.text, cleanText(text).left(2000));
    QVERIFY(buffer.pos() < bytes.size() / 10);

    // A cut that falls inside a CR LF pair or a multi-byte character changes nothing.
    for (int pad = 0; pad < 8; ++pad) {
        const QString padded = QString(pad, QLatin1Char('a')) + repeat(QStringLiteral("汉字\r\n"), 30000);
        QByteArray utf8 = padded.toUtf8();
        QBuffer b(&utf8);
        b.open(QIODevice::ReadOnly);
        QCOMPARE(loadPreview(b).text, cleanText(padded).left(2000));
    }
}

void TestPipeline::notText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("zeros") << QByteArray(5000, '\0');
    QByteArray png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    png += QByteArray(3000, '\x01');
    QTest::newRow("picture") << png;
    QTest::newRow("picture after 64 KiB of blanks") << QByteArray(70000, ' ') + png;
    QTest::newRow("text, then binary far behind")
        << repeat(QStringLiteral("中文，"), 20000).toUtf8() + QByteArray("\x7F\0\0\x01\x02", 5);
}

void TestPipeline::notText()
{
    QFETCH(QByteArray, bytes);
    QCOMPARE(int(previewOf(bytes).status), int(PreviewStatus::NotText));
}

void TestPipeline::wholeFileDecides_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("preview");
    const QString lesson = repeat(QStringLiteral("今天天气很好，我们去公园散步。"), 10);
    QStringEncoder gb("GB18030");
    QTest::newRow("gb18030 after 64 KiB of blanks") << QByteArray(70000, ' ') + QByteArray(gb.encode(lesson)) << lesson;
    QStringEncoder le(QStringEncoder::Utf16LE);
    QTest::newRow("utf-16 without byte-order mark") << QByteArray(le.encode(lesson)) << lesson;
    // A lone surrogate never reaches the preview, in the first chunk or far behind it.
    QByteArray lone("\xFF\xFE", 2);
    lone += le.encode(lesson.left(10));
    lone += QByteArray("\x00\xDC", 2);
    lone += le.encode(lesson.mid(10));
    QTest::newRow("utf-16 with a lone surrogate")
        << lone << lesson.left(10) + QChar(QChar::ReplacementCharacter) + lesson.mid(10);
    QByteArray farLone("\xFF\xFE", 2);
    farLone += le.encode(QString(40000, QLatin1Char(' ')) + lesson);
    farLone += QByteArray("\x3D\xD8", 2);
    QTest::newRow("utf-16, high surrogate at the end after a long start")
        << farLone << lesson + QChar(QChar::ReplacementCharacter);
}

void TestPipeline::wholeFileDecides()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, preview);
    const Preview p = previewOf(bytes);
    QCOMPARE(int(p.status), int(PreviewStatus::Accepted));
    QCOMPARE(p.text, preview);
}

void TestPipeline::tooLargeIsRefused()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("big.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(repeat(QStringLiteral("中文"), 20).toUtf8()) > 0);
    QVERIFY(file.resize(kMaxTextFileBytes + 1)); // sparse: the rest are NUL bytes
    file.close();
    const Preview p = loadPreview(file.fileName());
    QCOMPARE(int(p.status), int(PreviewStatus::Unreadable));
    QVERIFY2(p.detail.contains(QStringLiteral("64 MB")), qPrintable(p.detail));
}

void TestPipeline::prepare_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("marks");
    QTest::addColumn<bool>("symbols");
    QTest::addColumn<bool>("alpha");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("outText");
    QTest::addColumn<QString>("outMarks");

    QTest::newRow("no filter widens symbols everywhere") << "你,好,a"
                                                         << "02124" << false << false << QStringList{} << "你，好，a"
                                                         << "02124";
    QTest::newRow("no filter: bracket stays unless marked a symbol")
        << "a[b"
        << "444" << false << false << QStringList{} << "a[b"
        << "444";
    QTest::newRow("no filter: bracket marked a symbol is widened")
        << "你[好"
        << "020" << false << false << QStringList{} << "你［好"
        << "020";
    QTest::newRow("letters and digits filtered") << "abc中文123"
                                                 << "4440044"
                                                    "4"
                                                 << false << true << QStringList{} << "中文"
                                                 << "00";
    QTest::newRow("half-width comma in the list removes full-width commas")
        << "你，好,世"
        << "02020" << true << false << QStringList{","} << "你好世"
        << "000";
    QTest::newRow("two-character symbol filters nothing") << "你，好"
                                                          << "020" << true << false << QStringList{"，，"} << "你，好"
                                                          << "020";
    QTest::newRow("filtering widens the bracket") << "你[好a"
                                                  << "0404" << true << false << QStringList{"。"} << "你［好a"
                                                  << "0404";
    QTest::newRow("both filters") << "A，中。"
                                  << "4202" << true << true << QStringList{"，", "。"} << "中"
                                  << "0";
}

void TestPipeline::prepare()
{
    QFETCH(QString, text);
    QFETCH(QString, marks);
    QFETCH(bool, symbols);
    QFETCH(bool, alpha);
    QFETCH(QStringList, list);
    QFETCH(QString, outText);
    QFETCH(QString, outMarks);
    const PreparedText out = prepareText(text, marks, {symbols, alpha, list});
    QCOMPARE(out.text, outText);
    QCOMPARE(out.marks, outMarks);
}

void TestPipeline::editorForm_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("marks");
    QTest::addColumn<QString>("spaced");
    QTest::addColumn<QString>("spacedMarks");
    QTest::newRow("three boundaries") << "他们是学，生生"
                                      << "0011200"
                                      << "他们 是学 ， 生生"
                                      << "0031132300";
    QTest::newRow("one word") << "学生"
                              << "00"
                              << "学生"
                              << "00";
    QTest::newRow("empty") << ""
                           << ""
                           << ""
                           << "";
}

void TestPipeline::editorForm()
{
    QFETCH(QString, text);
    QFETCH(QString, marks);
    QFETCH(QString, spaced);
    QFETCH(QString, spacedMarks);
    const PreparedText out = spacedForm({text, marks});
    QCOMPARE(out.text, spaced);
    QCOMPARE(out.marks, spacedMarks);
}

QTEST_GUILESS_MAIN(TestPipeline)
#include "test_pipeline.moc"
