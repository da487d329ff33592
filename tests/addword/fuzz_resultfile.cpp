// Segmentation results come from outside: any bytes parse without crashing, no item is empty or
// spans a line, and items written back the way the test window writes them read back the same.
#include "core/textfile.h"
#include "editor/resultfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList items = orvane::parseResultItems(orvane::decodeText(bytes));
    QStringList quotable;
    QString written;
    for (const QString &item : items) {
        if (item.isEmpty() || item.contains(QLatin1Char('\r')) || item.contains(QLatin1Char('\n')))
            std::abort();
        if (item.contains(QLatin1Char('"')))
            continue;
        quotable << item;
        written += QLatin1Char('"') + item + QLatin1String("\"\r\n");
    }
    if (orvane::parseResultItems(written) != quotable)
        std::abort();
    (void)orvane::resultViewText(items);
    (void)orvane::wordFromSelection(orvane::resultViewText(items));
    return 0;
}
