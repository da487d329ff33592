// libFuzzer target: segment(), marks() and custom words on arbitrary UTF-16 text, checked for
// the promises of the interface (cover, one mark per unit, neighbouring words differ).
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
    // Symbols are '2' and runs of letters and digits '4' throughout. A word carries one mark, '0'
    // or '1', except on the letters and digits joined to it ('4': 2001年) and the symbols inside a
    // custom word ('2'). Where two tokens touch, word marks differ, so every word stands apart.
    const auto isWordMark = [](char16_t m) { return m == u'0' || m == u'1'; };
    std::size_t at = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const auto &t = tokens[i];
        if (t.begin != at || t.length == 0)
            __builtin_trap();
        at += t.length;
        char16_t wordMark = 0;
        for (std::size_t j = t.begin; j < at; ++j) {
            const char16_t m = marks[j];
            if (t.kind == orvane::seg::TokenKind::Symbol && m != u'2')
                __builtin_trap();
            if (t.kind == orvane::seg::TokenKind::Alnum && m != u'4')
                __builtin_trap();
            if (t.kind == orvane::seg::TokenKind::Word) {
                if (!isWordMark(m) && m != u'2' && m != u'4')
                    __builtin_trap();
                if (isWordMark(m)) {
                    if (wordMark && m != wordMark)
                        __builtin_trap();
                    wordMark = m;
                }
            }
        }
        if (i > 0 && isWordMark(marks[t.begin]) && marks[t.begin - 1] == marks[t.begin])
            __builtin_trap();
    }
    if (at != text.size())
        __builtin_trap();
    return 0;
}
