// Filter lists come from outside (edited by hand, made on other systems): read anything without
// crashing; every entry is one non-empty line, and the list we write reads back as the same
// entries.
#include "prepare/symbolfilters.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList entries = orvane::parseFilterList(bytes);
    for (const QString &e : entries) {
        if (e.isEmpty() || e.contains(u'\r') || e.contains(u'\n'))
            std::abort();
    }
    if (orvane::parseFilterList(orvane::filterListBytes(entries)) != entries)
        std::abort();
    return 0;
}
