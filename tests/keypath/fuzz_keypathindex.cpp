// The index of the code database is read from the per-user cache folder, where anything may
// have been left: whatever its bytes, reading it and making a text's table from it must neither
// crash nor read outside them. The checksum is not compared, so that the bytes reach the reader.
#include "segtest/keypath.h"
#include "segtest/keypathindex.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size)); // a copy: aligned
    for (bool checkSum : {true, false}) {
        const std::optional<orvane::KeyPathIndex> index = orvane::KeyPathIndex::fromBytes(bytes, checkSum);
        if (!index)
            continue;
        const QString text = QStringLiteral("中国人民进步，我们是学生𠀀中");
        const orvane::KeyPath path = orvane::KeyPathTable::fromIndex(*index, {}, text).shortestPath(text);
        QString spelled;
        for (const orvane::KeyPathStep &s : path.steps)
            spelled += s.text;
        if (spelled != text)
            std::abort();
    }
    return 0;
}
