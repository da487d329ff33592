// Convert / ConvertN / ConvertAdaptor on arbitrary bytes: a NUL-terminated string of digits
// within the buffer, never beyond it.
#include "fuzz_common.h"
#include "morrin.h"
#include "talvex.h"

namespace {
void checkDigits(const fuzz::Guarded &b)
{
    b.check();
    std::size_t i = 0;
    while (i < b.size && b.bytes[i] != '\0') {
        if (b.bytes[i] < '0' || b.bytes[i] > '9')
            std::abort();
        ++i;
    }
    if (b.size > 0 && i == b.size)
        std::abort(); // no terminator within the buffer
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::setUp();
    TalvexSetDataFolder(ORVANE_TEST_DATA_DIR "/");
    MorrinSetDataFolder(ORVANE_TEST_DATA_DIR "/");
    if (size == 0)
        return 0;
    const int16_t declared = static_cast<int16_t>(static_cast<int8_t>(data[0]));
    const std::string word = fuzz::text(data + 1, size - 1);

    fuzz::Guarded ten(10, '\0');
    Convert(word.c_str(), ten.data(), declared);
    if (declared > 0)
        checkDigits(ten);
    ten.check();

    const std::size_t n = data[0] % 12;
    fuzz::Guarded exact(n, 'x');
    ConvertN(word.c_str(), exact.data(), static_cast<int32_t>(n));
    if (n > 0)
        checkDigits(exact);
    exact.check();

    fuzz::Guarded adaptor(10, '0');
    ConvertAdaptor(word.c_str(), declared, declared, adaptor.data());
    checkDigits(adaptor);
    return 0;
}
