// Character classes used to cut a text into words, Latin/digit runs and symbol runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orvane::seg::chars {

enum class Class : std::uint8_t {
    Han,    // goes to the dictionary route: CJK ideographs, kana, hangul, bopomofo
    Alnum,  // Latin letters and digits, ASCII and full-width; letters of other alphabets
    Symbol, // punctuation, symbols, blanks, line breaks, controls, lone surrogates
    Circle, // U+25CB WHITE CIRCLE: a zero inside Chinese numerals (二○○一), a symbol elsewhere
};

inline constexpr bool isHigh(char16_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}
inline constexpr bool isLow(char16_t u)
{
    return u >= 0xDC00 && u <= 0xDFFF;
}

// The code point at text[i] and its length in UTF-16 units. A surrogate that is not part of a
// proper pair stands for itself, one unit long.
struct CodePoint {
    char32_t cp;
    std::uint32_t len;
};
inline CodePoint codePointAt(std::u16string_view t, std::size_t i)
{
    const char16_t u = t[i];
    if (isHigh(u) && i + 1 < t.size() && isLow(t[i + 1]))
        return {char32_t(0x10000 + ((u - 0xD800) << 10) + (t[i + 1] - 0xDC00)), 2};
    return {u, 1};
}

inline constexpr bool isAsciiDigit(char32_t c)
{
    return c >= '0' && c <= '9';
}
inline constexpr bool isWideDigit(char32_t c)
{
    return c >= 0xFF10 && c <= 0xFF19;
}
inline constexpr bool isDigit(char32_t c)
{
    return isAsciiDigit(c) || isWideDigit(c);
}
inline constexpr int digitValue(char32_t c)
{
    return isAsciiDigit(c) ? int(c - '0') : isWideDigit(c) ? int(c - 0xFF10) : -1;
}
inline constexpr bool isDecimalPoint(char32_t c)
{
    return c == '.' || c == 0xFF0E;
}
inline constexpr bool isPercent(char32_t c)
{
    return c == '%' || c == 0xFF05 || c == 0x2030;
}

inline constexpr Class classify(char32_t c)
{
    if (c < 0x80) {
        if (isAsciiDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            return Class::Alnum;
        return Class::Symbol;
    }
    // Latin-1 letters, Latin Extended, IPA, Greek, Cyrillic and the other alphabets up to
    // Latin Extended Additional: letters that are typed outside the Chinese input method.
    if (c >= 0xC0 && c <= 0x24F)
        return (c == 0xD7 || c == 0xF7) ? Class::Symbol : Class::Alnum;
    if (c >= 0x250 && c <= 0x2AF)
        return Class::Alnum;
    if (c >= 0x370 && c <= 0x1FFF) {
        if (c >= 0x1100 && c <= 0x11FF)
            return Class::Han; // hangul jamo
        if (c == 0x37E || c == 0x387)
            return Class::Symbol; // Greek question mark, ano teleia
        return Class::Alnum;
    }
    if (isWideDigit(c) || (c >= 0xFF21 && c <= 0xFF3A) || (c >= 0xFF41 && c <= 0xFF5A))
        return Class::Alnum;
    if (c == 0x25CB)
        return Class::Circle;
    if (c == 0x3005 || c == 0x3006 || c == 0x3007)
        return Class::Han; // 々 〆 〇
    if (c >= 0x3040 && c <= 0x30FF && c != 0x30FB)
        return Class::Han; // kana (not ・)
    if (c >= 0x3100 && c <= 0x312F)
        return Class::Han; // bopomofo
    if (c >= 0x3130 && c <= 0x318F)
        return Class::Han; // hangul compatibility jamo
    if (c >= 0x31A0 && c <= 0x31BF)
        return Class::Han;
    if (c >= 0x31F0 && c <= 0x31FF)
        return Class::Han;
    if (c >= 0x3400 && c <= 0x4DBF)
        return Class::Han;
    if (c >= 0x4E00 && c <= 0x9FFF)
        return Class::Han;
    if (c >= 0xAC00 && c <= 0xD7AF)
        return Class::Han; // hangul syllables
    if (c >= 0xF900 && c <= 0xFAFF)
        return Class::Han;
    if (c >= 0xFF66 && c <= 0xFF9F)
        return Class::Han; // half-width katakana
    if (c >= 0xFFA0 && c <= 0xFFDC)
        return Class::Han; // half-width hangul
    if (c >= 0x20000 && c <= 0x3FFFF)
        return Class::Han; // ideographs beyond the BMP
    return Class::Symbol;
}

// Chinese numerals: digit value, or -1.
inline constexpr int chineseDigit(char32_t c)
{
    switch (c) {
    case 0x3007:
    case 0x25CB:
    case U'零': return 0;
    case U'一': return 1;
    case U'二':
    case U'两': return 2;
    case U'三': return 3;
    case U'四': return 4;
    case U'五': return 5;
    case U'六': return 6;
    case U'七': return 7;
    case U'八': return 8;
    case U'九': return 9;
    default: return -1;
    }
}
// Chinese numeral units: 十 百 千 万 亿, or 0.
inline constexpr std::uint64_t chineseUnit(char32_t c)
{
    switch (c) {
    case U'十': return 10;
    case U'百': return 100;
    case U'千': return 1000;
    case U'万': return 10000;
    case U'亿': return 100000000;
    default: return 0;
    }
}
inline constexpr bool isChineseNumeral(char32_t c)
{
    return chineseDigit(c) >= 0 || chineseUnit(c) != 0;
}

} // namespace orvane::seg::chars
