// Segmented example files without windows: the mark file's path and format, the writer's
// all-or-nothing replacement, the reader's refusal of marks that do not fit the text, the
// separated plain text and the segmentation result.
#include "segtest/examplefiles.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using namespace orvane;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A rendered-looking document: words in two alternating colours, a comma in a third.
void fillDocument(QTextDocument &doc)
{
    QTextCursor c(&doc);
    const struct {
        const char16_t *text;
        QColor colour;
    } runs[] = {{u"我们", Qt::black}, {u"是", Qt::red}, {u"学生", Qt::black}, {u"，", Qt::magenta}, {u"abc", Qt::blue},
        {u"。", Qt::magenta}};
    for (const auto &r : runs) {
        QTextCharFormat f;
        f.setForeground(r.colour);
        c.insertText(QString::fromUtf16(r.text), f);
    }
}
const QString kMarks = QStringLiteral("0010024442");

} // namespace

class TestExampleFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void auxiliaryPath_data()
    {
        QTest::addColumn<QString>("main");
        QTest::addColumn<QString>("aux");
        QTest::newRow("sav") << "/home/u/文本/例1.sav"
                             << "/home/u/文本/例1.ext";
        QTest::newRow("sav in a folder name") << "/home/u/saved/a.sav"
                                              << "/home/u/saved/a.ext";
        QTest::newRow("capitals") << "/home/u/A.SAV"
                                  << "/home/u/A.SAV.ext";
        QTest::newRow("other extension") << "/home/u/a.rtf"
                                         << "/home/u/a.rtf.ext";
        QTest::newRow("ext itself") << "/home/u/a.ext"
                                    << "/home/u/a.ext.ext";
        QTest::newRow("no extension") << "/home/u/a"
                                      << "/home/u/a.ext";
        QTest::newRow("sav without dot") << "/home/u/asav"
                                         << "/home/u/asav.ext";
        QTest::newRow("hidden .sav") << "/home/u/.sav"
                                     << "/home/u/.ext";
    }
    void auxiliaryPath()
    {
        QFETCH(QString, main);
        QFETCH(QString, aux);
        QCOMPARE(orvane::auxiliaryPath(main), aux);
        QVERIFY(orvane::auxiliaryPath(main) != main);
    }

    void parseMarkFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("marks");
        QTest::newRow("as written") << QByteArray("\"0012240\"\r\n") << true << "0012240";
        QTest::newRow("LF only") << QByteArray("\"01\"\n") << true << "01";
        QTest::newRow("no line end") << QByteArray("\"01\"") << true << "01";
        QTest::newRow("empty marks") << QByteArray("\"\"\r\n") << true << "";
        QTest::newRow("UTF-8 BOM") << QByteArray("\xEF\xBB\xBF\"012\"\r\n") << true << "012";
        QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFE\"\0"
                                                 "0\0"
                                                 "1\0\"\0\r\0\n\0",
            14) << true << "01";
        QTest::newRow("empty file") << QByteArray() << false << "";
        QTest::newRow("no quotes") << QByteArray("0011\r\n") << false << "";
        QTest::newRow("unterminated") << QByteArray("\"0011\r\n") << false << "";
        QTest::newRow("separator mark") << QByteArray("\"0031\"\r\n") << false << "";
        QTest::newRow("letter") << QByteArray("\"00a1\"\r\n") << false << "";
        QTest::newRow("Chinese in the marks") << QByteArray("\"0\xE4\xB8\xAD"
                                                            "1\"\r\n")
                                              << false << "";
        QTest::newRow("second line") << QByteArray("\"01\"\r\n\"10\"\r\n") << false << "";
        QTest::newRow("rich text instead") << QByteArray("{\\rtf1 \"01\"}") << false << "";
    }
    void parseMarkFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, ok);
        QFETCH(QString, marks);
        QString got = QStringLiteral("untouched");
        QString error;
        QCOMPARE(orvane::parseMarkFile(bytes, &got, &error), ok);
        if (ok) {
            QCOMPARE(got, marks);
        } else {
            QCOMPARE(got, QStringLiteral("untouched"));
            QVERIFY(!error.isEmpty());
        }
    }

    void markFileFormat() { QCOMPARE(markFileBytes(kMarks), QByteArray("\"0010024442\"\r\n")); }

    void roundTrip()
    {
        QTemporaryDir dir;
        const QString main = dir.filePath(QStringLiteral("例文.sav"));
        QTextDocument doc;
        fillDocument(doc);
        QString error;
        QVERIFY2(writeExample(main, doc, kMarks, &error), qPrintable(error));
        QCOMPARE(fileBytes(dir.filePath(QStringLiteral("例文.ext"))), QByteArray("\"0010024442\"\r\n"));
        QVERIFY(fileBytes(main).startsWith("{\\rtf1"));

        QTextDocument back;
        QString marks;
        QCOMPARE(readExample(main, &back, &marks, &error), ExampleReadStatus::Ok);
        QCOMPARE(back.toPlainText(), doc.toPlainText());
        QCOMPARE(marks, kMarks);
        // The colours come back as saved.
        for (int pos : {0, 2, 5, 6, 9}) {
            QTextCursor a(&doc), b(&back);
            a.setPosition(pos + 1);
            b.setPosition(pos + 1);
            QCOMPARE(b.charFormat().foreground().color(), a.charFormat().foreground().color());
        }
    }

    // Line breaks, empty lines and a break at the end are one position each, as in the view.
    void paragraphsKeepTheirPositions()
    {
        QTemporaryDir dir;
        const QString main = dir.filePath(QStringLiteral("段落.sav"));
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("我们\n\n是学生。\n"));
        const QString marks = QStringLiteral("002210022");
        QCOMPARE(doc.toPlainText().size(), marks.size());
        QString error;
        QVERIFY2(writeExample(main, doc, marks, &error), qPrintable(error));
        QTextDocument back;
        QString got;
        QCOMPARE(readExample(main, &back, &got, &error), ExampleReadStatus::Ok);
        QCOMPARE(back.toPlainText(), doc.toPlainText());
        QCOMPARE(got, marks);
    }

    // Marks that do not fit the text, or a main file that is no rich text, change nothing.
    void refusedPair_data()
    {
        QTest::addColumn<QByteArray>("markFile");
        QTest::addColumn<QByteArray>("mainFile");
        const QByteArray rtf = "{\\rtf1\\ansi abc}";
        QTest::newRow("fewer marks") << QByteArray("\"00\"\r\n") << rtf;
        QTest::newRow("more marks") << QByteArray("\"0000\"\r\n") << rtf;
        QTest::newRow("no marks") << QByteArray("\"\"\r\n") << rtf;
        QTest::newRow("mark 3") << QByteArray("\"030\"\r\n") << rtf;
        QTest::newRow("mark 9") << QByteArray("\"009\"\r\n") << rtf;
        QTest::newRow("garbage") << QByteArray("\x01\x02\xFF") << rtf;
        QTest::newRow("main not rtf") << QByteArray("\"444\"\r\n") << QByteArray("abc");
        QTest::newRow("main unclosed") << QByteArray("\"444\"\r\n") << QByteArray("{\\rtf1 abc");
        QTest::newRow("huge mark file") << QByteArray("\"") + QByteArray(17 * 1024 * 1024, '0') + "\"\r\n" << rtf;
    }
    void refusedPair()
    {
        QFETCH(QByteArray, markFile);
        QFETCH(QByteArray, mainFile);
        QTemporaryDir dir;
        const QString main = dir.filePath(QStringLiteral("a.sav"));
        writeBytes(main, mainFile);
        writeBytes(dir.filePath(QStringLiteral("a.ext")), markFile);
        QTextDocument doc;
        fillDocument(doc);
        const QString before = doc.toHtml();
        QString marks = kMarks;
        QString error;
        QCOMPARE(readExample(main, &doc, &marks, &error), ExampleReadStatus::Failed);
        QVERIFY2(error.contains(main) || error.contains(orvane::auxiliaryPath(main)), qPrintable(error));
        QCOMPARE(doc.toHtml(), before);
        QCOMPARE(marks, kMarks);
    }

    void missingFiles()
    {
        QTemporaryDir dir;
        QTextDocument doc;
        QString marks, error;
        const QString main = dir.filePath(QStringLiteral("a.sav"));
        writeBytes(main, "{\\rtf1 abc}");
        QCOMPARE(readExample(main, &doc, &marks, &error), ExampleReadStatus::AuxiliaryMissing);
        QCOMPARE(error, QStringLiteral("辅助文件不存在，不能打开此文件！"));
        // A main file that is gone while its marks remain.
        writeBytes(dir.filePath(QStringLiteral("b.ext")), "\"444\"\r\n");
        QCOMPARE(readExample(dir.filePath(QStringLiteral("b.sav")), &doc, &marks, &error), ExampleReadStatus::Failed);
        QVERIFY(doc.isEmpty());
    }

    // An old example written on a Chinese Windows system: GB18030 marks, RTF with \'hh bytes.
    void gbExample()
    {
        QTemporaryDir dir;
        const QString main = dir.filePath(QStringLiteral("旧.sav"));
        QStringEncoder gb("GB18030");
        QVERIFY(gb.isValid());
        const QByteArray hanzi = gb.encode(QStringLiteral("我们"));
        QByteArray rtf = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}\\f0 ";
        for (char b : hanzi)
            rtf += "\\'" + QByteArray::number(uchar(b), 16);
        rtf += "}";
        writeBytes(main, rtf);
        writeBytes(dir.filePath(QStringLiteral("旧.ext")), "\"00\"\r\n");
        QTextDocument doc;
        QString marks, error;
        QCOMPARE(readExample(main, &doc, &marks, &error), ExampleReadStatus::Ok);
        QCOMPARE(doc.toPlainText(), QStringLiteral("我们"));
        QCOMPARE(marks, QStringLiteral("00"));
    }

    // A failed write leaves an existing pair as it was: neither file is replaced alone.
    void failedWriteKeepsOldPair()
    {
        QTemporaryDir dir;
        const QString main = dir.filePath(QStringLiteral("a.sav"));
        QTextDocument doc;
        fillDocument(doc);
        QString error;
        QVERIFY(writeExample(main, doc, kMarks, &error));
        const QByteArray oldMain = fileBytes(main);
        // The mark file's place is taken by a folder: it cannot be replaced.
        QVERIFY(QFile::remove(dir.filePath(QStringLiteral("a.ext"))));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("a.ext")));
        QTextDocument other;
        other.setPlainText(QStringLiteral("别的"));
        QVERIFY(!writeExample(main, other, QStringLiteral("00"), &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(fileBytes(main), oldMain);

        // Below a plain file nothing can be created at all.
        const QString below = dir.filePath(QStringLiteral("a.sav/b.sav"));
        QVERIFY(!writeExample(below, doc, kMarks, &error));
        QVERIFY(error.contains(below));
        QCOMPARE(fileBytes(main), oldMain);
    }

    void separatedText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QString>("separated");
        QTest::newRow("boundaries") << "我们是，，学"
                                    << "001220"
                                    << "我们 是 ，， 学\r\n";
        QTest::newRow("letters and symbols") << "用ABC说。"
                                             << "044412"
                                             << "用 ABC 说 。\r\n";
        QTest::newRow("one word") << "学生"
                                  << "00"
                                  << "学生\r\n";
        QTest::newRow("every character") << "我是他"
                                         << "010"
                                         << "我 是 他\r\n";
        QTest::newRow("empty") << ""
                               << ""
                               << "\r\n";
    }
    void separatedText()
    {
        QFETCH(QString, text);
        QFETCH(QString, marks);
        QFETCH(QString, separated);
        QCOMPARE(orvane::separatedText(text, marks), separated);
    }

    void segmentationResult()
    {
        TestStatistics stats;
        stats.WordStats[1] = {
            {QStringLiteral("的"), 3, QStringLiteral("43"), QStringLiteral("4")}, {QStringLiteral("是"), 1, {}, {}}};
        stats.WordStats[2] = {{QStringLiteral("我们"), 2, QStringLiteral("2372"), {}}};
        stats.WordStats[5] = {{QStringLiteral("中华人民共和国"), 1, {}, {}}};
        QCOMPARE(segmentationResultText(stats.WordStats),
            QStringLiteral("\"的\"\r\n\"是\"\r\n\"我们\"\r\n\"中华人民共和国\"\r\n"));
        QCOMPARE(segmentationResultText(WordTable{}), QString());
    }
};

QTEST_GUILESS_MAIN(TestExampleFiles)
#include "test_examplefiles.moc"
