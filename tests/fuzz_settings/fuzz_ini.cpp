// Settings files and text files come from outside: parse anything without crashing, and what we
// write must read back as written.
#include "core/textfile.h"
#include "settings/inifile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)orvane::decodeText(bytes);
    const orvane::IniParseResult parsed = orvane::parseIni(bytes);
    const QByteArray written = orvane::writeIni(parsed.entries);
    const orvane::IniParseResult again = orvane::parseIni(written);
    if (again.entries.size() != parsed.entries.size())
        std::abort();
    for (qsizetype i = 0; i < parsed.entries.size(); ++i) {
        if (again.entries[i].key != parsed.entries[i].key || again.entries[i].value != parsed.entries[i].value)
            std::abort();
    }
    return 0;
}
