// The C functions of libtalvex, libmorrin and libquenlor: what they answer, that they never
// write past the buffers they are given, and the custom words.
#include "morrin.h"
#include "quenlor.h"
#include "talvex.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

#include <vector>

namespace {

constexpr char kCanary = char(0xAB);
const QByteArray kDataFolder = QByteArray(ORVANE_TEST_DATA_DIR) + '/';

// A buffer of `size` bytes filled with `fill`, followed by canary bytes.
struct Guarded {
    std::vector<char> bytes;
    std::size_t size;
    Guarded(std::size_t n, char fill) : bytes(n + 32, kCanary), size(n) { std::fill_n(bytes.begin(), n, fill); }
    char *data() { return bytes.data(); }
    bool intact() const
    {
        for (std::size_t i = size; i < bytes.size(); ++i)
            if (bytes[i] != kCanary)
                return false;
        return true;
    }
    QByteArray content() const { return QByteArray(bytes.data(), static_cast<qsizetype>(size)); }
};

QString marksOf(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    Guarded marks(text.size(), '\0');
    const int32_t n = DivideSentence(kDataFolder.constData(), utf8.constData(), marks.data());
    if (n != text.size() || !marks.intact())
        return QStringLiteral("failed");
    return QString::fromLatin1(marks.content());
}

QString lastError()
{
    char buffer[512];
    TalvexLastError(buffer, sizeof buffer);
    return QString::fromUtf8(buffer);
}

QByteArray itemCode(const QString &item)
{
    Guarded code(6, ' ');
    const int16_t r = GetItemCode(item.toUtf8().constData(), code.data(), 100);
    if (!code.intact())
        return "overrun";
    return r == 1 ? code.content() : QByteArray::number(r);
}

} // namespace

class TestTalvex : public QObject {
    Q_OBJECT
    QTemporaryDir m_home;
    int m_userFolders = 0;

    // Each test that adds words gets a user data folder of its own.
    QString freshUserFolder()
    {
        const QString folder = m_home.filePath(QString::number(++m_userFolders));
        QDir().mkpath(folder);
        qputenv("XDG_DATA_HOME", QFile::encodeName(folder));
        return folder;
    }

private slots:
    void initTestCase();
    void divideSentence_data();
    void divideSentence();
    void divideSentenceBoundedBuffer();
    void divideSentenceHugeText();
    void getItemCode_data();
    void getItemCode();
    void getItemCodeBuffers();
    void convert_data();
    void convert();
    void convertBuffers();
    void convertAdaptorBuffers();
    void nullPointers();
    void customWordChangesSegmentation();
    void wordsFromQuenlorReachTalvex();
    void addWordResults_data();
    void addWordResults();
    void damagedDataFolder();
    void codeDataCheckedApart();
};

void TestTalvex::initTestCase()
{
    QVERIFY(m_home.isValid());
    freshUserFolder();
    QVERIFY2(QFile::exists(kDataFolder + "orvane-seg.dict") && QFile::exists(kDataFolder + "orvane-codes.dat"),
        "build the data targets first");
}

void TestTalvex::divideSentence_data()
{
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<int>("units");
    QTest::addColumn<QString>("expected"); // empty: only check the marks' alphabet
    QTest::newRow("words") << QByteArray("我们今天去北京") << 7 << QStringLiteral("0011011");
    QTest::newRow("symbols and latin") << QByteArray("你好，ABC123。") << 10 << QStringLiteral("0024444442");
    QTest::newRow("astral characters") << QByteArray("\xF0\xA0\x80\x80中") << 3 << QString();
    QTest::newRow("invalid bytes: one mark each") << QByteArray("中\xff\xfe"
                                                                "文\xE4\xB8")
                                                  << 6 << QString();
    QTest::newRow("empty") << QByteArray("") << 0 << QString();
    QTest::newRow("line breaks and blanks") << QByteArray("好\r\n \t好") << 6 << QString();
}

void TestTalvex::divideSentence()
{
    QFETCH(QByteArray, utf8);
    QFETCH(int, units);
    QFETCH(QString, expected);
    Guarded marks(units, '\0');
    QCOMPARE(DivideSentence(kDataFolder.constData(), utf8.constData(), marks.data()), units);
    QVERIFY(marks.intact());
    const QString m = QString::fromLatin1(marks.content());
    for (QChar c : m)
        QVERIFY2(QStringLiteral("0124").contains(c), qPrintable(m));
    if (!expected.isEmpty())
        QCOMPARE(m, expected);
}

void TestTalvex::divideSentenceBoundedBuffer()
{
    const QByteArray text("我们今天去北京");
    Guarded small(3, '\0');
    QCOMPARE(DivideSentenceN(kDataFolder.constData(), text.constData(), small.data(), 3), 7);
    QVERIFY(small.intact());
    QCOMPARE(small.content(), QByteArray("001"));

    Guarded large(10, 'x');
    QCOMPARE(DivideSentenceN(kDataFolder.constData(), text.constData(), large.data(), 10), 7);
    QCOMPARE(large.content(), QByteArray("0011011\0xx", 10));
    QVERIFY(large.intact());

    Guarded none(0, '\0');
    QCOMPARE(DivideSentenceN(kDataFolder.constData(), text.constData(), none.data(), 0), 7);
    QVERIFY(none.intact());
    QCOMPARE(DivideSentenceN(kDataFolder.constData(), text.constData(), none.data(), -1), -1);
    QVERIFY(none.intact());
}

void TestTalvex::divideSentenceHugeText()
{
    QString text;
    for (int i = 0; i < 20000; ++i)
        text += QStringLiteral("我们今天去北京天安门广场，看到了ABC123和很多人。\n");
    const QByteArray utf8 = text.toUtf8();
    Guarded marks(text.size(), '\0');
    QCOMPARE(DivideSentence(nullptr, utf8.constData(), marks.data()), int32_t(text.size()));
    QVERIFY(marks.intact());
    QVERIFY(!marks.content().contains('\0'));
}

void TestTalvex::getItemCode_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QByteArray>("code");
    QTest::newRow("character") << QStringLiteral("中") << QByteArray("500064");
    QTest::newRow("word") << QStringLiteral("中国") << QByteArray("504608");
    QTest::newRow("long word") << QStringLiteral("中华人民共和国") << QByteArray("542686");
    QTest::newRow("not a word of the list") << QStringLiteral("国中国") << QByteArray("0");
    QTest::newRow("latin") << QStringLiteral("abc") << QByteArray("0");
    QTest::newRow("empty") << QString() << QByteArray("0");
    QTest::newRow("invalid utf-8 lookalike") << QString::fromUtf8("\xff\xfe") << QByteArray("0");
    QTest::newRow("huge item") << QString(100000, QChar(u'中')) << QByteArray("0");
}

void TestTalvex::getItemCode()
{
    QFETCH(QString, item);
    QFETCH(QByteArray, code);
    QCOMPARE(itemCode(item), code);
}

void TestTalvex::getItemCodeBuffers()
{
    // Raw invalid UTF-8 at the boundary.
    Guarded raw(6, ' ');
    QCOMPARE(GetItemCode("\xE4\xB8", raw.data(), 100), int16_t(0));
    QCOMPARE(raw.content(), QByteArray("      "));
    QVERIFY(raw.intact());

    // A buffer too small for the code is left as it was.
    Guarded small(3, ' ');
    QCOMPARE(GetItemCode("中", small.data(), 3), int16_t(-1));
    QCOMPARE(small.content(), QByteArray("   "));
    QVERIFY(small.intact());

    Guarded zero(0, ' ');
    QCOMPARE(GetItemCode("中", zero.data(), 0), int16_t(-1));
    QVERIFY(zero.intact());

    // The variant with the real size terminates after the six bytes when there is room.
    Guarded n(8, 'x');
    QCOMPARE(GetItemCodeN("中", n.data(), 8), int16_t(1));
    QCOMPARE(n.content(), QByteArray("500064\0x", 8));
    QVERIFY(n.intact());
    Guarded exact(6, 'x');
    QCOMPARE(GetItemCodeN("中", exact.data(), 6), int16_t(1));
    QCOMPARE(exact.content(), QByteArray("500064"));
    QVERIFY(exact.intact());
}

void TestTalvex::convert_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QByteArray>("code");
    QTest::newRow("word of the list") << QStringLiteral("中国") << QByteArray("504608");
    QTest::newRow("any word") << QStringLiteral("国中国") << QByteArray("685468");
    QTest::newRow("character") << QStringLiteral("中") << QByteArray("500064");
    QTest::newRow("latin") << QStringLiteral("AB") << QByteArray("");
    QTest::newRow("empty") << QString() << QByteArray("");
    QTest::newRow("huge") << QString(50000, QChar(u'中')) << QByteArray("");
}

void TestTalvex::convert()
{
    QFETCH(QString, word);
    QFETCH(QByteArray, code);
    Guarded buffer(10, '\0');
    Convert(word.toUtf8().constData(), buffer.data(), 10);
    QVERIFY(buffer.intact());
    QCOMPARE(QByteArray(buffer.data()), code);
}

void TestTalvex::convertBuffers()
{
    Guarded callers(10, '\0'); // callers may pass a larger size than the buffer
    Convert("中国", callers.data(), 100);
    QVERIFY(callers.intact());
    QCOMPARE(QByteArray(callers.data()), QByteArray("504608"));

    Guarded small(4, 'x');
    Convert("中国", small.data(), 4);
    QVERIFY(small.intact());
    QCOMPARE(small.content().at(0), '\0'); // the code does not fit: empty, never cut

    Guarded n(7, 'x');
    ConvertN("中国", n.data(), 7);
    QVERIFY(n.intact());
    QCOMPARE(n.content(), QByteArray("504608\0", 7));

    Guarded zero(0, 'x');
    Convert("中国", zero.data(), 0);
    ConvertN("中国", zero.data(), -5);
    QVERIFY(zero.intact());

    Guarded invalid(10, '\0');
    Convert("\xff\xfe\xE4", invalid.data(), 10);
    QVERIFY(invalid.intact());
    QCOMPARE(invalid.content().at(0), '\0');
}

void TestTalvex::convertAdaptorBuffers()
{
    Guarded code(10, '0');
    ConvertAdaptor("中国", 2, 0, code.data());
    QVERIFY(code.intact());
    QCOMPARE(QByteArray(code.data()), QByteArray("504608"));

    Guarded none(10, '0');
    ConvertAdaptor("abc", 3, 1, none.data());
    QVERIFY(none.intact());
    QCOMPARE(none.content().at(0), '\0');

    Guarded small(5, '0');
    ConvertAdaptorN("中国", 2, 0, small.data(), 5);
    QVERIFY(small.intact());
    QCOMPARE(small.content().at(0), '\0');

    Guarded huge(10, '0');
    const QByteArray long_(200000, 'a');
    ConvertAdaptor(long_.constData(), -1, -1, huge.data());
    QVERIFY(huge.intact());
}

void TestTalvex::nullPointers()
{
    char buffer[16] = {};
    QCOMPARE(DivideSentence(nullptr, nullptr, buffer), -1);
    QCOMPARE(DivideSentence(kDataFolder.constData(), "中", nullptr), -1);
    QCOMPARE(DivideSentenceN(nullptr, "中", nullptr, 5), -1);
    QCOMPARE(GetItemCode(nullptr, buffer, 100), int16_t(-1));
    QCOMPARE(GetItemCode("中", nullptr, 100), int16_t(-1));
    QCOMPARE(GetItemCodeN("中", nullptr, 6), int16_t(-1));
    Convert(nullptr, buffer, 10);
    QCOMPARE(buffer[0], '\0');
    Convert("中", nullptr, 10);
    ConvertN(nullptr, nullptr, 10);
    ConvertAdaptor(nullptr, 0, 0, buffer);
    ConvertAdaptor("中", 1, 0, nullptr);
    QCOMPARE(AddWord(nullptr, "词"), int16_t(-1));
    QCOMPARE(AddWord("1", nullptr), int16_t(-1));
    QCOMPARE(AddAProfessionCi(nullptr, u"1", nullptr, nullptr), int16_t(-1));
    QCOMPARE(AddAProfessionCi(u"词", nullptr, nullptr, nullptr), int16_t(-1));
    QCOMPARE(TalvexLastError(nullptr, 100) >= 0, true);
    TalvexSetDataFolder(nullptr);
    MorrinSetDataFolder(nullptr);
    // A string without its NUL within the limit is refused, not read on and on.
    std::vector<char16_t> unterminated(1025, u'a');
    QCOMPARE(AddAProfessionCi(unterminated.data(), u"1", nullptr, nullptr), int16_t(-1));
}

void TestTalvex::customWordChangesSegmentation()
{
    freshUserFolder();
    const QString text = QStringLiteral("他在沙发上葛优躺了一下午");
    const QString before = marksOf(text);
    QVERIFY(before != QStringLiteral("failed"));
    QCOMPARE(itemCode(QStringLiteral("葛优躺")), QByteArray("0"));

    QCOMPARE(AddWord("4326", "葛优躺"), int16_t(0));
    const QString after = marksOf(text);
    const int at = text.indexOf(QStringLiteral("葛优躺"));
    QVERIFY2(after.mid(at, 3) == QString(3, after.at(at)), qPrintable(after));
    QVERIFY2(after.at(at - 1) != after.at(at) && after.at(at + 3) != after.at(at), qPrintable(after));
    QCOMPARE(itemCode(QStringLiteral("葛优躺")), QByteArray("4326  "));

    // Already there: the code stays.
    QCOMPARE(AddWord("111111", "葛优躺"), int16_t(1));
    QCOMPARE(itemCode(QStringLiteral("葛优躺")), QByteArray("4326  "));

    // ConvertAdaptor answers with the custom code; Convert keeps to the word rule.
    Guarded adaptor(10, '0');
    ConvertAdaptor("葛优躺", 3, 0, adaptor.data());
    QCOMPARE(QByteArray(adaptor.data()), QByteArray("4326"));
    Guarded rule(10, '\0');
    Convert("葛优躺", rule.data(), 10);
    QCOMPARE(QByteArray(rule.data()).size(), 6);

    // Another user folder: the word is gone from segmentation and codes.
    freshUserFolder();
    QCOMPARE(marksOf(text), before);
    QCOMPARE(itemCode(QStringLiteral("葛优躺")), QByteArray("0"));
}

void TestTalvex::wordsFromQuenlorReachTalvex()
{
    const QString folder = freshUserFolder();
    const QString text = QStringLiteral("我们去吃螺狮粉炒年糕吧");
    QCOMPARE(AddAProfessionCi(u"粉炒年", u"321", u"其它", u"来自分词软件"), int16_t(1));
    QCOMPARE(AddAProfessionCi(u"粉炒年", u"321", u"其它", u"来自分词软件"), int16_t(0));
    QCOMPARE(AddAProfessionCi(u"粉炒年糕x", u"12345678", u"其它", u"来自分词软件"), int16_t(-1));
    QCOMPARE(itemCode(QStringLiteral("粉炒年")), QByteArray("321   "));
    const QString m = marksOf(text);
    const int at = text.indexOf(QStringLiteral("粉炒年"));
    QVERIFY2(m.mid(at, 3) == QString(3, m.at(at)) && m.at(at + 3) != m.at(at), qPrintable(m));
    QCOMPARE(AddWord("321", "粉炒年"), int16_t(1)); // one dictionary for both libraries
    QFile file(folder + QStringLiteral("/orvane-tutor/custom-words.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), QStringLiteral("粉炒年\t321\t其它\t来自分词软件\n"));
}

void TestTalvex::addWordResults_data()
{
    QTest::addColumn<QString>("setup"); // "", "blocked", "readonly"
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("result");
    QTest::newRow("added") << "" << QByteArray("12") << "新加词" << 0;
    QTest::newRow("code with letters") << "" << QByteArray("12a") << "新加词" << -1;
    QTest::newRow("code of seven digits") << "" << QByteArray("1234567") << "新加词" << -1;
    QTest::newRow("empty code") << "" << QByteArray() << "新加词" << -1;
    QTest::newRow("empty word") << "" << QByteArray("12") << "" << -1;
    QTest::newRow("word with a line break") << "" << QByteArray("12") << "新\n词" << -1;
    QTest::newRow("punctuation") << "" << QByteArray("12") << "，。！" << -1;
    QTest::newRow("letters and digits") << "" << QByteArray("12") << "A1中文" << -1;
    QTest::newRow("two letters and a blank") << "" << QByteArray("12") << "a b" << -1;
    QTest::newRow("one character") << "" << QByteArray("12") << "中" << -1;
    QTest::newRow("no-break space") << "" << QByteArray("12") << "新\u00A0词" << -1;
    QTest::newRow("zero-width space") << "" << QByteArray("12") << "新\u200B词" << -1;
    QTest::newRow("private use") << "" << QByteArray("12") << "新\uE000词" << -1;
    QTest::newRow("word of the dictionary") << "" << QByteArray("12") << "风景" << 1;
    QTest::newRow("file in place of the folder") << "blocked" << QByteArray("12") << "新加词" << -1;
    QTest::newRow("read-only data folder") << "readonly" << QByteArray("12") << "新加词" << -1;
}

void TestTalvex::addWordResults()
{
    QFETCH(QString, setup);
    QFETCH(QByteArray, code);
    QFETCH(QString, word);
    QFETCH(int, result);
    const QString folder = freshUserFolder();
    if (setup == QLatin1String("blocked")) {
        QFile blocker(folder + QStringLiteral("/orvane-tutor"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    } else if (setup == QLatin1String("readonly")) {
        if (geteuid() == 0)
            QSKIP("permissions do not bind root");
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    }
    QCOMPARE(int(AddWord(code.constData(), word.toUtf8().constData())), result);
    if (result == -1)
        QVERIFY(!lastError().isEmpty());
    // The same rule through libquenlor: refused alike, and present once added or in the dictionary.
    if (setup.isEmpty()) {
        const QString code16 = QString::fromLatin1(code);
        QCOMPARE(int(AddAProfessionCi(reinterpret_cast<const char16_t *>(word.utf16()),
                     reinterpret_cast<const char16_t *>(code16.utf16()), u"其它", u"来自分词软件")),
            result == -1 ? -1 : 0);
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestTalvex::damagedDataFolder()
{
    QTemporaryDir damaged;
    for (const char *name : {"orvane-seg.dict", "orvane-codes.dat"}) {
        QFile f(damaged.filePath(QString::fromLatin1(name)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a data file");
    }
    const QByteArray folder = QFile::encodeName(damaged.path());
    Guarded marks(2, '\0');
    QCOMPARE(DivideSentence(folder.constData(), "中国", marks.data()), -1);
    QCOMPARE(marks.content(), QByteArray(2, '\0'));
    QVERIFY(marks.intact());
    QVERIFY2(lastError().contains(QStringLiteral("orvane-seg.dict")), qPrintable(lastError()));
    // The given folder now holds for the codes too.
    QCOMPARE(itemCode(QStringLiteral("中")), QByteArray("-1"));
    QVERIFY2(lastError().contains(QStringLiteral("orvane-codes.dat")), qPrintable(lastError()));
    // Back to the good folder.
    QCOMPARE(marksOf(QStringLiteral("中国")), QStringLiteral("00"));
    QCOMPARE(itemCode(QStringLiteral("中")), QByteArray("500064"));
}

// Segmentation works without the code data, so DivideSentence does not tell; TalvexCheckData
// does, naming the file.
void TestTalvex::codeDataCheckedApart()
{
    QTemporaryDir folder;
    QVERIFY(QFile::link(
        QString::fromUtf8(kDataFolder + "orvane-seg.dict"), folder.filePath(QStringLiteral("orvane-seg.dict"))));
    {
        QFile f(folder.filePath(QStringLiteral("orvane-codes.dat")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a data file");
    }
    const QByteArray path = QFile::encodeName(folder.path());
    Guarded marks(2, '\0');
    QCOMPARE(DivideSentence(path.constData(), "中国", marks.data()), 2);
    QCOMPARE(TalvexCheckData(path.constData()), -1);
    QVERIFY2(lastError().contains(QStringLiteral("orvane-codes.dat")), qPrintable(lastError()));
    QCOMPARE(TalvexCheckData(kDataFolder.constData()), 0);
}

QTEST_GUILESS_MAIN(TestTalvex)
#include "test_talvex.moc"
