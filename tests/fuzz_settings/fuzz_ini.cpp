// Settings files and text files come from outside: parse anything without crashing, and what we
// write must read back as the same keys and values (the order of sections may change).
#include "core/textfile.h"
#include "settings/inifile.h"

#include <QMap>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)orvane::decodeText(bytes);
    const orvane::IniParseResult parsed = orvane::parseIni(bytes);
    const QByteArray written = orvane::writeIni(parsed.entries);
    const orvane::IniParseResult again = orvane::parseIni(written);
    QMap<QString, QString> before, after;
    for (const orvane::IniEntry &e : parsed.entries)
        before.insert(e.key, e.value);
    for (const orvane::IniEntry &e : again.entries)
        after.insert(e.key, e.value);
    if (before != after)
        std::abort();
    return 0;
}
