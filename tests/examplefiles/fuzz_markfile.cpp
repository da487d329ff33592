// Mark files come from outside: any bytes are read or refused without a crash, and marks that
// are accepted are written back to the same marks.
#include "segtest/examplefiles.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QString marks;
    QString error;
    if (!orvane::parseMarkFile(bytes, &marks, &error)) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    for (QChar c : marks) {
        if (c != u'0' && c != u'1' && c != u'2' && c != u'4')
            std::abort();
    }
    QString again;
    if (!orvane::parseMarkFile(orvane::markFileBytes(marks), &again, &error) || again != marks)
        std::abort();
    (void)orvane::marksMismatch(marks, qsizetype(size));
    (void)orvane::separatedText(QString(marks.size(), u'字'), marks);
    return 0;
}
