// Rich-text files come from outside: any bytes must be read or refused without a crash, and what
// the reader accepts must survive our own writer and reader unchanged.
#include "prepare/richtext.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument doc;
    if (!orvane::readRtf(bytes, &doc))
        return 0;
    QTextDocument again;
    if (!orvane::readRtf(orvane::writeRtf(doc), &again))
        std::abort();
    if (again.toPlainText() != doc.toPlainText())
        std::abort();
    return 0;
}
