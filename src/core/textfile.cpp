#include "core/textfile.h"

#include "core/savefile.h"

#include <QFile>
#include <QStringDecoder>

namespace orvane {

namespace {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int len = 0;
        char32_t min = 0;
        char32_t cp = 0;
        if ((c & 0xE0) == 0xC0) {
            len = 2; min = 0x80; cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3; min = 0x800; cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4; min = 0x10000; cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > n)
            return false;
        for (int k = 1; k < len; ++k) {
            const unsigned char cc = p[i + k];
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

QString decodeWith(QStringConverter::Encoding encoding, QByteArrayView bytes)
{
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    return decoder.decode(bytes);
}

QString decodeGb18030(const QByteArray &bytes)
{
    // Qt's own converters do not cover GB18030; ICU through QStringDecoder's name lookup does
    // where Qt was built with it (Debian's is).
    QStringDecoder decoder("GB18030", QStringDecoder::Flag::Stateless);
    if (decoder.isValid())
        return decoder.decode(bytes);
    return decodeWith(QStringConverter::Latin1, bytes);
}

// UTF-16 input may hold halves of surrogate pairs that stand alone; they are no characters and
// could not be written back, so they become U+FFFD like any other undecodable input.
QString withoutLoneSurrogates(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

} // namespace

TextEncoding detectEncoding(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return TextEncoding::Utf8Bom;
    if (bytes.startsWith("\xFF\xFE"))
        return TextEncoding::Utf16LE;
    if (bytes.startsWith("\xFE\xFF"))
        return TextEncoding::Utf16BE;
    return isValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Gb18030;
}

QString decodeText(const QByteArray &bytes)
{
    switch (detectEncoding(bytes)) {
    case TextEncoding::Utf8Bom:
        return decodeWith(QStringConverter::Utf8, QByteArrayView(bytes).sliced(3));
    case TextEncoding::Utf16LE:
        return withoutLoneSurrogates(decodeWith(QStringConverter::Utf16LE, QByteArrayView(bytes).sliced(2)));
    case TextEncoding::Utf16BE:
        return withoutLoneSurrogates(decodeWith(QStringConverter::Utf16BE, QByteArrayView(bytes).sliced(2)));
    case TextEncoding::Utf8:
        return decodeWith(QStringConverter::Utf8, bytes);
    case TextEncoding::Gb18030:
        return decodeGb18030(bytes);
    }
    return {};
}

bool readTextFile(const QString &path, QString *text, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("无法读取文件“%1”：%2").arg(path, file.errorString());
        return false;
    }
    *text = decodeText(file.readAll());
    return true;
}

bool writeTextFile(const QString &path, const QString &text, QString *error)
{
    return saveFile(path, text.toUtf8(), error);
}

} // namespace orvane
