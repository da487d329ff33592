// Word segmentation of Chinese text.
//
// Data flow: a compact binary dictionary (built from the open word list and unknown-word model
// by tools/) is loaded once; segment() cuts a UTF-16 text into tokens; marks() turns the tokens
// into one mark character per UTF-16 unit of the text, the form the rest of the program uses:
//   '0'/'1'  alternate from word to word,
//   '2'      a run of punctuation, symbols, blanks or line-break characters,
//   '4'      a run of Latin letters and digits (ASCII and full-width).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::seg {

enum class TokenKind { Word, Symbol, Alnum };

struct Token {
    std::size_t begin = 0;  // offset in UTF-16 units
    std::size_t length = 0; // length in UTF-16 units
    TokenKind kind = TokenKind::Word;
};

class Segmenter {
public:
    virtual ~Segmenter() = default;

    // Loads the binary dictionary at path. On failure returns nullptr and sets *error to a
    // message that names the file and what is wrong with it.
    static std::unique_ptr<Segmenter> load(const std::string &path, std::string *error);

    // Opens a dictionary image that an earlier load() checked whole, kept elsewhere (a mapped
    // copy in the cache folder) and held alive by keep. Only its header, section layout and small
    // tables are checked again; the trie is checked where a lookup reads it, so that no image,
    // whatever it holds, makes a lookup leave it. name is used in error messages.
    static std::unique_ptr<Segmenter> openChecked(std::shared_ptr<const void> keep, const std::uint8_t *data,
        std::size_t size, const std::string &name, std::string *error);

    // The dictionary image in use, as load() checked it (custom words are not part of it).
    virtual std::span<const std::uint8_t> image() const = 0;

    virtual std::vector<Token> segment(std::u16string_view text) const = 0;

    // Exactly text.size() marks.
    virtual std::u16string marks(std::u16string_view text) const = 0;

    // A custom word: preferred by every later segmentation of this object.
    virtual void addUserWord(std::u16string_view word) = 0;

    // True if the word is in the dictionary or among the custom words.
    virtual bool contains(std::u16string_view word) const = 0;
};

} // namespace orvane::seg
