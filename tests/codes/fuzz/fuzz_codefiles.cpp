// The readers of files from outside: the code data file and the custom dictionary.
#include "orvane/codes/codedata.h"
#include "orvane/codes/customdict.h"
#include "orvane/codes/utf.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);

    std::string error;
    if (auto codes = orvane::codes::CodeData::fromBytes(bytes, "fuzz", &error)) {
        codes->knownCode(u"中国");
        codes->proposedCode(orvane::codes::utf8ToUtf16(bytes.substr(0, 64)));
        codes->containsWord(bytes.substr(0, 32));
    } else if (error.empty()) {
        std::abort();
    }
    // Opened as a checked copy is (sizes only): lookups must stay inside whatever it holds.
    auto image = std::make_shared<std::string>(bytes);
    if (auto codes = orvane::codes::CodeData::openChecked(image, image->data(), image->size(), "fuzz", &error)) {
        codes->knownCode(u"中国");
        codes->proposedCode(orvane::codes::utf8ToUtf16(bytes.substr(0, 64)));
        codes->containsWord(bytes.substr(0, 32));
    }

    static const std::string path = [] {
        char name[] = "/tmp/orvane-fuzz-custom-XXXXXX";
        const int fd = mkstemp(name);
        if (fd >= 0)
            close(fd);
        return std::string(name);
    }();
    if (FILE *f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    orvane::codes::CustomDictionary dict(path);
    dict.refresh();
    for (const auto &[word, code] : dict.words())
        if (!orvane::codes::CustomDictionary::isValidWord(word) || code.empty() || code.size() > 6)
            std::abort();
    return 0;
}
