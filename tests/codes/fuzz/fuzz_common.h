// Shared set-up of the C-boundary fuzzers: the generated data of the build, a throw-away user
// data folder, and buffers with guard bytes after them that must never change.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace fuzz {

inline void setUp()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    char folder[] = "/tmp/orvane-fuzz-XXXXXX";
    if (mkdtemp(folder))
        setenv("XDG_DATA_HOME", folder, 1);
}

struct Guarded {
    std::vector<char> bytes;
    std::size_t size;
    Guarded(std::size_t n, char fill) : bytes(n + 16, char(0xAB)), size(n) { std::memset(bytes.data(), fill, n); }
    char *data() { return bytes.data(); }
    void check() const
    {
        for (std::size_t i = size; i < bytes.size(); ++i)
            if (bytes[i] != char(0xAB))
                std::abort();
    }
};

// The input as a NUL-terminated string (NULs inside end it early, as in C).
inline std::string text(const std::uint8_t *data, std::size_t size)
{
    return std::string(reinterpret_cast<const char *>(data), size);
}

} // namespace fuzz
