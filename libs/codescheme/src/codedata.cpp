#include "orvane/codes/codedata.h"

#include "orvane/codes/scheme.h"
#include "orvane/codes/utf.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane::codes {
namespace {

constexpr char kMagic[8] = {'O', 'R', 'V', 'C', 'O', 'D', 'E', '1'};
constexpr std::size_t kHeader = 8 + 3 * 4;
constexpr std::size_t kCharRecord = 12;
constexpr std::size_t kCodeField = 8;

void putU32(std::string &out, std::uint32_t v)
{
    for (int k = 0; k < 4; ++k)
        out += static_cast<char>((v >> (8 * k)) & 0xFF);
}

bool fail(std::string *error, const std::string &message)
{
    if (error)
        *error = message;
    return false;
}

// The number of NUL bytes, eight bytes at a time: a byte of t is 0x80 exactly where the byte of
// x is zero; the flags are summed in byte-wide counters that are emptied before they overflow.
std::uint64_t nulCount(const char *data, std::size_t size)
{
    constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7Full;
    std::uint64_t total = 0;
    std::size_t i = 0;
    while (i + 8 <= size) {
        std::uint64_t counters = 0;
        for (int round = 0; round < 255 && i + 8 <= size; ++round, i += 8) {
            std::uint64_t x;
            std::memcpy(&x, data + i, 8);
            const std::uint64_t t = ~(((x & low7) + low7) | x | low7);
            counters += t >> 7;
        }
        total += (counters * 0x0101010101010101ull) >> 56;
    }
    for (; i < size; ++i)
        total += data[i] == '\0';
    return total;
}

// Whether word a sorts strictly before word b, bytes compared unsigned. Both lie in the pool, each
// followed by its NUL, so the first eight bytes of each can be compared at once when the buffer
// (up to end) holds them: a difference at or before the shorter word's NUL decides; a NUL there
// stands for the end of a word, which sorts first. Anything else goes through the full compare.
bool ascending(std::string_view a, std::string_view b, const char *end)
{
    if constexpr (std::endian::native == std::endian::little) {
        if (end - a.data() >= 8 && end - b.data() >= 8) {
            std::uint64_t x;
            std::uint64_t y;
            std::memcpy(&x, a.data(), 8);
            std::memcpy(&y, b.data(), 8);
            if (x != y) {
                const auto at = static_cast<std::size_t>(std::countr_zero(x ^ y) / 8);
                if (at <= std::min(a.size(), b.size()))
                    return static_cast<unsigned char>(a.data()[at]) < static_cast<unsigned char>(b.data()[at]);
            }
        }
    }
    return a < b;
}

} // namespace

std::uint32_t CodeData::u32(std::size_t at) const
{
    std::uint32_t v;
    std::memcpy(&v, m_data + at, 4);
    if constexpr (std::endian::native == std::endian::big)
        v = ((v & 0xFF) << 24) | ((v & 0xFF00) << 8) | ((v >> 8) & 0xFF00) | (v >> 24);
    return v;
}

std::string_view CodeData::word(std::size_t index) const
{
    // Each word ends at its NUL inside the pool; the bounds hold for any image, checked or not.
    const std::size_t offset = std::min<std::size_t>(u32(m_wordsAt + 4 * index), m_poolSize);
    const char *start = m_data + m_poolAt + offset;
    const void *nul = std::memchr(start, '\0', m_poolSize - offset);
    return std::string_view(start, nul ? static_cast<const char *>(nul) - start : m_poolSize - offset);
}

std::unique_ptr<CodeData> CodeData::load(const std::string &path, std::string *error)
{
    // One read() straight into storage that is not zeroed first: the file is 5.6 MB and every
    // process that segments a text loads it, so a copy through a stream or a memset of the
    // buffer would cost as much as the read itself.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        fail(error, "cannot open the code data file " + path);
        return nullptr;
    }
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        fail(error, "cannot read the code data file " + path);
        return nullptr;
    }
    const auto size = static_cast<std::size_t>(st.st_size);
    std::unique_ptr<char[]> bytes(new char[size == 0 ? 1 : size]);
    std::size_t got = 0;
    bool failed = false;
    while (got < size) {
        const ssize_t n = ::read(fd, bytes.get() + got, size - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            failed = n < 0;
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (failed) {
        fail(error, "cannot read the code data file " + path);
        return nullptr;
    }
    // A file cut short while it was read is checked as what was read: its sizes do not add up.
    const char *data = bytes.get();
    return checked(std::shared_ptr<char[]>(std::move(bytes)), data, got, path, error);
}

std::unique_ptr<CodeData> CodeData::fromBytes(std::string bytes, const std::string &name, std::string *error)
{
    auto kept = std::make_shared<std::string>(std::move(bytes));
    const char *data = kept->data();
    const std::size_t size = kept->size();
    return checked(std::move(kept), data, size, name, error);
}

std::unique_ptr<CodeData> CodeData::openChecked(
    std::shared_ptr<const void> keep, const char *data, std::size_t size, const std::string &name, std::string *error)
{
    return checked(std::move(keep), data, size, name, error, Check::Sizes);
}

std::unique_ptr<CodeData> CodeData::checked(std::shared_ptr<const void> keep, const char *data, std::size_t size,
    const std::string &name, std::string *error, Check check)
{
    std::unique_ptr<CodeData> d(new CodeData);
    d->m_keep = std::move(keep);
    d->m_data = data;
    d->m_size = size;
    const std::string bad = "the code data file " + name + " is damaged or not a code data file";
    const char *b = data;
    if (size < kHeader || std::memcmp(b, kMagic, sizeof kMagic) != 0) {
        fail(error, bad + " (no header)");
        return nullptr;
    }
    const std::uint64_t chars = d->u32(8);
    const std::uint64_t words = d->u32(12);
    const std::uint64_t pool = d->u32(16);
    if (kHeader + chars * kCharRecord + words * 4 + pool != size) {
        fail(error, bad + " (wrong size)");
        return nullptr;
    }
    d->m_characterCount = chars;
    d->m_wordCount = words;
    d->m_charactersAt = kHeader;
    d->m_wordsAt = kHeader + chars * kCharRecord;
    d->m_poolAt = d->m_wordsAt + words * 4;
    d->m_poolSize = pool;
    if (check == Check::Sizes)
        return d;

    std::uint32_t previous = 0;
    for (std::size_t i = 0; i < chars; ++i) {
        const std::size_t at = d->m_charactersAt + i * kCharRecord;
        const std::uint32_t cp = d->u32(at);
        const std::string_view field(b + at + 4, kCodeField);
        const std::string_view code = field.substr(0, std::min(field.find('\0'), kCodeField));
        if ((i > 0 && cp <= previous) || cp > 0x10FFFF || !isValidCode(code)) {
            fail(error, bad + " (character table)");
            return nullptr;
        }
        for (std::size_t k = code.size(); k < kCodeField; ++k)
            if (field[k] != '\0') {
                fail(error, bad + " (character table)");
                return nullptr;
            }
        previous = cp;
    }
    // The pool is the words in the order of the list, each followed by one NUL, nothing else:
    // then every word's end is the next word's offset, found without searching for the NUL,
    // and the order is checked by comparing neighbours over their known lengths.
    if (words == 0 && pool != 0) {
        fail(error, bad + " (word list)");
        return nullptr;
    }
    const char *poolStart = b + d->m_poolAt;
    std::string_view previousWord;
    for (std::size_t i = 0; i < words; ++i) {
        const std::uint64_t offset = d->u32(d->m_wordsAt + 4 * i);
        const std::uint64_t end = i + 1 < words ? d->u32(d->m_wordsAt + 4 * (i + 1)) : pool;
        if (offset != (i == 0 ? 0 : previousWord.data() - poolStart + previousWord.size() + 1) || end <= offset + 1
            || end > pool || poolStart[end - 1] != '\0') {
            fail(error, bad + " (word list)");
            return nullptr;
        }
        const std::string_view w(poolStart + offset, end - 1 - offset);
        if (i > 0 && !ascending(previousWord, w, poolStart + pool)) {
            fail(error, bad + " (word list order)");
            return nullptr;
        }
        previousWord = w;
    }
    // No NUL inside a word: each word read up to its NUL is the word the list checked.
    if (words > 0 && nulCount(poolStart, pool) != words) {
        fail(error, bad + " (word list)");
        return nullptr;
    }
    return d;
}

std::string CodeData::serialize(
    std::vector<std::pair<char32_t, std::string>> characters, std::vector<std::string> words)
{
    std::erase_if(characters, [](const auto &c) { return c.first > 0x10FFFF || !isValidCode(c.second); });
    std::stable_sort(
        characters.begin(), characters.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    characters.erase(std::unique(characters.begin(), characters.end(),
                         [](const auto &a, const auto &b) { return a.first == b.first; }),
        characters.end());
    std::erase_if(words, [](const std::string &w) { return w.empty() || w.find('\0') != std::string::npos; });
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());

    std::string pool;
    std::string offsets;
    for (const std::string &w : words) {
        putU32(offsets, static_cast<std::uint32_t>(pool.size()));
        pool += w;
        pool += '\0';
    }
    std::string out(kMagic, sizeof kMagic);
    putU32(out, static_cast<std::uint32_t>(characters.size()));
    putU32(out, static_cast<std::uint32_t>(words.size()));
    putU32(out, static_cast<std::uint32_t>(pool.size()));
    for (const auto &[cp, code] : characters) {
        putU32(out, cp);
        std::string field = code;
        field.resize(kCodeField, '\0');
        out += field;
    }
    out += offsets;
    out += pool;
    return out;
}

std::string_view CodeData::characterCode(char32_t cp) const
{
    std::size_t lo = 0;
    std::size_t hi = m_characterCount;
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        const std::size_t at = m_charactersAt + mid * kCharRecord;
        const std::uint32_t v = u32(at);
        if (v == cp) {
            const std::string_view field(m_data + at + 4, kCodeField);
            const std::string_view code = field.substr(0, std::min(field.find('\0'), kCodeField));
            // Checked when the file was loaded; again here for an image opened on its sizes.
            return isValidCode(code) ? code : std::string_view();
        }
        if (v < cp)
            lo = mid + 1;
        else
            hi = mid;
    }
    return {};
}

bool CodeData::containsWord(std::string_view utf8) const
{
    std::size_t lo = 0;
    std::size_t hi = m_wordCount;
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        const std::string_view w = word(mid);
        if (w == utf8)
            return true;
        if (w < utf8)
            lo = mid + 1;
        else
            hi = mid;
    }
    return false;
}

std::string CodeData::proposedCode(std::u16string_view item) const
{
    const std::u32string cps = utf16ToCodePoints(item);
    if (cps.empty())
        return {};
    std::vector<std::string> codes;
    codes.reserve(cps.size());
    for (char32_t cp : cps) {
        const std::string_view c = characterCode(cp);
        if (c.empty())
            return {};
        codes.emplace_back(c);
    }
    return wordCode(codes);
}

std::string CodeData::knownCode(std::u16string_view item) const
{
    const std::u32string cps = utf16ToCodePoints(item);
    if (cps.size() == 1)
        return std::string(characterCode(cps.front()));
    if (cps.size() < 2 || !containsWord(utf16ToUtf8(item)))
        return {};
    return proposedCode(item);
}

} // namespace orvane::codes
