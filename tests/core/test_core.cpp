#include "core/clock.h"
#include "core/programfolder.h"
#include "core/savefile.h"
#include "core/textfile.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>

using namespace orvane;

namespace {
QByteArray encoded(QStringEncoder &&encoder, const QString &text)
{
    return encoder.encode(text);
}
} // namespace

class TestCore : public QObject {
    Q_OBJECT
private slots:
    void decode_data();
    void decode();
    void writeReplacesTheWholeFile();
    void saveFilesAllOrNothing_data();
    void saveFilesAllOrNothing();
    void readMissingNamesTheFile();
    void programFolder();
    void installedFolders_data();
    void installedFolders();
    void scriptedClock();
};

void TestCore::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QString>("text");
    const QString zh = QStringLiteral("你好，世界");
    QTest::newRow("utf-8") << zh.toUtf8() << int(TextEncoding::Utf8) << zh;
    QTest::newRow("utf-8 with bom") << QByteArray("\xEF\xBB\xBF") + zh.toUtf8() << int(TextEncoding::Utf8Bom) << zh;
    QByteArray le("\xFF\xFE");
    QByteArray be("\xFE\xFF");
    for (QChar c : zh) {
        le += char(c.unicode() & 0xFF);
        le += char(c.unicode() >> 8);
        be += char(c.unicode() >> 8);
        be += char(c.unicode() & 0xFF);
    }
    QTest::newRow("utf-16 le") << le << int(TextEncoding::Utf16LE) << zh;
    QTest::newRow("utf-16 be") << be << int(TextEncoding::Utf16BE) << zh;
    QTest::newRow("gb2312") << QByteArray("\xC4\xE3\xBA\xC3\xA3\xAC\xCA\xC0\xBD\xE7") << int(TextEncoding::Gb18030)
                            << zh;
    QTest::newRow("gbk beyond gb2312") << QByteArray("\x95\x4E") << int(TextEncoding::Gb18030) << QStringLiteral("昇");
    QTest::newRow("ascii") << QByteArray("plain text\r\n") << int(TextEncoding::Utf8)
                           << QStringLiteral("plain text\r\n");
    QTest::newRow("empty") << QByteArray() << int(TextEncoding::Utf8) << QString();
    QTest::newRow("overlong utf-8 is not utf-8") << QByteArray("\xC0\xAF") << int(TextEncoding::Gb18030) << QString();
    QTest::newRow("utf-16 with a lone surrogate")
        << QByteArray("\xFE\xFF\xDA\x00\x4E\x2D", 6) << int(TextEncoding::Utf16BE) << QStringLiteral("\uFFFD中");
    QTest::newRow("cut utf-8 sequence") << QByteArray("\xE4\xBD") << int(TextEncoding::Gb18030) << QString();

    // The whole text decides, not its first bytes; a few damaged bytes do not turn a UTF-8 text
    // into GB18030.
    const QString lesson = QStringLiteral("第1课：今天天气很好，我们去公园散步。\r\n");
    QTest::newRow("utf-8 with one damaged byte")
        << lesson.toUtf8() + "\xFF" + lesson.toUtf8() << int(TextEncoding::Utf8)
        << lesson + QChar(QChar::ReplacementCharacter) + lesson;
    QTest::newRow("utf-8 cut off at the end") << lesson.toUtf8() + QByteArray("\xE4\xBD") << int(TextEncoding::Utf8)
                                              << lesson + QStringLiteral("\uFFFD\uFFFD");
    QTest::newRow("utf-8, a broken sequence before ascii") << lesson.toUtf8() + "\xEF" + "a"
            + lesson.toUtf8() << int(TextEncoding::Utf8) << lesson + QStringLiteral("\uFFFDa") + lesson;
    QTest::newRow("ascii with one stray byte")
        << QByteArray("plain \xB0 text") << int(TextEncoding::Utf8) << QStringLiteral("plain \uFFFD text");
    QTest::newRow("gb18030 with ascii") << encoded(QStringEncoder("GB18030"), lesson) << int(TextEncoding::Gb18030)
                                        << lesson;
    QTest::newRow("gb18030, a broken sequence before ascii")
        << encoded(QStringEncoder("GB18030"), lesson) + "\xF0\x35$" + encoded(QStringEncoder("GB18030"), lesson)
        << int(TextEncoding::Gb18030) << lesson + QStringLiteral("\uFFFD5$") + lesson;
    QTest::newRow("gb18030 after a long ascii start")
        << QByteArray(70000, ' ') + encoded(QStringEncoder("GB18030"), lesson) << int(TextEncoding::Gb18030)
        << QString(70000, QLatin1Char(' ')) + lesson;
    QTest::newRow("utf-16 le without byte-order mark")
        << encoded(QStringEncoder(QStringEncoder::Utf16LE), lesson) << int(TextEncoding::Utf16LE) << lesson;
    QTest::newRow("utf-16 be without byte-order mark")
        << encoded(QStringEncoder(QStringEncoder::Utf16BE), lesson) << int(TextEncoding::Utf16BE) << lesson;
    QTest::newRow("utf-16 le of ascii without byte-order mark") << QByteArray("p\0l\0a\0i\0n\0 \0t\0e\0x\0t\0\r\0\n\0",
        24) << int(TextEncoding::Utf16LE) << QStringLiteral("plain text\r\n");
    QTest::newRow("utf-16 le, lone low surrogate") << QByteArray("\xFF\xFE\x2D\x4E\x00\xDC\x87\x65", 8)
                                                   << int(TextEncoding::Utf16LE) << QStringLiteral("中\uFFFD文");
    QTest::newRow("utf-16 be, high surrogate at the end")
        << QByteArray("\xFE\xFF\x4E\x2D\xD8\x3D", 6) << int(TextEncoding::Utf16BE) << QStringLiteral("中\uFFFD");
}

void TestCore::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    QFETCH(QString, text);
    QCOMPARE(int(detectEncoding(bytes)), encoding);
    const QString decoded = decodeText(bytes);
    if (!text.isEmpty() || bytes.isEmpty())
        QCOMPARE(decoded, text);
    // A file read in pieces gives the same text, wherever the pieces are cut.
    TextSniffer sniffer;
    sniffer.add(bytes);
    for (qsizetype step = 1; step <= 4; ++step) {
        TextDecoder decoder(sniffer.encoding(), sniffer.byteOrderMarkLength());
        QString pieces;
        for (qsizetype at = 0; at < bytes.size(); at += step)
            pieces += decoder.decode(QByteArrayView(bytes).sliced(at, qMin(step, bytes.size() - at)));
        pieces += decoder.finish();
        QCOMPARE(pieces, decoded);
    }
}

void TestCore::writeReplacesTheWholeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.txt"));
    QString error;
    QVERIFY(writeTextFile(path, QStringLiteral("第一行\r\n第二行\r\n"), &error));
    QVERIFY(writeTextFile(path, QStringLiteral("second\r\n"), &error));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("second\r\n")); // UTF-8 without a byte-order mark, nothing left over
    QVERIFY(!writeTextFile(dir.filePath(QStringLiteral("missing/dir/x.txt")), QStringLiteral("x"), &error));
    QCOMPARE(
        error, QStringLiteral("无法写入文件“%1”：文件夹不存在").arg(dir.filePath(QStringLiteral("missing/dir/x.txt"))));
}

// A set of files is replaced all or nothing: when the second cannot be written (a folder has its
// name), the first is left as it was and no temporary or kept copy stays behind.
void TestCore::saveFilesAllOrNothing_data()
{
    QTest::addColumn<bool>("firstExisted");
    QTest::addColumn<bool>("secondBlocked");
    QTest::newRow("first save, second blocked") << false << true;
    QTest::newRow("replacing, second blocked") << true << true;
    QTest::newRow("replacing, both written") << true << false;
    QTest::newRow("first save, both written") << false << false;
}

void TestCore::saveFilesAllOrNothing()
{
    QFETCH(bool, firstExisted);
    QFETCH(bool, secondBlocked);
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("例文.sav"));
    const QString second = dir.filePath(QStringLiteral("例文.ext"));
    if (firstExisted) {
        QFile f(first);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old main");
    }
    if (secondBlocked)
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("例文.ext")));
    QString error;
    const bool saved = saveFiles({{first, "new main"}, {second, "new marks"}}, &error);
    QCOMPARE(saved, !secondBlocked);
    QStringList expected;
    if (saved) {
        QVERIFY(error.isEmpty());
        QFile f(second);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("new marks"));
    } else {
        QCOMPARE(error, writeErrorMessage(second, systemErrorText(EISDIR)));
    }
    if (saved || firstExisted) {
        QFile f(first);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), saved ? QByteArray("new main") : QByteArray("old main"));
    } else {
        QVERIFY(!QFile::exists(first));
    }
    // Only the two names (the file or the folder in the way) are left.
    QStringList names = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.removeAll(QStringLiteral("例文.sav"));
    names.removeAll(QStringLiteral("例文.ext"));
    QVERIFY2(names.isEmpty(), qPrintable(names.join(u' ')));
}

void TestCore::readMissingNamesTheFile()
{
    QString text, error;
    QVERIFY(!readTextFile(QStringLiteral("/nonexistent/文章.txt"), &text, &error));
    QVERIFY(error.contains(QStringLiteral("文章.txt")));
}

void TestCore::programFolder()
{
    QTemporaryDir home, data;
    qputenv("ORVANE_HOME", home.path().toUtf8());
    const ProgramFolder resolved = ProgramFolder::resolve();
    qunsetenv("ORVANE_HOME");
    QCOMPARE(resolved.path(), QDir::cleanPath(home.path()));

    const ProgramFolder folder(home.path(), {data.path()});
    QCOMPARE(folder.file(QStringLiteral("Filter.dat")), home.path() + QStringLiteral("/filter.dat"));
    // Data: the program folder first, then the data folders; nowhere: the program folder.
    QFile shipped(data.filePath(QStringLiteral("jtdb.dat")));
    QVERIFY(shipped.open(QIODevice::WriteOnly));
    shipped.close();
    QCOMPARE(folder.dataFile(QStringLiteral("jtdb.dat")), shipped.fileName());
    QFile own(home.filePath(QStringLiteral("jtdb.dat")));
    QVERIFY(own.open(QIODevice::WriteOnly));
    own.close();
    QCOMPARE(folder.dataFile(QStringLiteral("JTDB.dat")), own.fileName());
    QCOMPARE(folder.dataFile(QStringLiteral("none.dat")), home.path() + QStringLiteral("/none.dat"));
}

// The install tree is found from the executable's folder wherever the tree was put; the build
// tree's own folder comes first; the environment's folders replace the installed ones.
void TestCore::installedFolders_data()
{
    QTest::addColumn<QString>("exeDir");
    QTest::addColumn<QVariant>("dataEnv"); // invalid: not set
    QTest::addColumn<QVariant>("libEnv");
    QTest::addColumn<QStringList>("data");
    QTest::addColumn<QStringList>("libs");

    const QVariant unset;
    QTest::newRow("installed in /usr") << "/usr/bin" << unset << unset
                                       << QStringList{"/usr/bin", "/usr/share/orvane-tutor"}
                                       << QStringList{"/usr/bin", "/usr/lib/orvane-tutor"};
    QTest::newRow("moved tree") << "/tmp/x/opt/程序/bin/" << unset << unset
                                << QStringList{"/tmp/x/opt/程序/bin", "/tmp/x/opt/程序/share/orvane-tutor"}
                                << QStringList{"/tmp/x/opt/程序/bin", "/tmp/x/opt/程序/lib/orvane-tutor"};
    QTest::newRow("environment replaces")
        << "/usr/bin" << QVariant(QStringLiteral("/d")) << QVariant(QStringLiteral("/l/"))
        << QStringList{"/usr/bin", "/d"} << QStringList{"/usr/bin", "/l"};
    QTest::newRow("empty environment: none") << "/usr/bin" << QVariant(QString()) << QVariant(QString())
                                             << QStringList{"/usr/bin"} << QStringList{"/usr/bin"};
    QTest::newRow("unknown executable") << QString() << unset << QVariant(QStringLiteral("/l")) << QStringList{}
                                        << QStringList{"/l"};
    QTest::newRow("environment is the executable's folder")
        << "/b" << QVariant(QStringLiteral("/b/")) << unset << QStringList{"/b"}
        << QStringList{"/b", "/lib/orvane-tutor"};
}

void TestCore::installedFolders()
{
    QFETCH(QString, exeDir);
    QFETCH(QVariant, dataEnv);
    QFETCH(QVariant, libEnv);
    QFETCH(QStringList, data);
    QFETCH(QStringList, libs);
    const auto value = [](const QVariant &v) { return v.isValid() ? std::optional(v.toString()) : std::nullopt; };
    const InstalledFolders folders = InstalledFolders::locate(exeDir, value(dataEnv), value(libEnv));
    QCOMPARE(folders.data, data);
    QCOMPARE(folders.libraries, libs);
}

void TestCore::scriptedClock()
{
    ScriptedClock clock(QDateTime(QDate(2026, 3, 1), QTime(23, 59, 58, 700)));
    QCOMPARE(clock.now().time(), QTime(23, 59, 58)); // whole seconds
    clock.advanceMs(1500);
    QCOMPARE(clock.tickMs(), 1500);
    QCOMPARE(clock.now(), QDateTime(QDate(2026, 3, 2), QTime(0, 0, 0)));
}

QTEST_GUILESS_MAIN(TestCore)
#include "test_core.moc"
