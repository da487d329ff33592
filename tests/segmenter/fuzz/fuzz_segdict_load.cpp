// libFuzzer target: the dictionary loader on arbitrary bytes. Starts from the real dictionary
// (pass it, or a folder with it, as the corpus); a file it accepts must also segment text. The
// same bytes are opened as a checked copy is (layout only, the trie checked as it is read): an
// image accepted that way must segment text without reading outside it.
#include "segmenter_impl.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

void segmentAll(const orvane::seg::Segmenter &seg)
{
    const std::u16string text = u"我来自北京清华大学，2001年12月31日二○○一年abc１２３！\r\n𠀋";
    const std::u16string m = seg.marks(text);
    if (m.size() != text.size())
        __builtin_trap();
    seg.segment(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    {
        // In storage of exactly the input's size, so that a read past it is caught.
        auto image = std::make_shared<std::vector<std::uint8_t>>(data, data + size);
        std::string error;
        if (auto seg = orvane::seg::Segmenter::openChecked(image, image->data(), image->size(), "fuzz", &error))
            segmentAll(*seg);
        else if (error.rfind("fuzz: ", 0) != 0)
            __builtin_trap();
    }
    std::string error;
    auto seg = orvane::seg::detail::loadFromBuffer(std::vector<std::uint8_t>(data, data + size), "fuzz", &error);
    if (!seg) {
        if (error.rfind("fuzz: ", 0) != 0)
            __builtin_trap(); // the error must name the file
        return 0;
    }
    segmentAll(*seg);
    seg->addUserWord(u"清华");
    segmentAll(*seg);
    return 0;
}
