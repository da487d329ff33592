// libFuzzer target: the dictionary loader on arbitrary bytes. Starts from the real dictionary
// (pass it, or a folder with it, as the corpus); a file it accepts must also segment text.
#include "segmenter_impl.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::string error;
    auto seg = orvane::seg::detail::loadFromBuffer(std::vector<std::uint8_t>(data, data + size), "fuzz", &error);
    if (!seg) {
        if (error.rfind("fuzz: ", 0) != 0)
            __builtin_trap(); // the error must name the file
        return 0;
    }
    const std::u16string text = u"我来自北京清华大学，2001年12月31日二○○一年abc１２３！\r\n𠀋";
    const std::u16string m = seg->marks(text);
    if (m.size() != text.size())
        __builtin_trap();
    seg->addUserWord(u"清华");
    seg->segment(text);
    return 0;
}
