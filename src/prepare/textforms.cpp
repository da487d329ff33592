#include "prepare/textforms.h"

namespace orvane {

namespace {

struct Pair {
    char16_t narrow;
    char16_t wide;
};

constexpr Pair kSigns[] = {
    {0x00A2, 0xFFE0},
    {0x00A3, 0xFFE1},
    {0x00AC, 0xFFE2},
    {0x00AF, 0xFFE3},
    {0x00A6, 0xFFE4},
    {0x00A5, 0xFFE5},
    {0x20A9, 0xFFE6},
};

} // namespace

QChar widen(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= 0x21 && u <= 0x7E)
        return QChar(char16_t(u - 0x21 + 0xFF01));
    if (u == 0x20)
        return QChar(char16_t(0x3000));
    for (const Pair &p : kSigns) {
        if (p.narrow == u)
            return QChar(p.wide);
    }
    return c;
}

QString widen(const QString &s)
{
    QString out = s;
    for (QChar &c : out)
        c = widen(c);
    return out;
}

QChar narrow(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= 0xFF01 && u <= 0xFF5E)
        return QChar(char16_t(u - 0xFF01 + 0x21));
    if (u == 0x3000)
        return QChar(char16_t(0x20));
    for (const Pair &p : kSigns) {
        if (p.wide == u)
            return QChar(p.narrow);
    }
    return c;
}

bool textEqual(QChar a, QChar b)
{
    if (a == b)
        return true;
    return narrow(a).toCaseFolded() == narrow(b).toCaseFolded();
}

bool textEqual(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (!textEqual(a[i], b[i]))
            return false;
    }
    return true;
}

} // namespace orvane
