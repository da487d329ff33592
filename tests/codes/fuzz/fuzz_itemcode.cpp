// GetItemCode / GetItemCodeN / AddWord on arbitrary bytes: six bytes at most (or the size
// given), a result of -1, 0 or 1, and a code of digits padded with blanks.
#include "fuzz_common.h"
#include "talvex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::setUp();
    TalvexSetDataFolder(ORVANE_TEST_DATA_DIR "/");
    if (size == 0)
        return 0;
    // First byte: the size callers pass, and now and then: add the rest as a custom word first.
    const int16_t declared = static_cast<int16_t>(static_cast<int8_t>(data[0]));
    const std::string item = fuzz::text(data + 1, size - 1);
    if ((data[0] & 0xE0) == 0xE0) // now and then, so that the custom dictionary stays small
        AddWord("12", item.c_str());

    fuzz::Guarded code(6, ' ');
    const int16_t r = GetItemCode(item.c_str(), code.data(), declared);
    code.check();
    if (r != -1 && r != 0 && r != 1)
        std::abort();
    if (r == 1)
        for (int i = 0; i < 6 && i < declared; ++i)
            if (!(code.data()[i] == ' ' || (code.data()[i] >= '0' && code.data()[i] <= '9')))
                std::abort();

    const std::size_t n = data[0] % 12;
    fuzz::Guarded exact(n, 'x');
    GetItemCodeN(item.c_str(), exact.data(), static_cast<int32_t>(n));
    exact.check();
    return 0;
}
