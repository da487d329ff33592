// Short codes: the most frequent characters and words can be typed with fewer digits than
// their standard code.
//
// Each pass gives codes of one length L. For every prefix P of length L of the standard codes of
// the items taking part in the pass, the item that gets P is, among those whose standard code
// starts with P, is longer than L and that have fewer than two short codes, the one with the
// fewest short codes so far, then the most frequent (ties: smaller text). A prefix that is itself
// the full standard code of some item, or already a short code, is not given out.
//   * characters: the 3000 most frequent take part in the passes L = 1, 2, 3, 4;
//   * words of two or more characters: the 20000 most frequent take part in L = 4, 5.
// An item's first short code (jm1) is the shorter one, the second (jm2) the longer one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orvane::codes {

struct CodedItem {
    std::u16string text;
    std::string code; // standard code
    std::uint64_t frequency = 0;
    std::string shortCodes[2]; // jm1, jm2; empty when none
};

struct ShortCodePass {
    bool words = false;         // false: single characters; true: words of 2+ characters
    std::size_t candidates = 0; // how many of the most frequent items take part
    std::size_t length = 0;     // short code length
};

// The passes described above, in order.
std::vector<ShortCodePass> defaultShortCodePasses();

// Fills shortCodes of items. items hold characters and words together (a word is an item whose
// text has two or more code points).
void assignShortCodes(
    std::vector<CodedItem> &items, const std::vector<ShortCodePass> &passes = defaultShortCodePasses());

} // namespace orvane::codes
