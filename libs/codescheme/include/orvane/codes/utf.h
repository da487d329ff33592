// Text conversion at the C boundary of the language libraries.
//
// Text arrives as UTF-8 from callers that count characters in UTF-16 units (QString). The
// decoding rule is fixed so that both sides agree on lengths: every well-formed UTF-8 sequence
// becomes its code point (one UTF-16 unit in the BMP, two above it); every byte that does not
// start or belong to a well-formed sequence (stray continuation bytes, truncated sequences,
// overlong forms, encoded surrogates, values above U+10FFFF, 0xC0/0xC1/0xF5-0xFF) becomes one
// U+FFFD, i.e. one UTF-16 unit. Encoding UTF-16 to UTF-8 turns a lone surrogate into U+FFFD.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orvane::codes {

std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);

// Number of UTF-16 units that utf8ToUtf16 would produce, without building the string.
std::size_t utf16Length(std::string_view utf8);

// Code points of a UTF-16 string; a lone surrogate yields U+FFFD.
std::u32string utf16ToCodePoints(std::u16string_view utf16);

} // namespace orvane::codes
