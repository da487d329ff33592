// The text of a test comes from any file: any UTF-16, lone surrogates and stray CR included, must
// give a path whose steps spell the text (without its trailing line breaks) and whose keys add up.
#include "segtest/keypath.h"

#include <cstdint>
#include <cstdlib>

namespace {

const orvane::KeyPathTable &table()
{
    static const orvane::KeyPathTable t = [] {
        orvane::KeyPathTable t;
        t.addItem(QStringLiteral("100001"), QStringLiteral("中"), 0);
        t.addItem(QStringLiteral("200002"), QStringLiteral("国"), 1);
        t.addItem(QStringLiteral("200002"), QStringLiteral("中国"), 2);
        t.addItem(QStringLiteral("3"), QStringLiteral("𠀀"), 3); // outside the BMP
        t.addItem(QStringLiteral("34"), QStringLiteral("𠀀中"), 4);
        t.finish();
        return t;
    }();
    return t;
}

} // namespace

// Input: the text as UTF-16 code units, little-endian.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString text;
    for (size_t i = 0; i + 1 < size; i += 2)
        text.append(QChar(char16_t(data[i] | (data[i + 1] << 8))));
    const orvane::KeyPath path = table().shortestPath(text);
    QString spelled;
    int keys = 0;
    for (const orvane::KeyPathStep &s : path.steps) {
        if (s.keys < 1 || s.keys > 7)
            std::abort();
        keys += s.keys;
        spelled += s.text;
    }
    while (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    if (spelled != text || keys != path.keys || path.characters > text.size()
        || path.wordCharacters > path.chineseCharacters)
        std::abort();
    return 0;
}
