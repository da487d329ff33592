// Text files come from outside: any bytes decode without a lone surrogate, and reading them in
// pieces (as a file is read in chunks) decides the same encoding and gives the same text as
// reading them whole.
#include "core/textfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString whole = orvane::decodeText(bytes);
    for (qsizetype i = 0; i < whole.size(); ++i) {
        const QChar c = whole.at(i);
        if (c.isHighSurrogate() && i + 1 < whole.size() && whole.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            std::abort();
    }

    orvane::TextSniffer once;
    once.add(bytes);
    // Pieces of a length taken from the first byte.
    const qsizetype step = size > 0 ? 1 + data[0] % 7 : 1;
    orvane::TextSniffer pieces;
    for (qsizetype at = 0; at < bytes.size(); at += step)
        pieces.add(QByteArrayView(bytes).sliced(at, qMin(step, bytes.size() - at)));
    if (once.encoding() != pieces.encoding() || once.looksBinary() != pieces.looksBinary()
        || once.byteOrderMarkLength() != pieces.byteOrderMarkLength())
        std::abort();

    orvane::TextDecoder decoder(once.encoding(), once.byteOrderMarkLength());
    QString chunked;
    for (qsizetype at = 0; at < bytes.size(); at += step)
        chunked += decoder.decode(QByteArrayView(bytes).sliced(at, qMin(step, bytes.size() - at)));
    chunked += decoder.finish();
    // Only a sequence cut off at the very end may be told apart.
    if (!whole.startsWith(chunked) || whole.size() - chunked.size() > 3)
        std::abort();
    return 0;
}
