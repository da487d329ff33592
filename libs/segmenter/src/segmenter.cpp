// The segmenter: character runs, numbers and dates, the word DAG with its max-probability
// route, and the HMM for what the dictionary leaves as single characters.
#include "chars.h"
#include "segmenter_impl.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane::seg {

namespace detail {
namespace {

using chars::Class;
using chars::codePointAt;

// Log-space bonus of a custom word: larger than any sum of dictionary log probabilities over
// a span, so a route through a custom word beats every route that avoids it.
constexpr double kUserWordBonus = 1.0e4;
// Stands for jieba's "impossible" (-3.14e100) in the HMM: finite, so that sums stay comparable.
constexpr double kImpossible = -1.0e9;

enum State : int { B = 0, M = 1, E = 2, S = 3 };

inline double finiteOr(double v)
{
    return v == -std::numeric_limits<double>::infinity() ? kImpossible : v;
}

// Where a run of one character class ends, with the class that the run has.
struct Run {
    Class cls;
    std::size_t end;
};

// A white circle run counts as Chinese zeros next to a Chinese numeral (二○○一, 一九九○),
// as a symbol otherwise.
inline Class circleClass(std::u16string_view t, std::size_t i, std::size_t *runEnd)
{
    std::size_t z = i;
    while (z < t.size() && t[z] == 0x25CB)
        ++z;
    *runEnd = z;
    const bool before = i > 0 && chars::isChineseNumeral(t[i - 1]);
    const bool after = z < t.size() && chars::isChineseNumeral(t[z]);
    return (before || after) ? Class::Han : Class::Symbol;
}

// Result of reading a run of Chinese numerals.
struct ChineseNumber {
    bool valid = false;    // a well-formed number
    bool digitSeq = false; // digits only, read one by one (二○○一, 一九九七)
    bool hasZero = false;
    std::uint64_t value = 0;
};

ChineseNumber readChineseNumber(std::u16string_view t, std::size_t b, std::size_t e)
{
    ChineseNumber r;
    bool anyUnit = false, liang = false;
    for (std::size_t i = b; i < e; ++i) {
        if (chars::chineseUnit(t[i]))
            anyUnit = true;
        if (t[i] == u'两')
            liang = true;
        if (chars::chineseDigit(t[i]) == 0)
            r.hasZero = true;
    }
    if (e - b > 24)
        return r;
    if (!anyUnit) {
        if (liang)
            return r;
        r.digitSeq = r.valid = true;
        for (std::size_t i = b; i < e && i < b + 18; ++i)
            r.value = r.value * 10 + std::uint64_t(chars::chineseDigit(t[i]));
        return r;
    }
    // Grammar of a positional number: [d]十[d], d百, d千 inside a section, sections closed by
    // 万 and 亿 in falling order; 零 marks a gap. Anything else (一二, 千万, 万一) is not a number
    // but a word of the dictionary.
    std::uint64_t total = 0, section = 0, lastSmall = ~0ull, lastBig = ~0ull;
    int digit = -1;
    bool pendingZero = false;
    for (std::size_t i = b; i < e; ++i) {
        const char16_t c = t[i];
        const int d = chars::chineseDigit(c);
        const std::uint64_t u = chars::chineseUnit(c);
        if (d == 0) {
            if (digit != -1 || (section == 0 && total == 0))
                return r;
            pendingZero = true;
        } else if (d > 0) {
            if (digit != -1)
                return r;
            digit = d;
        } else if (u <= 1000) {
            if (u >= lastSmall)
                return r;
            std::uint64_t k;
            if (digit != -1) {
                k = std::uint64_t(digit);
            } else if (u == 10 && section == 0 && !pendingZero) {
                k = 1; // 十二 = 12
            } else {
                return r;
            }
            if (c == u'十' && i > b && t[i - 1] == u'两')
                return r;
            section += k * u;
            digit = -1;
            lastSmall = u;
            pendingZero = false;
        } else {
            if (u >= lastBig)
                return r;
            const std::uint64_t part = section + std::uint64_t(digit > 0 ? digit : 0);
            if (part == 0)
                return r;
            total += part * u;
            section = 0;
            digit = -1;
            lastSmall = ~0ull;
            lastBig = u;
            pendingZero = false;
        }
    }
    if (digit > 0)
        section += std::uint64_t(digit);
    r.value = total + section;
    r.valid = true;
    return r;
}

// How many units of a date or time word follow a number of the given value: 年 after a year,
// 月 1-12, 日 and 号 1-31, 时 0-24, 分 and 秒 0-59. Words that merely start with the unit
// (时候, 分钟, 年代 ...) are left alone.
std::size_t dateUnitAfter(std::u16string_view t, std::size_t j, bool integer, std::uint64_t value, bool yearLike)
{
    if (j >= t.size() || !integer)
        return 0;
    const char16_t c = t[j];
    const char16_t next = j + 1 < t.size() ? t[j + 1] : u'\0';
    const auto nextIn = [&](std::u16string_view set) { return set.find(next) != std::u16string_view::npos; };
    switch (c) {
    case u'年': return (yearLike && !nextIn(u"代级龄纪")) ? 1 : 0;
    case u'月': return (value >= 1 && value <= 12) ? 1 : 0;
    case u'日':
    case u'号': return (value >= 1 && value <= 31 && !nextIn(u"子码")) ? 1 : 0;
    case u'时': return (value <= 24 && !nextIn(u"候间期代刻节光")) ? 1 : 0;
    case u'分': return (value <= 59 && !nextIn(u"钟之子")) ? 1 : 0;
    case u'秒': return (value <= 59 && !nextIn(u"钟")) ? 1 : 0;
    default: return 0;
    }
}

struct Edge {
    std::uint32_t end; // code point index
    double weight;
};

// Scratch space of one thread, reused from call to call so that a long text does not
// allocate per sentence.
struct Scratch {
    std::vector<std::uint32_t> pos;        // code point starts, plus the end
    std::vector<std::int32_t> unitToIndex; // unit offset in the piece -> code point index, -1 inside a pair
    std::vector<std::uint32_t> edgeStart;
    std::vector<Edge> edges;
    std::vector<double> best;
    std::vector<std::uint32_t> next;
    std::vector<double> viterbi;
    std::vector<std::uint8_t> back;
    std::vector<std::uint8_t> states;
};

Scratch &scratch()
{
    thread_local Scratch s;
    return s;
}

class SegmenterImpl final : public Segmenter {
public:
    SegmenterImpl() = default;
    ~SegmenterImpl() override = default;
    SegmenterImpl(const SegmenterImpl &) = delete;
    SegmenterImpl &operator=(const SegmenterImpl &) = delete;

    bool openOwned(std::unique_ptr<std::uint8_t[]> bytes, std::size_t size, std::string *why)
    {
        std::shared_ptr<std::uint8_t[]> owned(std::move(bytes));
        image_ = {owned.get(), size};
        keep_ = std::move(owned);
        return dict_.open(image_.data(), size, why);
    }

    bool openKept(std::shared_ptr<const void> keep, const std::uint8_t *data, std::size_t size, std::string *why)
    {
        keep_ = std::move(keep);
        image_ = {data, size};
        return dict_.open(data, size, why, Dictionary::Check::Layout);
    }

    std::span<const std::uint8_t> image() const override { return image_; }

    std::vector<Token> segment(std::u16string_view text) const override
    {
        std::vector<Token> out;
        out.reserve(text.size() / 2 + 1);
        run(text, [&](std::size_t b, std::size_t len, TokenKind k) { out.push_back({b, len, k}); });
        return out;
    }

    std::u16string marks(std::u16string_view text) const override
    {
        std::u16string out(text.size(), u'2');
        bool odd = false;
        run(text, [&](std::size_t b, std::size_t len, TokenKind k) {
            char16_t m;
            if (k == TokenKind::Symbol) {
                m = u'2';
            } else if (k == TokenKind::Alnum) {
                m = u'4';
            } else {
                markWord(text, b, len, odd ? u'1' : u'0', out);
                odd = !odd;
                return;
            }
            std::fill_n(out.begin() + std::ptrdiff_t(b), len, m);
        });
        return out;
    }

    void addUserWord(std::u16string_view word) override
    {
        if (word.empty())
            return;
        bool mixed = false;
        for (std::size_t i = 0; i < word.size();) {
            const auto cp = codePointAt(word, i);
            if (chars::classify(cp.cp) != Class::Han)
                mixed = true;
            i += cp.len;
        }
        user_.add(word, mixed);
    }

    bool contains(std::u16string_view word) const override
    {
        if (word.empty())
            return false;
        const std::uint32_t node = dict_.find(word);
        return (node != 0 && dict_.isWord(node)) || user_.contains(word);
    }

private:
    // Marks one word of the segmentation. Letters and digits cannot be typed with the Chinese
    // input method whatever word they are joined to (2001年, ２.５亿, T恤): they are marked '4',
    // like a run of their own, together with a decimal point between two digits and a percent
    // sign after a digit. A symbol inside a custom word is marked '2'. What is left (年, 亿,
    // 恤) is the word and carries the word's mark.
    static void markWord(std::u16string_view t, std::size_t b, std::size_t len, char16_t wordMark, std::u16string &out)
    {
        bool lastDigit = false;
        for (std::size_t i = b; i < b + len;) {
            const auto cp = codePointAt(t, i);
            const bool digit = chars::isDigit(cp.cp);
            char16_t m = wordMark;
            if (digit || chars::classify(cp.cp) == Class::Alnum)
                m = u'4';
            else if (lastDigit && chars::isPercent(cp.cp))
                m = u'4';
            else if (lastDigit && chars::isDecimalPoint(cp.cp) && i + 1 < b + len && chars::isDigit(t[i + 1]))
                m = u'4';
            else if (chars::classify(cp.cp) == Class::Symbol)
                m = u'2';
            lastDigit = digit;
            std::fill_n(out.begin() + std::ptrdiff_t(i), cp.len, m);
            i += cp.len;
        }
    }

    template <class Emit> void run(std::u16string_view t, Emit &&emit) const;
    template <class Emit> void segmentHan(std::u16string_view t, std::size_t b, std::size_t e, Emit &emit) const;
    template <class Emit> void segmentPiece(std::u16string_view t, std::size_t b, std::size_t e, Emit &emit) const;
    template <class Emit>
    void emitSingles(std::u16string_view t, const std::vector<std::uint32_t> &pos, std::size_t from, std::size_t to,
        Emit &emit) const;
    template <class Emit>
    void hmmCut(std::u16string_view t, const std::vector<std::uint32_t> &pos, std::size_t from, std::size_t to,
        Emit &emit) const;

    Run runAt(std::u16string_view t, std::size_t i) const;
    bool unknownWordBeatsSingles(
        std::u16string_view t, const std::vector<std::uint32_t> &pos, std::size_t from, std::size_t to) const;
    std::size_t mixedUserWordAt(std::u16string_view t, std::size_t i) const;
    std::size_t longestWordEnd(std::u16string_view t, std::size_t b, std::size_t e) const;
    enum class NumberVerdict { None, Number, InsideWord };
    NumberVerdict forcedNumber(std::u16string_view t, std::size_t pieceBegin, std::size_t s, std::size_t f,
        std::size_t e, std::size_t *start, std::size_t *end) const;

    Dictionary dict_;
    UserWords user_;
    std::shared_ptr<const void> keep_; // holds the image
    std::span<const std::uint8_t> image_;
};

// Length of the longest custom word at i that holds characters outside the dictionary route
// (such words are matched before the text is cut into character runs), 0 if none.
std::size_t SegmenterImpl::mixedUserWordAt(std::u16string_view t, std::size_t i) const
{
    std::uint32_t node = 0;
    std::size_t best = 0;
    for (std::size_t j = i; j < t.size(); ++j) {
        node = user_.child(node, t[j]);
        if (node == 0)
            break;
        const bool boundary = j + 1 == t.size() || !(chars::isLow(t[j + 1]) && chars::isHigh(t[j]));
        if (boundary && user_.isWord(node) && user_.isMixed(node))
            best = j + 1 - i;
    }
    return best;
}

Run SegmenterImpl::runAt(std::u16string_view t, std::size_t i) const
{
    const std::size_t n = t.size();
    const bool checkUser = user_.hasMixed();
    auto classAt = [&](std::size_t j, std::size_t *next) {
        const auto cp = codePointAt(t, j);
        Class c = chars::classify(cp.cp);
        if (c == Class::Circle)
            return circleClass(t, j, next);
        *next = j + cp.len;
        return c;
    };
    std::size_t j;
    const Class cls = classAt(i, &j);
    if (cls == Class::Alnum) {
        bool lastDigit = chars::isDigit(codePointAt(t, i).cp);
        while (j < n && !(checkUser && mixedUserWordAt(t, j))) {
            const auto cp = codePointAt(t, j);
            const Class c = chars::classify(cp.cp);
            if (c == Class::Alnum) {
                lastDigit = chars::isDigit(cp.cp);
                j += cp.len;
            } else if (lastDigit && chars::isDecimalPoint(cp.cp) && j + 1 < n && chars::isDigit(t[j + 1])) {
                j += 1; // 3.14, ３．５
                lastDigit = false;
            } else if (lastDigit && chars::isPercent(cp.cp)) {
                j += 1; // 60%, ６０％, 5‰
                lastDigit = false;
            } else {
                break;
            }
        }
        return {cls, j};
    }
    while (j < n && !(checkUser && mixedUserWordAt(t, j))) {
        std::size_t k;
        if (classAt(j, &k) != cls)
            break;
        j = k;
    }
    return {cls, j};
}

template <class Emit> void SegmenterImpl::run(std::u16string_view t, Emit &&emit) const
{
    const std::size_t n = t.size();
    std::size_t i = 0;
    while (i < n) {
        if (user_.hasMixed()) {
            if (const std::size_t len = mixedUserWordAt(t, i)) {
                emit(i, len, TokenKind::Word);
                i += len;
                continue;
            }
        }
        const Run r = runAt(t, i);
        switch (r.cls) {
        case Class::Symbol:
        case Class::Circle: emit(i, r.end - i, TokenKind::Symbol); break;
        case Class::Alnum: {
            // A number written in digits joins a date or time unit or a magnitude that follows:
            // 2001年, 12月, 31日, 10时, 3.5万, 2万亿.
            bool numeric = true, integer = true;
            std::uint64_t value = 0;
            for (std::size_t k = i; k < r.end; ++k) {
                const char16_t u = t[k];
                if (chars::isDigit(u)) {
                    value = std::min<std::uint64_t>(value * 10 + std::uint64_t(chars::digitValue(u)), 1u << 30);
                } else if (chars::isDecimalPoint(u)) {
                    integer = false;
                } else {
                    numeric = false;
                    break;
                }
            }
            std::size_t unit = 0;
            if (numeric && r.end < n) {
                unit = dateUnitAfter(t, r.end, integer, value, true);
                if (unit == 0 && (t[r.end] == u'万' || t[r.end] == u'亿'))
                    unit = (t[r.end] == u'万' && r.end + 1 < n && t[r.end + 1] == u'亿') ? 2 : 1;
            }
            if (unit) {
                emit(i, r.end - i + unit, TokenKind::Word);
                i = r.end + unit;
                continue;
            }
            emit(i, r.end - i, TokenKind::Alnum);
            break;
        }
        case Class::Han: segmentHan(t, i, r.end, emit); break;
        }
        i = r.end;
    }
}

// End of the longest dictionary or custom word starting at b inside [b, e), b if none.
// Phrases listed without a corpus count (weight at the floor of two unknown characters) do not
// count: the route would not take them anyway.
std::size_t SegmenterImpl::longestWordEnd(std::u16string_view t, std::size_t b, std::size_t e) const
{
    std::size_t best = b;
    std::uint32_t node = dict_.root(t[b]);
    const double phraseFloor = 2 * dict_.minLogProb() + 1e-3;
    for (std::size_t j = b + 1; node != 0; ++j) {
        if (dict_.isWord(node) && dict_.weight(node) > phraseFloor)
            best = j;
        if (j == e)
            break;
        node = dict_.child(node, t[j]);
    }
    if (!user_.empty()) {
        node = 0;
        for (std::size_t j = b; j < e; ++j) {
            node = user_.child(node, t[j]);
            if (node == 0)
                break;
            if (user_.isWord(node))
                best = std::max(best, j + 1);
        }
    }
    return best;
}

// Decides whether the Chinese numerals t[s, f) (inside the run ending at e) are written as one
// number word, as the usual segmentation conventions do: 二○○一年, 一九九七年, 十二月, 三十一日,
// 二十五, 第十四. Short runs that are ordinary words (一一, 千万, 万一) are left to the dictionary,
// and so is a number that starts a longer dictionary word (三十而立, 十万八千里).
SegmenterImpl::NumberVerdict SegmenterImpl::forcedNumber(std::u16string_view t, std::size_t pieceBegin, std::size_t s,
    std::size_t f, std::size_t e, std::size_t *start, std::size_t *end) const
{
    const std::size_t len = f - s;
    const ChineseNumber num = readChineseNumber(t, s, f);
    if (!num.valid)
        return NumberVerdict::None;
    const char16_t next = f < e ? t[f] : u'\0';
    bool forced;
    if (num.digitSeq)
        forced = len >= 3 || (num.hasZero && len >= 2) || (len == 2 && next == u'年');
    else
        forced = len >= 2;
    if (!forced)
        return NumberVerdict::None;
    std::size_t stop = f;
    // Digits read one by one only make a year; positional numbers make any date or time.
    if (f < e && (!num.digitSeq || t[f] == u'年'))
        stop += dateUnitAfter(t.substr(0, e), f, true, num.value, num.digitSeq);
    if (num.digitSeq && stop == f && len < 3 && !num.hasZero)
        return NumberVerdict::None;
    std::size_t begin = s;
    if (s > pieceBegin && t[s - 1] == u'第')
        begin = s - 1;
    if (longestWordEnd(t, begin, e) > stop || (begin != s && longestWordEnd(t, s, e) > stop))
        return NumberVerdict::InsideWord;
    *start = begin;
    *end = stop;
    return NumberVerdict::Number;
}

template <class Emit>
void SegmenterImpl::segmentHan(std::u16string_view t, std::size_t b, std::size_t e, Emit &emit) const
{
    std::size_t piece = b;
    std::size_t p = b;
    while (p < e) {
        if (!chars::isChineseNumeral(t[p])) {
            p += codePointAt(t, p).len;
            continue;
        }
        std::size_t q = p;
        while (q < e && chars::isChineseNumeral(t[q]))
            ++q;
        std::size_t s0, s1;
        NumberVerdict v = forcedNumber(t, piece, p, q, e, &s0, &s1);
        // 统一二十年: the run's first numeral may belong to the word before.
        if (v == NumberVerdict::None && q - p >= 3)
            v = forcedNumber(t, piece, p + 1, q, e, &s0, &s1);
        const bool found = v == NumberVerdict::Number;
        if (found) {
            if (piece < s0)
                segmentPiece(t, piece, s0, emit);
            emit(s0, s1 - s0, TokenKind::Word);
            piece = p = s1;
        } else {
            p = q;
        }
    }
    if (piece < e)
        segmentPiece(t, piece, e, emit);
}

template <class Emit>
void SegmenterImpl::emitSingles(
    std::u16string_view, const std::vector<std::uint32_t> &pos, std::size_t from, std::size_t to, Emit &emit) const
{
    for (std::size_t k = from; k < to; ++k)
        emit(pos[k], pos[k + 1] - pos[k], TokenKind::Word);
}

// Viterbi over B/M/E/S for code points [from, to) of the current piece.
template <class Emit>
void SegmenterImpl::hmmCut(
    std::u16string_view t, const std::vector<std::uint32_t> &pos, std::size_t from, std::size_t to, Emit &emit) const
{
    Scratch &sc = scratch();
    const std::size_t len = to - from;
    sc.viterbi.resize(len * 4);
    sc.back.resize(len * 4);
    sc.states.resize(len);
    static constexpr int prev[4][2] = {{E, S}, {M, B}, {B, M}, {S, E}};
    auto emission = [&](std::size_t k, int s) {
        const float *row = dict_.emission(codePointAt(t, pos[k]).cp);
        return row ? finiteOr(row[s]) : 0.0; // an unseen character: let the transitions decide
    };
    for (int s = 0; s < 4; ++s)
        sc.viterbi[s] = finiteOr(dict_.start(s)) + emission(from, s);
    for (std::size_t k = 1; k < len; ++k) {
        for (int y = 0; y < 4; ++y) {
            const double em = emission(from + k, y);
            double best = -std::numeric_limits<double>::infinity();
            int arg = prev[y][0];
            for (int y0 : prev[y]) {
                const double v = sc.viterbi[(k - 1) * 4 + std::size_t(y0)] + finiteOr(dict_.trans(y0, y)) + em;
                if (v > best || (v == best && y0 > arg)) {
                    best = v;
                    arg = y0;
                }
            }
            sc.viterbi[k * 4 + std::size_t(y)] = best;
            sc.back[k * 4 + std::size_t(y)] = std::uint8_t(arg);
        }
    }
    int state = sc.viterbi[(len - 1) * 4 + S] >= sc.viterbi[(len - 1) * 4 + E] ? S : E;
    for (std::size_t k = len; k-- > 0;) {
        sc.states[k] = std::uint8_t(state);
        if (k > 0)
            state = sc.back[k * 4 + std::size_t(state)];
    }
    std::size_t begin = from;
    std::size_t nexti = from;
    for (std::size_t k = 0; k < len; ++k) {
        const std::size_t idx = from + k;
        switch (sc.states[k]) {
        case B: begin = idx; break;
        case E:
            if (unknownWordBeatsSingles(t, pos, begin, idx + 1))
                emit(pos[begin], pos[idx + 1] - pos[begin], TokenKind::Word);
            else
                emitSingles(t, pos, begin, idx + 1, emit);
            nexti = idx + 1;
            break;
        case S:
            emit(pos[idx], pos[idx + 1] - pos[idx], TokenKind::Word);
            nexti = idx + 1;
            break;
        default: break;
        }
    }
    if (nexti < to) {
        if (to - nexti == 1 || unknownWordBeatsSingles(t, pos, nexti, to))
            emit(pos[nexti], pos[to] - pos[nexti], TokenKind::Word);
        else
            emitSingles(t, pos, nexti, to, emit);
    }
}

// The HMM proposes words the dictionary does not know; it also happily glues function words to
// their neighbours (这一, 图为, 中于). A proposed word is kept only if, as one word of the
// dictionary's floor frequency, it is more probable than its characters taken as the separate
// words the dictionary knows them as: the same unigram model the route is chosen by.
bool SegmenterImpl::unknownWordBeatsSingles(
    std::u16string_view t, const std::vector<std::uint32_t> &pos, std::size_t from, std::size_t to) const
{
    double singles = 0;
    for (std::size_t k = from; k < to; ++k) {
        const std::uint32_t node = dict_.find(t.substr(pos[k], pos[k + 1] - pos[k]));
        singles += (node != 0 && dict_.isWord(node)) ? dict_.weight(node) : dict_.minLogProb();
    }
    return singles < dict_.minLogProb();
}

// The dictionary route over t[b, e), a stretch of the dictionary route's characters.
template <class Emit>
void SegmenterImpl::segmentPiece(std::u16string_view t, std::size_t b, std::size_t e, Emit &emit) const
{
    Scratch &sc = scratch();
    sc.pos.clear();
    sc.unitToIndex.assign(e - b + 1, -1);
    for (std::size_t i = b; i < e;) {
        sc.unitToIndex[i - b] = std::int32_t(sc.pos.size());
        sc.pos.push_back(std::uint32_t(i));
        i += codePointAt(t.substr(0, e), i).len;
    }
    const std::size_t m = sc.pos.size();
    sc.unitToIndex[e - b] = std::int32_t(m);
    sc.pos.push_back(std::uint32_t(e));

    // The DAG: every dictionary and custom word starting at each character.
    sc.edges.clear();
    sc.edgeStart.resize(m + 1);
    const double single = dict_.minLogProb();
    for (std::size_t k = 0; k < m; ++k) {
        sc.edgeStart[k] = std::uint32_t(sc.edges.size());
        const std::size_t s = sc.pos[k];
        std::uint32_t node = dict_.root(t[s]);
        bool haveSingle = false;
        for (std::size_t u = s + 1; node != 0; ++u) {
            const std::int32_t idx = sc.unitToIndex[u - b];
            if (idx >= 0 && dict_.isWord(node)) {
                sc.edges.push_back({std::uint32_t(idx), dict_.weight(node)});
                haveSingle = haveSingle || std::size_t(idx) == k + 1;
            }
            if (u == e)
                break;
            node = dict_.child(node, t[u]);
        }
        if (!haveSingle)
            sc.edges.push_back({std::uint32_t(k + 1), single});
        if (!user_.empty()) {
            node = 0;
            for (std::size_t u = s; u < e; ++u) {
                node = user_.child(node, t[u]);
                if (node == 0)
                    break;
                const std::int32_t idx = sc.unitToIndex[u + 1 - b];
                if (idx >= 0 && user_.isWord(node))
                    sc.edges.push_back({std::uint32_t(idx), kUserWordBonus});
            }
        }
    }
    sc.edgeStart[m] = std::uint32_t(sc.edges.size());

    // Backward DP for the route of highest probability; on a tie the longer word wins.
    sc.best.assign(m + 1, 0.0);
    sc.next.assign(m + 1, 0);
    for (std::size_t k = m; k-- > 0;) {
        double best = -std::numeric_limits<double>::infinity();
        std::uint32_t arg = std::uint32_t(k + 1);
        for (std::uint32_t x = sc.edgeStart[k]; x < sc.edgeStart[k + 1]; ++x) {
            const Edge &ed = sc.edges[x];
            const double v = ed.weight + sc.best[ed.end];
            if (v > best || (v == best && ed.end > arg)) {
                best = v;
                arg = ed.end;
            }
        }
        sc.best[k] = best;
        sc.next[k] = arg;
    }

    // Walk the route; characters it leaves single are gathered and handed to the HMM, unless
    // together they form a dictionary word the route chose not to take.
    const std::vector<std::uint32_t> &pos = sc.pos;
    std::size_t pending = 0, k = 0;
    bool buffering = false;
    auto flush = [&](std::size_t upTo) {
        if (!buffering)
            return;
        buffering = false;
        if (upTo - pending == 1) {
            emit(pos[pending], pos[upTo] - pos[pending], TokenKind::Word);
            return;
        }
        const std::uint32_t node = dict_.find(t.substr(pos[pending], pos[upTo] - pos[pending]));
        if (node != 0 && dict_.isWord(node))
            emitSingles(t, pos, pending, upTo, emit);
        else
            hmmCut(t, pos, pending, upTo, emit);
    };
    while (k < m) {
        const std::size_t j = sc.next[k];
        if (j == k + 1) {
            if (!buffering) {
                buffering = true;
                pending = k;
            }
        } else {
            flush(k);
            emit(pos[k], pos[j] - pos[k], TokenKind::Word);
        }
        k = j;
    }
    flush(m);
}

} // namespace

std::unique_ptr<Segmenter> loadFromBuffer(
    std::unique_ptr<std::uint8_t[]> bytes, std::size_t size, const std::string &name, std::string *error)
{
    auto seg = std::make_unique<SegmenterImpl>();
    std::string why;
    if (!seg->openOwned(std::move(bytes), size, &why)) {
        if (error)
            *error = name + ": " + why;
        return nullptr;
    }
    return seg;
}

std::unique_ptr<Segmenter> loadFromBuffer(std::vector<std::uint8_t> bytes, const std::string &name, std::string *error)
{
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[bytes.empty() ? 1 : bytes.size()]);
    if (!bytes.empty())
        std::memcpy(copy.get(), bytes.data(), bytes.size());
    return loadFromBuffer(std::move(copy), bytes.size(), name, error);
}

} // namespace detail

std::unique_ptr<Segmenter> Segmenter::openChecked(std::shared_ptr<const void> keep, const std::uint8_t *data,
    std::size_t size, const std::string &name, std::string *error)
{
    auto seg = std::make_unique<detail::SegmenterImpl>();
    std::string why;
    if (!seg->openKept(std::move(keep), data, size, &why)) {
        if (error)
            *error = name + ": " + why;
        return nullptr;
    }
    return seg;
}

std::unique_ptr<Segmenter> Segmenter::load(const std::string &path, std::string *error)
{
    auto failWith = [&](const std::string &why) -> std::unique_ptr<Segmenter> {
        if (error)
            *error = path + ": " + why;
        return nullptr;
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return failWith(std::string("cannot open: ") + std::strerror(errno));
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return failWith(std::string("cannot stat: ") + std::strerror(err));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return failWith("not a regular file");
    }
    const auto size = std::size_t(st.st_size);
    if (size < format::kHeaderSize) {
        ::close(fd);
        return failWith("too short for a header (" + std::to_string(size) + " bytes)");
    }
    // The file is read into memory, not mapped: a mapping dies with SIGBUS when another program
    // truncates or rewrites the file in place while it is in use (an update of the dictionary,
    // a copy over it). A copy in memory stays what it was when it was checked. The storage is
    // not zeroed before the read (new[] of bytes, not a vector): the read fills all of it, and
    // zeroing 15 MB first costs as much as reading them.
    std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[size]);
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, bytes.get() + got, size - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            return failWith(std::string("cannot read: ") + std::strerror(err));
        }
        if (n == 0)
            break;
        got += std::size_t(n);
    }
    ::close(fd);
    if (got != size)
        return failWith(
            "changed while it was read (" + std::to_string(got) + " of " + std::to_string(size) + " bytes)");
    return detail::loadFromBuffer(std::move(bytes), size, path, error);
}

} // namespace orvane::seg
