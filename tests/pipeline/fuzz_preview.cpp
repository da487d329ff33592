// Text files come from outside: any bytes give a preview or a refusal, the preview follows the
// length rules, and reading in chunks gives what cleaning the whole decoded text gives.
#include "prepare/pipeline.h"

#include <QBuffer>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const orvane::Preview p = orvane::loadPreview(buffer);
    if (p.status == orvane::PreviewStatus::Accepted
        && (p.text.size() < orvane::kMinTextLength || p.text.size() > orvane::kMaxTextLength))
        std::abort();
    if (p.status == orvane::PreviewStatus::Accepted) {
        // Marks of any shape must never make stage 2 read or write out of bounds.
        QString marks;
        for (qsizetype i = 0; i < p.text.size(); ++i)
            marks += QLatin1Char("01234 x"[size_t(p.text[i].unicode()) % 7]);
        const orvane::PreparedText t = orvane::prepareText(p.text, marks, {true, true, {",", "。", "ab"}});
        if (t.text.size() != t.marks.size())
            std::abort();
        (void)orvane::spacedForm(t);
    }
    return 0;
}
