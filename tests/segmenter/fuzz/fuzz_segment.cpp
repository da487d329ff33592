// libFuzzer target: segment(), marks() and custom words on arbitrary UTF-16 text, checked for
// the promises of the interface (cover, one mark per unit, neighbouring tokens differ).
#include "orvane/segmenter.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
orvane::seg::Segmenter *segmenter()
{
    static auto seg = [] {
        std::string error;
        auto s = orvane::seg::Segmenter::load(ORVANE_SEGDICT, &error);
        if (!s) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::abort();
        }
        return s;
    }();
    return seg.get();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses whether a custom word is taken from the front of the text. Custom
    // words go to a second segmenter that is reloaded every 256 words, so that loading (the slow
    // part) stays rare and the custom words of one input do not pile up for long.
    const std::uint8_t mode = data[0];
    ++data;
    --size;
    std::u16string text(size / 2, u'\0');
    std::memcpy(text.data(), data, text.size() * 2);
    auto *seg = segmenter();
    if (mode & 1) {
        static std::unique_ptr<orvane::seg::Segmenter> custom;
        static int added = 0;
        if (!custom || ++added % 256 == 0) {
            std::string error;
            custom = orvane::seg::Segmenter::load(ORVANE_SEGDICT, &error);
        }
        const std::size_t n = std::min<std::size_t>(text.size(), (mode >> 1) % 8);
        const std::u16string_view word = std::u16string_view(text).substr(0, n);
        custom->addUserWord(word);
        if (n && !custom->contains(word))
            __builtin_trap();
        seg = custom.get();
    }
    const auto tokens = seg->segment(text);
    const std::u16string marks = seg->marks(text);
    if (marks.size() != text.size())
        __builtin_trap();
    std::size_t at = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const auto &t = tokens[i];
        if (t.begin != at || t.length == 0)
            __builtin_trap();
        at += t.length;
        for (std::size_t j = t.begin; j < at; ++j)
            if (marks[j] != marks[t.begin])
                __builtin_trap();
        if (i > 0 && marks[t.begin - 1] == marks[t.begin])
            __builtin_trap();
        const char16_t want = t.kind == orvane::seg::TokenKind::Symbol ? u'2'
            : t.kind == orvane::seg::TokenKind::Alnum                  ? u'4'
                                                                       : marks[t.begin];
        if (marks[t.begin] != want || (t.kind == orvane::seg::TokenKind::Word && want != u'0' && want != u'1'))
            __builtin_trap();
    }
    if (at != text.size())
        __builtin_trap();
    return 0;
}
