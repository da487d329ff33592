// DivideSentence / DivideSentenceN on arbitrary bytes: the marks count is the UTF-16 length of
// the decoding, every mark is one of 0 1 2 4, nothing is written past the buffer.
#include "fuzz_common.h"
#include "talvex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::setUp();
    const std::string input = fuzz::text(data, size);
    const char *folder = ORVANE_TEST_DATA_DIR "/";
    // The N variant with no room tells how many units the text decodes to.
    fuzz::Guarded probe(0, 0);
    const int32_t units = DivideSentenceN(folder, input.c_str(), probe.data(), 0);
    probe.check();
    if (units < 0)
        std::abort();
    fuzz::Guarded marks(static_cast<std::size_t>(units), '\0');
    if (DivideSentence(folder, input.c_str(), marks.data()) != units)
        std::abort();
    marks.check();
    for (int32_t i = 0; i < units; ++i) {
        const char m = marks.data()[i];
        if (m != '0' && m != '1' && m != '2' && m != '4')
            std::abort();
    }
    const std::size_t half = static_cast<std::size_t>(units) / 2;
    fuzz::Guarded part(half, 'x');
    DivideSentenceN(folder, input.c_str(), part.data(), static_cast<int32_t>(half));
    part.check();
    return 0;
}
