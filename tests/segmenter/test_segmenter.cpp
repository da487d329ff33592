// Tests of the word segmenter: segmentation, marks, custom words and the dictionary loader.
#include "orvane/segmenter.h"

#include <QtTest>

#include <cstring>
#include <fstream>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

using orvane::seg::Segmenter;
using orvane::seg::Token;
using orvane::seg::TokenKind;

namespace {

const std::string kDictPath = std::string(ORVANE_TEST_DATA_DIR) + "/orvane-seg.dict";

std::u16string u16(const QString &s)
{
    return s.toStdU16String();
}

QString joined(const std::u16string &text, const std::vector<Token> &tokens)
{
    QStringList parts;
    for (const Token &t : tokens)
        parts << QString::fromStdU16String(text.substr(t.begin, t.length));
    return parts.join(QLatin1Char('/'));
}

std::vector<char> readAll(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeAll(const QString &path, const std::vector<char> &bytes)
{
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

template <class T> T readAt(const std::vector<char> &b, std::size_t off)
{
    T v;
    std::memcpy(&v, b.data() + off, sizeof v);
    return v;
}
template <class T> void writeAt(std::vector<char> &b, std::size_t off, T v)
{
    std::memcpy(b.data() + off, &v, sizeof v);
}

// Offset of a section's payload, read from the section table (24-byte entries after the
// 64-byte header: id, reserved, offset, size).
std::size_t sectionOffset(const std::vector<char> &b, std::uint32_t id, std::size_t *entry = nullptr)
{
    const auto count = readAt<std::uint32_t>(b, 40);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t e = 64 + 24 * i;
        if (readAt<std::uint32_t>(b, e) == id) {
            if (entry)
                *entry = e;
            return std::size_t(readAt<std::uint64_t>(b, e + 8));
        }
    }
    return 0;
}

} // namespace

class TestSegmenter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void segmentation_data();
    void segmentation();

    void tokenKinds();

    void marks_data();
    void marks();

    void invariantsOnRandomText();

    void customWords_data();
    void customWords();
    void customWordsLongestWins();

    void loaderRefuses_data();
    void loaderRefuses();
    void anImageOpenedOnItsLayoutStaysInside_data();
    void anImageOpenedOnItsLayoutStaysInside();
    void loaderRefusesMissingFileAndFolder();
    void fileChangedInPlaceWhileLoaded_data();
    void fileChangedInPlaceWhileLoaded();

private:
    std::unique_ptr<Segmenter> seg_;
    std::vector<char> dictBytes_;
};

void TestSegmenter::initTestCase()
{
    std::string error;
    seg_ = Segmenter::load(kDictPath, &error);
    QVERIFY2(seg_, error.c_str());
    dictBytes_ = readAll(kDictPath);
    QVERIFY(dictBytes_.size() > 1000);
}

void TestSegmenter::segmentation_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << u"我来自北京"_qs << u"我/来自/北京"_qs;
    QTest::newRow("ambiguity") << u"结婚的和尚未结婚的"_qs << u"结婚/的/和/尚未/结婚/的"_qs;
    QTest::newRow("place") << u"南京市长江大桥"_qs << u"南京市/长江大桥"_qs;
    // Dates and times: a number joins its unit.
    QTest::newRow("arabic date") << u"2001年12月31日"_qs << u"2001年/12月/31日"_qs;
    QTest::newRow("full-width date") << u"１９９７年５月１２日"_qs << u"１９９７年/５月/１２日"_qs;
    QTest::newRow("time") << u"上午9时30分"_qs << u"上午/9时/30分"_qs;
    QTest::newRow("minutes word stays") << u"等了30分钟"_qs << u"等/了/30/分钟"_qs;
    QTest::newRow("year with circle zeros") << u"二○○一年新年贺词"_qs << u"二○○一年/新年/贺词"_qs;
    QTest::newRow("year with ideographic zeros") << u"二〇〇八年"_qs << u"二〇〇八年"_qs;
    QTest::newRow("year digit by digit") << u"一九九七年七月一日香港回归"_qs << u"一九九七年/七月/一日/香港/回归"_qs;
    QTest::newRow("chinese date") << u"十二月三十一日夜"_qs << u"十二月/三十一日/夜"_qs;
    QTest::newRow("long chinese number") << u"海拔四千三百一十三米"_qs << u"海拔/四千三百一十三/米"_qs;
    QTest::newRow("ordinal") << u"第三十届奥运会"_qs << u"第三十/届/奥运会"_qs;
    QTest::newRow("idiom with number") << u"三十而立"_qs << u"三十而立"_qs;
    QTest::newRow("numeral words stay words") << u"千万不要"_qs << u"千万/不要"_qs;
    QTest::newRow("magnitude") << u"收入达到55.6亿元"_qs << u"收入/达到/55.6亿/元"_qs;
    QTest::newRow("percent") << u"增长了６０％"_qs << u"增长/了/６０％"_qs;
    QTest::newRow("decimal") << u"身高1.75米"_qs << u"身高/1.75/米"_qs;
    QTest::newRow("latin inside") << u"我买了iPhone手机"_qs << u"我/买/了/iPhone/手机"_qs;
    QTest::newRow("punctuation run") << u"好！！！真的？"_qs << u"好/！！！/真的/？"_qs;
    QTest::newRow("mixed punctuation run") << u"他说：“走”。"_qs << u"他/说/：“/走/”。"_qs;
    QTest::newRow("line break") << u"你好\r\n再见"_qs << u"你好/\r\n/再见"_qs;
    QTest::newRow("blanks") << u"你好  再见"_qs << u"你好/  /再见"_qs;
    QTest::newRow("unknown name kept by the HMM") << u"宝宝韩纪轮在一起"_qs << u"宝宝/韩纪轮/在/一起"_qs;
    QTest::newRow("function words not glued") << u"图为三峡工程厂房"_qs << u"图/为/三峡工程/厂房"_qs;
    QTest::newRow("circle as a symbol") << u"○好"_qs << u"○/好"_qs;
    QTest::newRow("astral ideographs") << u"北京𠀋𠀋好吗"_qs << u"北京/𠀋𠀋/好/吗"_qs;
    QTest::newRow("empty") << QString() << QString();
}

void TestSegmenter::segmentation()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const std::u16string t = u16(text);
    QCOMPARE(joined(t, seg_->segment(t)), expected);
}

void TestSegmenter::tokenKinds()
{
    const std::u16string t = u"我有3.5个ABC！\r\n2001年"_qs.toStdU16String();
    const auto tokens = seg_->segment(t);
    QString kinds;
    for (const Token &k : tokens)
        kinds += k.kind == TokenKind::Word ? u'W' : k.kind == TokenKind::Alnum ? u'A' : u'S';
    QCOMPARE(joined(t, tokens), u"我/有/3.5/个/ABC/！\r\n/2001年"_qs);
    QCOMPARE(kinds, u"WWAWASW"_qs);
}

void TestSegmenter::marks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("words alternate") << u"我来自北京"_qs << u"01100"_qs;
    // The alternation runs over words only: 爱 (1) and 你好 (0) are neighbours across "abc，".
    QTest::newRow("alternation carries over runs") << u"我爱abc，你好"_qs << u"01444200"_qs;
    QTest::newRow("full-width latin and digits") << u"ＡＢＣ１２３"_qs << u"444444"_qs;
    QTest::newRow("latin and digits one run") << u"abc123"_qs << u"444444"_qs;
    QTest::newRow("decimal point inside") << u"3.14"_qs << u"4444"_qs;
    QTest::newRow("trailing dot is a symbol") << u"1."_qs << u"42"_qs;
    QTest::newRow("percent") << u"60%"_qs << u"444"_qs;
    // Digits that the segmentation joins to a unit are still letters and digits; the unit is
    // a word of its own and the alternation goes on around it.
    QTest::newRow("date word") << u"2001年好"_qs << u"444401"_qs;
    QTest::newRow("full-width year") << u"在１９９６年"_qs << u"044441"_qs;
    QTest::newRow("month after a word") << u"今年４月"_qs << u"0041"_qs;
    QTest::newRow("decimal magnitude") << u"达２.５亿元"_qs << u"044410"_qs;
    QTest::newRow("full-width decimal point") << u"３．５万人"_qs << u"44401"_qs;
    QTest::newRow("date of three words") << u"2001年12月31日"_qs << u"44440441440"_qs;
    QTest::newRow("punctuation run") << u"！？。"_qs << u"222"_qs;
    QTest::newRow("crlf") << u"你\r\n好"_qs << u"0221"_qs;
    QTest::newRow("unicode line separators") << QString::fromStdU16String(u"你\u2028好\u0085") << u"0212"_qs;
    QTest::newRow("nul") << QString::fromStdU16String(std::u16string(u"我\0你", 3)) << u"021"_qs;
    QTest::newRow("lone high surrogate") << QString::fromStdU16String(u"我\xD800你") << u"021"_qs;
    QTest::newRow("lone low surrogate") << QString::fromStdU16String(u"\xDC00") << u"2"_qs;
    QTest::newRow("reversed pair") << QString::fromStdU16String(u"\xDC00\xD800") << u"22"_qs;
    QTest::newRow("high surrogate at the end") << QString::fromStdU16String(u"好\xD83D") << u"02"_qs;
    QTest::newRow("astral ideograph") << u"𠀋，好"_qs << u"0021"_qs;
    QTest::newRow("emoji") << u"好😀好"_qs << u"0221"_qs;
    QTest::newRow("circle zeros") << u"二○○一年"_qs << u"00000"_qs;
    QTest::newRow("latin with accents") << u"café咖啡"_qs << u"444400"_qs;
}

void TestSegmenter::marks()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const std::u16string t = u16(text);
    QCOMPARE(QString::fromStdU16String(seg_->marks(t)), expected);
}

// On any text: tokens cover it end to end, no token ends inside a surrogate pair, there is one
// mark per unit, and a word is exactly a maximal run of equal marks.
void TestSegmenter::invariantsOnRandomText()
{
    const char16_t alphabet[] = {u'我', u'们', u'的', u'一', u'十', u'年', u'月', u'○', u'〇', u'第', u'中', u'国',
        u'a', u'Z', u'7', u'.', u'%', u'，', u'！', u' ', u'\r', u'\n', 0, 0xD840, 0xDC0B, 0xD83D, 0xDE00, 0xFF11,
        0xFF0E, 0xFF05, 0x2028};
    std::mt19937 rng(20110);
    for (int round = 0; round < 3000; ++round) {
        std::u16string t(rng() % 40, u' ');
        for (char16_t &c : t)
            c = alphabet[rng() % std::size(alphabet)];
        const auto tokens = seg_->segment(t);
        const std::u16string m = seg_->marks(t);
        QCOMPARE(m.size(), t.size());
        std::size_t at = 0;
        char16_t lastWordMark = 0;
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            const Token &k = tokens[i];
            QCOMPARE(k.begin, at);
            QVERIFY(k.length > 0);
            at += k.length;
            const std::size_t end = k.begin + k.length;
            QVERIFY2(!(end < t.size() && t[end] >= 0xDC00 && t[end] <= 0xDFFF && t[end - 1] >= 0xD800
                         && t[end - 1] <= 0xDBFF),
                "a token ends inside a surrogate pair");
            // A word's letters and digits are marked '4' (with a decimal point or percent sign
            // between them); the rest of the word shares one word mark, different from the mark
            // of the word before it.
            char16_t wordMark = 0;
            for (std::size_t j = k.begin; j < end; ++j) {
                const char16_t c = t[j];
                const bool alnum = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')
                    || (c >= 0xFF10 && c <= 0xFF19);
                if (k.kind == TokenKind::Symbol) {
                    QCOMPARE(m[j], u'2');
                } else if (k.kind == TokenKind::Alnum || alnum) {
                    QCOMPARE(m[j], u'4');
                } else if (m[j] != u'4') {
                    QVERIFY(m[j] == u'0' || m[j] == u'1');
                    if (wordMark == 0)
                        wordMark = m[j];
                    QCOMPARE(m[j], wordMark);
                }
            }
            if (k.kind == TokenKind::Symbol || k.kind == TokenKind::Alnum) {
                if (i > 0)
                    QVERIFY2(m[k.begin - 1] != m[k.begin], "neighbouring tokens share a mark");
            } else if (wordMark != 0) {
                QVERIFY2(wordMark != lastWordMark, "neighbouring words share a mark");
                lastWordMark = wordMark;
            }
        }
        QCOMPARE(at, t.size());
    }
}

void TestSegmenter::customWords_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("unknown word") << u"艾尔登法环"_qs << u"我在玩艾尔登法环"_qs << u"我/在/玩/艾/尔登/法/环"_qs
                                  << u"我/在/玩/艾尔登法环"_qs;
    QTest::newRow("against dictionary words")
        << u"和尚未"_qs << u"结婚的和尚未结婚的"_qs << u"结婚/的/和/尚未/结婚/的"_qs << u"结婚/的/和尚未/结婚/的"_qs;
    QTest::newRow("across a number") << u"三十一日夜"_qs << u"十二月三十一日夜"_qs << u"十二月/三十一日/夜"_qs
                                     << u"十二月/三十一日夜"_qs;
    QTest::newRow("with latin letters") << u"T恤"_qs << u"一件T恤衫"_qs << u"一件/T/恤衫"_qs << u"一件/T恤/衫"_qs;
    QTest::newRow("astral") << u"𠀋𠀋好"_qs << u"北京𠀋𠀋好吗"_qs << u"北京/𠀋𠀋/好/吗"_qs << u"北京/𠀋𠀋好/吗"_qs;
}

void TestSegmenter::customWords()
{
    QFETCH(QString, word);
    QFETCH(QString, text);
    QFETCH(QString, before);
    QFETCH(QString, after);
    std::string error;
    auto seg = Segmenter::load(kDictPath, &error);
    QVERIFY2(seg, error.c_str());
    const std::u16string t = u16(text), w = u16(word);
    QCOMPARE(joined(t, seg->segment(t)), before);
    QVERIFY(!seg->contains(w));
    seg->addUserWord(w);
    QVERIFY(seg->contains(w));
    QCOMPARE(joined(t, seg->segment(t)), after);
    // The marks show the custom word as one word, except for its Latin letters (marked '4').
    const std::u16string m = seg->marks(t);
    std::size_t at = t.find(w);
    QVERIFY(at != std::u16string::npos);
    std::size_t end = at + w.size();
    while (at < end && t[at] < 0x80)
        QCOMPARE(m[at++], u'4');
    for (std::size_t i = at; i < end; ++i)
        QVERIFY(m[i] == m[at] && m[i] != u'4');
    if (at > 0)
        QVERIFY(m[at - 1] != m[at]);
    if (end < t.size())
        QVERIFY(m[end] != m[at]);
}

void TestSegmenter::customWordsLongestWins()
{
    std::string error;
    auto seg = Segmenter::load(kDictPath, &error);
    QVERIFY2(seg, error.c_str());
    QVERIFY(seg->contains(u"北京"));
    QVERIFY(!seg->contains(u""));
    seg->addUserWord(u""); // ignored
    QVERIFY(!seg->contains(u""));
    seg->addUserWord(u"京天");
    seg->addUserWord(u"京天安");
    const std::u16string t = u"北京天安门";
    QCOMPARE(joined(t, seg->segment(t)), u"北/京天安/门"_qs);
}

void TestSegmenter::loaderRefuses_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("reason"); // a word the error has to contain
    enum {
        Truncate,
        Empty,
        Garbage,
        Magic,
        Version,
        SizeField,
        SectionOutside,
        SectionSize,
        SectionMissing,
        SectionTwice,
        RootOutside,
        ChildOutside,
        ChildrenUnsorted,
        Misaligned
    };
    QTest::newRow("truncated by one byte") << int(Truncate) << u"size"_qs;
    QTest::newRow("empty") << int(Empty) << u"short"_qs;
    QTest::newRow("garbage") << int(Garbage) << u"magic"_qs;
    QTest::newRow("bad magic") << int(Magic) << u"magic"_qs;
    QTest::newRow("other version") << int(Version) << u"version"_qs;
    QTest::newRow("size field") << int(SizeField) << u"size"_qs;
    QTest::newRow("section outside the file") << int(SectionOutside) << u"outside"_qs;
    QTest::newRow("section size") << int(SectionSize) << u"size"_qs;
    QTest::newRow("section missing") << int(SectionMissing) << u"missing"_qs;
    QTest::newRow("section twice") << int(SectionTwice) << u"twice"_qs;
    QTest::newRow("root table outside the trie") << int(RootOutside) << u"root"_qs;
    QTest::newRow("children out of range") << int(ChildOutside) << u"range"_qs;
    QTest::newRow("children unsorted") << int(ChildrenUnsorted) << u"sorted"_qs;
    QTest::newRow("misaligned section") << int(Misaligned) << u"aligned"_qs;
}

void TestSegmenter::loaderRefuses()
{
    QFETCH(int, kind);
    QFETCH(QString, reason);
    std::vector<char> b = dictBytes_;
    // Trie nodes: 16-byte records (u32 first child, u16 child count, u16 label, ...) in section 2.
    const std::size_t nodesOff = sectionOffset(b, 2);
    QVERIFY(nodesOff);
    auto first = [&](std::size_t i) { return nodesOff + 16 * i; };
    auto count = [&](std::size_t i) { return nodesOff + 16 * i + 4; };
    auto label = [&](std::size_t i) { return nodesOff + 16 * i + 6; };
    // A node with at least two children, for the trie mutations.
    const auto nodes = readAt<std::uint32_t>(b, 16);
    std::uint32_t parent = 0;
    for (std::uint32_t i = 1; i < nodes && !parent; ++i)
        if (readAt<std::uint16_t>(b, count(i)) >= 2)
            parent = i;
    QVERIFY(parent);
    std::size_t entry = 0;
    switch (kind) {
    case 0: b.pop_back(); break;
    case 1: b.clear(); break;
    case 2: b.assign(5000, 'x'); break;
    case 3: b[0] = 'X'; break;
    case 4: writeAt<std::uint32_t>(b, 8, 99); break;
    case 5: writeAt<std::uint64_t>(b, 24, readAt<std::uint64_t>(b, 24) + 8); break;
    case 6: writeAt<std::uint64_t>(b, 64 + 8, std::uint64_t(1) << 40); break;
    case 7: writeAt<std::uint64_t>(b, 64 + 16, readAt<std::uint64_t>(b, 64 + 16) + 4); break;
    case 8: writeAt<std::uint32_t>(b, 64, 77); break;
    case 9: writeAt<std::uint32_t>(b, 64 + 24, readAt<std::uint32_t>(b, 64)); break;
    case 10: writeAt<std::uint32_t>(b, sectionOffset(b, 1) + 4 * 0x6211, 0xFFFFFFF0u); break;
    case 11: writeAt<std::uint32_t>(b, first(parent), 0xFFFFFFF0u); break;
    case 12: {
        const std::size_t f = readAt<std::uint32_t>(b, first(parent));
        const auto a = readAt<std::uint16_t>(b, label(f));
        writeAt<std::uint16_t>(b, label(f), readAt<std::uint16_t>(b, label(f + 1)));
        writeAt<std::uint16_t>(b, label(f + 1), a);
        break;
    }
    case 13:
        sectionOffset(b, 2, &entry);
        writeAt<std::uint64_t>(b, entry + 8, readAt<std::uint64_t>(b, entry + 8) + 2);
        break;
    }
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"broken.dict"_qs);
    writeAll(path, b);
    std::string error;
    QVERIFY(!Segmenter::load(path.toStdString(), &error));
    const QString message = QString::fromStdString(error);
    QVERIFY2(message.contains(path), qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
}

// A checked copy is opened on its layout alone; its trie is checked where a lookup reads it.
// Whatever the trie holds, segmenting must stay inside the image (the storage is exactly the
// image's size, so that a sanitized build sees any read past it) and cover the whole text.
void TestSegmenter::anImageOpenedOnItsLayoutStaysInside_data()
{
    QTest::addColumn<int>("damage");
    QTest::addColumn<bool>("opens");
    QTest::newRow("undamaged") << 0 << true;
    QTest::newRow("children out of range") << 1 << true;
    QTest::newRow("children before their node") << 2 << true;
    QTest::newRow("children unsorted") << 3 << true;
    QTest::newRow("edge hash without an empty slot") << 4 << true;
    QTest::newRow("edge outside its node's children") << 5 << true;
    QTest::newRow("weights that are no log probability") << 6 << true;
    QTest::newRow("root table outside the trie") << 7 << false;
}

void TestSegmenter::anImageOpenedOnItsLayoutStaysInside()
{
    QFETCH(int, damage);
    QFETCH(bool, opens);
    auto image = std::make_shared<std::vector<char>>(dictBytes_);
    std::vector<char> &b = *image;
    const std::size_t nodesOff = sectionOffset(b, 2);
    const std::size_t edgesOff = sectionOffset(b, 6);
    QVERIFY(nodesOff && edgesOff);
    const auto nodes = readAt<std::uint32_t>(b, 16);
    const auto slotCount = readAt<std::uint32_t>(b, 44);
    auto node = [&](std::size_t i) { return nodesOff + 16 * i; };
    // The busiest node: its children are found through the edge hash.
    std::uint32_t busy = 1;
    for (std::uint32_t i = 1; i < nodes; ++i)
        if (readAt<std::uint16_t>(b, node(i) + 4) > readAt<std::uint16_t>(b, node(busy) + 4))
            busy = i;
    QVERIFY(readAt<std::uint16_t>(b, node(busy) + 4) > 8);
    switch (damage) {
    case 1: writeAt<std::uint32_t>(b, node(busy), 0xFFFFFFF0u); break;
    case 2: writeAt<std::uint32_t>(b, node(busy), busy); break;
    case 3:
        for (std::uint32_t i = 1; i < nodes; ++i)
            writeAt<std::uint16_t>(b, node(i) + 6, std::uint16_t(0x4E00 + (i * 7919u) % 0x5000));
        break;
    case 4:
    case 5:
        for (std::uint32_t i = 0; i < slotCount; ++i) {
            const std::size_t slot = edgesOff + 12 * i;
            if (damage == 4 && readAt<std::uint32_t>(b, slot) == 0) {
                writeAt<std::uint32_t>(b, slot, busy);
                writeAt<std::uint32_t>(b, slot + 8, 0xFFFFu);
            } else if (damage == 5 && readAt<std::uint32_t>(b, slot) != 0) {
                writeAt<std::uint32_t>(b, slot + 4, 0xFFFFFFF0u);
            }
        }
        break;
    case 6:
        for (std::uint32_t i = 1; i < nodes; ++i)
            writeAt<float>(b, node(i) + 8, i % 2 ? std::numeric_limits<float>::quiet_NaN() : 1.0f);
        break;
    case 7: writeAt<std::uint32_t>(b, sectionOffset(b, 1) + 4 * 0x4E2D, nodes); break;
    }
    std::string error;
    const auto *data = reinterpret_cast<const std::uint8_t *>(b.data());
    const std::size_t size = b.size();
    auto seg = Segmenter::openChecked(image, data, size, "copy", &error);
    QCOMPARE(bool(seg), opens);
    if (!seg) {
        QVERIFY2(error.rfind("copy: ", 0) == 0, error.c_str());
        return;
    }
    QCOMPARE(seg->image().data(), data);
    QCOMPARE(seg->image().size(), size);
    const std::u16string t = u"中华人民共和国成立了，我们在北京天安门广场看升旗。不知不觉大家都来了！2001年𠀋";
    const std::vector<Token> tokens = seg->segment(t);
    std::size_t covered = 0;
    for (const Token &token : tokens) {
        QCOMPARE(token.begin, covered);
        covered += token.length;
    }
    QCOMPARE(covered, t.size());
    QCOMPARE(seg->marks(t).size(), t.size());
    if (damage == 0) {
        QCOMPARE(joined(t, tokens), joined(t, seg_->segment(t)));
        QCOMPARE(seg->marks(t), seg_->marks(t));
    }
}

void TestSegmenter::loaderRefusesMissingFileAndFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string missing = dir.filePath(u"none.dict"_qs).toStdString();
    std::string error;
    QVERIFY(!Segmenter::load(missing, &error));
    QVERIFY2(error.find(missing) != std::string::npos, error.c_str());
    error.clear();
    QVERIFY(!Segmenter::load(dir.path().toStdString(), &error));
    QVERIFY2(error.find(dir.path().toStdString()) != std::string::npos, error.c_str());
    QVERIFY(!Segmenter::load(missing, nullptr)); // no error wanted: still no crash
}

QTEST_GUILESS_MAIN(TestSegmenter)
// Another program that truncates or rewrites the dictionary in place (an update, a copy over
// it) changes nothing for a segmenter that has loaded it; a mapped file would kill the process.
void TestSegmenter::fileChangedInPlaceWhileLoaded_data()
{
    QTest::addColumn<int>("newSize");
    QTest::newRow("truncated to nothing") << 0;
    QTest::newRow("cut after the header") << 64;
    QTest::newRow("same size, zeros") << -1;
}

void TestSegmenter::fileChangedInPlaceWhileLoaded()
{
    QFETCH(int, newSize);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"orvane-seg.dict"_qs);
    writeAll(path, dictBytes_);
    std::string error;
    auto seg = Segmenter::load(path.toStdString(), &error);
    QVERIFY2(seg, error.c_str());
    {
        // In place: the same inode, as `cp new old` or an editor without a rename would do.
        std::ofstream out(path.toStdString(), std::ios::binary | std::ios::in | std::ios::out);
        QVERIFY(out.is_open());
        if (newSize < 0) {
            const std::vector<char> zeros(dictBytes_.size(), 0);
            out.write(zeros.data(), std::streamsize(zeros.size()));
        }
    }
    if (newSize >= 0)
        QVERIFY(QFile::resize(path, newSize));
    const std::u16string t = u"我们在北京天安门广场看升旗，中华人民共和国万岁。";
    QCOMPARE(joined(t, seg->segment(t)), joined(t, seg_->segment(t)));
    QCOMPARE(seg->marks(t), seg_->marks(t));
}

#include "test_segmenter.moc"
