// The compact code data file (orvane-codes.dat) that the shared libraries load: the standard
// code of every character the open data cover, and the word list. Word codes are not stored:
// they follow from the character codes by the word rule (scheme.h), the same computation that
// wrote the code database, so libraries and database always agree.
//
// Layout (little-endian):
//   "ORVCODE1"  u32 characterCount  u32 wordCount  u32 poolSize
//   characterCount x { u32 codePoint; char code[8] (NUL-padded) }   strictly ascending
//   wordCount x u32 offset into the pool                             strictly ascending by bytes
//   pool: the words, UTF-8, each followed by NUL, in the order of the offsets and nothing between
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvane::codes {

class CodeData {
public:
    // Reads and checks the file. On failure returns nullptr and sets *error to a message that
    // names the file and what is wrong with it.
    static std::unique_ptr<CodeData> load(const std::string &path, std::string *error);
    // The same from bytes already in memory; name is used in messages.
    static std::unique_ptr<CodeData> fromBytes(std::string bytes, const std::string &name, std::string *error);
    // Over an image that an earlier load() checked whole, kept elsewhere (a mapped copy in the
    // cache folder) and held alive by keep: only its header and sizes are checked again. Lookups
    // never leave the image, whatever it holds.
    static std::unique_ptr<CodeData> openChecked(
        std::shared_ptr<const void> keep, const char *data, std::size_t size, const std::string &name, std::string *error);
    // The bytes in use, as they were checked.
    std::string_view image() const { return {m_data, m_size}; }
    // The file contents for these characters and words (duplicates are dropped).
    static std::string serialize(
        std::vector<std::pair<char32_t, std::string>> characters, std::vector<std::string> wordsUtf8);

    // Standard code of one character; empty if the data do not cover it.
    std::string_view characterCode(char32_t codePoint) const;
    bool containsWord(std::string_view utf8) const;

    // Standard code of a character or word of the word list; empty for anything else.
    std::string knownCode(std::u16string_view item) const;
    // The code the scheme gives this text: a character's code, or the word rule over its
    // characters; empty if a character has no code.
    std::string proposedCode(std::u16string_view item) const;

    std::size_t characterCount() const { return m_characterCount; }
    std::size_t wordCount() const { return m_wordCount; }

private:
    CodeData() = default;
    enum class Check { Whole, Sizes };
    static std::unique_ptr<CodeData> checked(std::shared_ptr<const void> keep, const char *data, std::size_t size,
        const std::string &name, std::string *error, Check check = Check::Whole);
    std::shared_ptr<const void> m_keep; // holds the bytes
    const char *m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_characterCount = 0;
    std::size_t m_wordCount = 0;
    std::size_t m_charactersAt = 0;
    std::size_t m_wordsAt = 0;
    std::size_t m_poolAt = 0;
    std::size_t m_poolSize = 0;

    std::uint32_t u32(std::size_t at) const;
    std::string_view word(std::size_t index) const;
};

} // namespace orvane::codes
