// The code scheme: every code is a string of the digits 0-9, at most six digits long.
//
// A character's standard code:
//   * with a four-corner code: its four corner digits, the supplementary fifth digit (0 when
//     the source gives none) and, as sixth digit, the last digit of its stroke count
//     (e.g. 万 1022.7 with 3 strokes -> 102273, 语 3176 with 9 strokes -> 317609); 0 when the
//     stroke count is unknown;
//   * without one: its stroke order, one digit per stroke (1 横 h, 2 竖 s, 3 撇 p, 4 点/捺 n,
//     5 折 z), the first six strokes, 0 for each stroke short of six (乚 -> 500000).
// So every character code has exactly six digits.
// A word's standard code takes digits of its characters' codes:
//   * 2 characters: digits 1, 2 and the last digit of each character;
//   * 3 characters: digit 1 and the last digit of each character;
//   * 4 or more: digit 1 and the last digit of the first and second characters, digit 1 of the
//     third and of the last character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::codes {

inline constexpr std::size_t kMaxCodeLength = 6;

// True for 1 to 6 ASCII digits.
bool isValidCode(std::string_view code);

// Stroke letters h s p n z (as in the open stroke data) to digits 1-5; empty if any other
// letter occurs.
std::string strokeDigits(std::string_view strokeLetters);

// fourCorner as in Unihan's kFourCornerCode ("1022.7" or "5030"); empty if none. strokes as
// digits 1-5 (strokeDigits). Returns empty when neither gives a code.
std::string characterCode(std::string_view fourCorner, std::string_view strokes);

// The word rule above. One code gives that code itself; any empty code gives empty.
std::string wordCode(const std::vector<std::string> &characterCodes);

} // namespace orvane::codes

namespace orvane::codes {

struct CodeFrequency {
    std::string code;
    std::uint64_t frequency = 0;
};

// Share of running text (by frequency) that falls on items which are not the first candidate
// of their code when the candidates of one code are ordered by frequency. 0 for no text.
double nonFirstCandidateShare(const std::vector<CodeFrequency> &items);

} // namespace orvane::codes
