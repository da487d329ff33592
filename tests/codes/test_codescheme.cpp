// The code scheme library: text decoding at the C boundary, character and word codes, short
// codes, the code data file and the custom dictionary.
#include "orvane/codes/codedata.h"
#include "orvane/codes/customdict.h"
#include "orvane/codes/scheme.h"
#include "orvane/codes/shortcodes.h"
#include "orvane/codes/utf.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace orvane::codes;

namespace {
std::u16string u(const char16_t *s)
{
    return s;
}
QString q(const std::u16string &s)
{
    return QString::fromUtf16(s.data(), s.size());
}
std::string readFile(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll().toStdString();
}
} // namespace

class TestCodeScheme : public QObject {
    Q_OBJECT
private slots:
    void utf8Decoding_data();
    void utf8Decoding();
    void characterCodes_data();
    void characterCodes();
    void wordCodes_data();
    void wordCodes();
    void shortCodes();
    void nonFirstShare();
    void codeDataRoundTrip();
    void codeDataDamaged_data();
    void codeDataDamaged();
    void customDictionary();
    void customDictionaryKeepsForeignLines();
    void customDictionaryBlocked();
    void customWordRule_data();
    void customWordRule();
    void customDictionaryRemove();
    void customDictionaryWriteFails();
};

void TestCodeScheme::utf8Decoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    const QString r(QChar(0xFFFD));
    QTest::newRow("ascii") << QByteArray("ab1") << QStringLiteral("ab1");
    QTest::newRow("chinese") << QByteArray("中国") << QStringLiteral("中国");
    QTest::newRow("astral = two units") << QByteArray("\xF0\xA0\x80\x80") << QString::fromUcs4(U"\U00020000");
    QTest::newRow("stray continuation") << QByteArray("a\x80"
                                                      "b")
                                        << "a" + r + "b";
    QTest::newRow("cut sequence: each byte") << QByteArray("\xE4\xB8") << r + r;
    QTest::newRow("cut before ascii") << QByteArray("\xE4\xB8"
                                                    "a")
                                      << r + r + "a";
    QTest::newRow("overlong") << QByteArray("\xC0\xAF") << r + r;
    QTest::newRow("overlong 3 bytes") << QByteArray("\xE0\x80\xAF") << r + r + r;
    QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << r + r + r;
    QTest::newRow("above U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << r + r + r + r;
    QTest::newRow("F5..FF") << QByteArray("\xF5\xFF") << r + r;
}

void TestCodeScheme::utf8Decoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    const std::string_view in(bytes.constData(), bytes.size());
    const std::u16string out = utf8ToUtf16(in);
    QCOMPARE(q(out), expected);
    QCOMPARE(utf16Length(in), out.size());
    // What comes back out decodes to the same units (U+FFFD stays U+FFFD).
    QCOMPARE(utf8ToUtf16(utf16ToUtf8(out)), out);
}

void TestCodeScheme::characterCodes_data()
{
    QTest::addColumn<QString>("fourCorner");
    QTest::addColumn<QString>("strokes");
    QTest::addColumn<QString>("code");
    QTest::newRow("corners, supplement, strokes") << "1022.7"
                                                  << "hzp"
                                                  << "102273";
    QTest::newRow("no supplement gives 0") << "3176"
                                           << "nzhszhszh"
                                           << "317609";
    QTest::newRow("stroke count modulo 10") << "1000.0"
                                            << "hhhhhhhhhhhh"
                                            << "100002";
    QTest::newRow("no stroke data: sixth digit 0") << "4071.0"
                                                   << ""
                                                   << "407100";
    QTest::newRow("no corners: first six strokes") << ""
                                                   << "shhshpnz"
                                                   << "211213";
    QTest::newRow("no corners, short stroke order") << ""
                                                    << "z"
                                                    << "500000";
    QTest::newRow("neither") << ""
                             << ""
                             << "";
    QTest::newRow("malformed corners fall back") << "10x2"
                                                 << "hs"
                                                 << "120000";
    QTest::newRow("unknown stroke letter") << ""
                                           << "hx"
                                           << "";
}

void TestCodeScheme::characterCodes()
{
    QFETCH(QString, fourCorner);
    QFETCH(QString, strokes);
    QFETCH(QString, code);
    const std::string digits = strokeDigits(strokes.toStdString());
    QCOMPARE(QString::fromStdString(characterCode(fourCorner.toStdString(), digits)), code);
}

void TestCodeScheme::wordCodes_data()
{
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QString>("word");
    QTest::newRow("one") << QStringList{"500064"} << "500064";
    QTest::newRow("two: 1st, 2nd, last of each") << QStringList{"500064", "601038"} << "504608";
    QTest::newRow("three: 1st and last of each") << QStringList{"123456", "654321", "111119"} << "166119";
    QTest::newRow("four") << QStringList{"123456", "654321", "789012", "345678"} << "166173";
    QTest::newRow("five: third and last") << QStringList{"123456", "654321", "789012", "000000", "345678"} << "166173";
    QTest::newRow("short stroke codes") << QStringList{"5", "12"} << "555122";
    QTest::newRow("a character without code") << QStringList{"123456", ""} << "";
    QTest::newRow("nothing") << QStringList{} << "";
}

void TestCodeScheme::wordCodes()
{
    QFETCH(QStringList, codes);
    QFETCH(QString, word);
    std::vector<std::string> in;
    for (const QString &c : codes)
        in.push_back(c.toStdString());
    QCOMPARE(QString::fromStdString(wordCode(in)), word);
}

void TestCodeScheme::shortCodes()
{
    std::vector<CodedItem> items = {
        {u"甲", "123456", 100, {}}, // most frequent with prefix 1
        {u"乙", "123999", 90, {}},  // loses "1" to 甲, gets "12" (甲 already has one)
        {u"丙", "124000", 80, {}},
        {u"丁", "2", 70, {}}, // its full code is "2": nobody gets "2"
        {u"戊", "211111", 60, {}},
        {u"己", "12", 1, {}},     // full code "12" also blocks the prefix "12"
        {u"甲乙", "1234", 5, {}}, // a word: not in the character passes
        {u"甲丙", "123400", 50, {}},
    };
    assignShortCodes(items, {{false, 100, 1}, {false, 100, 2}, {false, 100, 3}, {true, 100, 4}});
    const auto shortOf = [&items](const char16_t *text) {
        for (const CodedItem &i : items)
            if (i.text == text)
                return QStringList{QString::fromStdString(i.shortCodes[0]), QString::fromStdString(i.shortCodes[1])};
        return QStringList{};
    };
    QCOMPARE(shortOf(u"甲"), (QStringList{"1", ""}));
    QCOMPARE(shortOf(u"乙"), (QStringList{"123", ""})); // "12" is the full code of 己
    QCOMPARE(shortOf(u"丙"), (QStringList{"124", ""}));
    QCOMPARE(shortOf(u"丁"), (QStringList{"", ""}));
    QCOMPARE(shortOf(u"戊"), (QStringList{"21", "211"}));
    QCOMPARE(shortOf(u"甲乙"), (QStringList{"", ""})); // code not longer than 4
    QCOMPARE(shortOf(u"甲丙"), (QStringList{"", ""})); // "1234" is 甲乙's full code

    // The result does not depend on the order of the input.
    std::vector<CodedItem> reversed(items.rbegin(), items.rend());
    for (CodedItem &i : reversed)
        i.shortCodes[0].clear(), i.shortCodes[1].clear();
    assignShortCodes(reversed, {{false, 100, 1}, {false, 100, 2}, {false, 100, 3}, {true, 100, 4}});
    for (const CodedItem &i : reversed)
        QCOMPARE(QStringList({QString::fromStdString(i.shortCodes[0]), QString::fromStdString(i.shortCodes[1])}),
            shortOf(i.text.c_str()));
}

void TestCodeScheme::nonFirstShare()
{
    // Code 1: 60 first, 30 later; code 2: 10 alone.
    QCOMPARE(nonFirstCandidateShare({{"1", 30}, {"1", 60}, {"2", 10}}), 0.3);
    QCOMPARE(nonFirstCandidateShare({}), 0.0);
}

void TestCodeScheme::codeDataRoundTrip()
{
    const std::string bytes = CodeData::serialize(
        {{U'国', "601038"}, {U'中', "500064"}, {U'中', "999999"}, {U'\U00020000', "12"}, {U'坏', "12a"}},
        {"中国", "国中", "中国"});
    std::string error;
    const auto data = CodeData::fromBytes(bytes, "test", &error);
    QVERIFY2(data, error.c_str());
    QCOMPARE(data->characterCount(), std::size_t(3)); // duplicate and invalid code dropped
    QCOMPARE(data->wordCount(), std::size_t(2));
    QCOMPARE(QString::fromStdString(data->knownCode(u"中国")), QStringLiteral("504608"));
    QCOMPARE(QString::fromStdString(data->knownCode(u"\U00020000")), QStringLiteral("12"));
    QVERIFY(data->knownCode(u"国国").empty()); // not in the word list
    QCOMPARE(QString::fromStdString(data->proposedCode(u"国国")), QStringLiteral("608608"));
    QVERIFY(data->proposedCode(u"中x").empty());
    QVERIFY(data->knownCode(u"").empty());
    QVERIFY(data->characterCode(U'坏').empty());
}

void TestCodeScheme::codeDataDamaged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const std::string good = CodeData::serialize({{U'中', "500064"}}, {"中国"});
    const QByteArray g(good.data(), good.size());
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("wrong magic") << QByteArray("XRVCODE1").append(g.mid(8));
    QTest::newRow("cut short") << g.left(g.size() - 1);
    QTest::newRow("one byte more") << QByteArray(g).append('\0');
    QByteArray badCode = g;
    badCode[8 + 12 + 4] = 'x'; // first digit of the first code
    QTest::newRow("code not digits") << badCode;
    QByteArray offset = g;
    offset[8 + 12 + 12] = char(0x7F); // word offset beyond the pool
    QTest::newRow("offset outside") << offset;
    QByteArray noNul = g;
    noNul[noNul.size() - 1] = 'x';
    QTest::newRow("pool not terminated") << noNul;
    QByteArray count = g;
    count[8] = char(0xFF);
    count[9] = char(0xFF);
    count[10] = char(0xFF);
    count[11] = char(0x7F);
    QTest::newRow("huge count") << count;
    // Two words of two characters each: 中国 sorts before 国中; the pool is the last 14 bytes.
    const std::string two = CodeData::serialize({{U'中', "500064"}}, {"国中", "中国"});
    const QByteArray t(two.data(), two.size());
    const qsizetype pool = t.size() - 14;
    QTest::newRow("words out of order") << QByteArray(t).replace(pool, 14, t.mid(pool + 7, 7) + t.mid(pool, 7));
    QTest::newRow("NUL inside a word") << QByteArray(t).replace(pool + 3, 1, QByteArray(1, '\0'));
    QByteArray overlap = t;
    overlap[pool - 4] = 3; // the second word's offset points into the first word
    QTest::newRow("words overlap") << overlap;
}

void TestCodeScheme::codeDataDamaged()
{
    QFETCH(QByteArray, bytes);
    std::string error;
    QVERIFY(!CodeData::fromBytes(bytes.toStdString(), "/x/orvane-codes.dat", &error));
    QVERIFY2(error.find("/x/orvane-codes.dat") != std::string::npos, error.c_str());
}

void TestCodeScheme::customDictionary()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/folder/custom-words.txt"));
    CustomDictionary dict(path.toStdString());
    QCOMPARE(dict.add(u"葛优躺", "123456"), CustomDictionary::AddResult::Added); // creates the folders
    QCOMPARE(dict.add(u"葛优躺", "654321"), CustomDictionary::AddResult::Present);
    QCOMPARE(dict.codeOf(u"葛优躺").value_or("none"), std::string("123456"));
    std::string error;
    QCOMPARE(dict.add(u"", "1", &error), CustomDictionary::AddResult::Failed);
    QCOMPARE(dict.add(u"有 空格", "1"), CustomDictionary::AddResult::Failed);
    QCOMPARE(dict.add(u"换\n行", "1"), CustomDictionary::AddResult::Failed);
    QCOMPARE(dict.add(u"码", "1234567"), CustomDictionary::AddResult::Failed);
    QCOMPARE(dict.add(u"码", "12a"), CustomDictionary::AddResult::Failed);
    QCOMPARE(dict.add(std::u16string(1, char16_t(0xD800)), "1"), CustomDictionary::AddResult::Failed);

    // A second object (another library, another process) sees the word and adds its own.
    CustomDictionary other(path.toStdString());
    QVERIFY(other.refresh());
    QCOMPARE(other.add(u"躺平", "32", nullptr, "其它", "来自\t分词软件"), CustomDictionary::AddResult::Added);
    QVERIFY(dict.refresh());
    QCOMPARE(dict.codeOf(u"躺平").value_or("none"), std::string("32"));
    QVERIFY(!dict.refresh()); // unchanged on disk
    QCOMPARE(readFile(path), std::string("葛优躺\t123456\n躺平\t32\t其它\t来自 分词软件\n"));
}

void TestCodeScheme::customDictionaryKeepsForeignLines()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("custom-words.txt"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("# notes\n\xff\xfe\t12\n好的\tabc\n好人\t12\r\n半行\t3"); // last line unterminated
    }
    CustomDictionary dict(path.toStdString());
    dict.refresh();
    QCOMPARE(dict.words().size(), std::size_t(2));
    QCOMPARE(dict.codeOf(u"好人").value_or("none"), std::string("12"));
    QCOMPARE(dict.codeOf(u"半行").value_or("none"), std::string("3"));
    QCOMPARE(dict.add(u"新词", "45"), CustomDictionary::AddResult::Added);
    // Nothing that was there is lost, and the new word is on a line of its own.
    QCOMPARE(readFile(path), std::string("# notes\n\xff\xfe\t12\n好的\tabc\n好人\t12\r\n半行\t3\n新词\t45\n"));
}

void TestCodeScheme::customDictionaryBlocked()
{
    QTemporaryDir dir;
    // A file where the folder should be: no user (root neither) can create the dictionary.
    QFile blocker(dir.filePath(QStringLiteral("orvane-tutor")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    CustomDictionary dict(dir.filePath(QStringLiteral("orvane-tutor/custom-words.txt")).toStdString());
    std::string error;
    QCOMPARE(dict.add(u"新词", "1", &error), CustomDictionary::AddResult::Failed);
    QVERIFY2(error.find("orvane-tutor") != std::string::npos, error.c_str());
    QVERIFY(!dict.refresh());
    QVERIFY(!dict.codeOf(u"新词"));
}

void TestCodeScheme::customWordRule_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("valid");
    QTest::newRow("two characters") << QStringLiteral("风光") << true;
    QTest::newRow("twenty characters") << QString(20, QChar(0x4E2D)) << true;
    QTest::newRow("extension A and compatibility ideographs") << QStringLiteral("㐀豈") << true;
    QTest::newRow("extension B, a surrogate pair") << QStringLiteral("\U00020000中") << true;
    QTest::newRow("32 units") << QString(32, QChar(0x4E2D)) << true;
    QTest::newRow("33 units") << QString(33, QChar(0x4E2D)) << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("one character") << QStringLiteral("中") << false;
    QTest::newRow("one character outside the BMP") << QStringLiteral("\U00020000") << false;
    QTest::newRow("punctuation") << QStringLiteral("，。！") << false;
    QTest::newRow("letters and digits") << QStringLiteral("A1中文") << false;
    QTest::newRow("full-width digits") << QStringLiteral("１９９６年") << false;
    QTest::newRow("blank") << QStringLiteral("a b") << false;
    QTest::newRow("ideographic blank") << QStringLiteral("中　文") << false;
    QTest::newRow("no-break space") << QStringLiteral("中\u00A0文") << false;
    QTest::newRow("zero-width space") << QStringLiteral("中\u200B文") << false;
    QTest::newRow("private use") << QStringLiteral("中\uE000文") << false;
    QTest::newRow("ideographic zero") << QStringLiteral("二〇") << false;
    QTest::newRow("line break") << QStringLiteral("中\n文") << false;
    QTest::newRow("lone surrogate") << QStringLiteral("中") + QChar(0xD800) << false;
}

void TestCodeScheme::customWordRule()
{
    QFETCH(QString, word);
    QFETCH(bool, valid);
    const std::u16string w(reinterpret_cast<const char16_t *>(word.utf16()), word.size());
    QCOMPARE(CustomDictionary::isValidWord(w), valid);
    QTemporaryDir dir;
    CustomDictionary dict(dir.filePath(QStringLiteral("custom-words.txt")).toStdString());
    QCOMPARE(dict.add(w, "12") == CustomDictionary::AddResult::Added, valid);
    // A line written by hand with such a word is not taken either.
    QCOMPARE(dict.refresh() || dict.codeOf(w).has_value(), valid);
}

void TestCodeScheme::customDictionaryRemove()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("custom-words.txt"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("# notes\n风光\t12\n中\t5\r\n山水\t34\t其它\t来自分词软件\n好人\t56");
    }
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    CustomDictionary dict(path.toStdString());
    dict.refresh();
    QCOMPARE(dict.words().size(), std::size_t(3));
    // A word that was refused (中) can still be taken out of the file.
    QCOMPARE(dict.remove({u"山水", u"中"}), 2);
    QCOMPARE(readFile(path), std::string("# notes\n风光\t12\n好人\t56"));
    QCOMPARE(dict.words().size(), std::size_t(2));
    QVERIFY(!dict.codeOf(u"山水"));
    QCOMPARE(QFile::permissions(path) & (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup),
        QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(dict.remove({u"没有"}), 0);
    QCOMPARE(readFile(path), std::string("# notes\n风光\t12\n好人\t56"));
    // The last line, unterminated, goes too, and the word can be added again.
    QCOMPARE(dict.remove({u"好人"}), 1);
    QCOMPARE(dict.add(u"好人", "77"), CustomDictionary::AddResult::Added);
    QCOMPARE(readFile(path), std::string("# notes\n风光\t12\n好人\t77\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
        QStringList({QStringLiteral("custom-words.txt"), QStringLiteral("custom-words.txt.lock")}));
}

void TestCodeScheme::customDictionaryWriteFails()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("custom-words.txt"));
    std::string old;
    for (int i = 0; i < 200; ++i)
        old += "风光\t" + std::to_string(100000 + i) + "\n";
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(old.data(), qint64(old.size()));
    }
    // A temporary file that a killed process left behind is swept by the next change.
    QFile stale(path + QStringLiteral(".tmp-AbC123"));
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write(QByteArray(4096, 'x'));
    stale.close();

    // The disk fills up in the middle of writing: no file may grow beyond the old size.
    rlimit saved{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = old.size() + 4;
    QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
    CustomDictionary dict(path.toStdString());
    std::string error;
    const auto result = dict.add(u"新加的词", "123456", &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(result, CustomDictionary::AddResult::Failed);
    QVERIFY2(error.find("custom-words.txt") != std::string::npos && error.find("too large") != std::string::npos,
        error.c_str());
    QCOMPARE(readFile(path), old);
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.tmp-*")}, QDir::Files | QDir::Hidden), QStringList());
    // With room again the word is added after the old lines.
    QCOMPARE(dict.add(u"新加的词", "123456"), CustomDictionary::AddResult::Added);
    QCOMPARE(readFile(path), old + "新加的词\t123456\n");
}

QTEST_GUILESS_MAIN(TestCodeScheme)
#include "test_codescheme.moc"
