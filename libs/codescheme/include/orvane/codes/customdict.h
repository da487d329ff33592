// The user's custom words: words with codes that the user added (from the program or through
// AddWord / AddAProfessionCi). They live in the per-user data folder,
//   $XDG_DATA_HOME/orvane-tutor/custom-words.txt (default ~/.local/share/orvane-tutor/...),
// one word a line as "word<TAB>code" (optionally followed by "<TAB>category<TAB>source"), UTF-8.
//
// Every change is made under an exclusive lock on "custom-words.txt.lock" beside the file, so that
// two libraries or two processes changing it at once lose nothing, and is written whole to a
// temporary file in the same folder, synced and renamed over the old one: a full disk or a killed
// process leaves the old file as it was. Lines that do not parse are kept and skipped.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <unordered_map>
#include <utility>
#include <vector>

namespace orvane::codes {

class CustomDictionary {
public:
    enum class AddResult { Failed = -1, Added = 0, Present = 1 };

    // The per-user data folder (ending in "/"): $XDG_DATA_HOME/orvane-tutor/ when XDG_DATA_HOME
    // is an absolute path, else $HOME/.local/share/orvane-tutor/.
    static std::string userDataFolder();
    static std::string defaultPath();

    explicit CustomDictionary(std::string path = defaultPath());

    const std::string &path() const { return m_path; }

    // Re-reads the file when it changed on disk since the last read (or was never read).
    // Returns true when the set of words changed.
    bool refresh();

    // Code of a custom word, if it is one (after the last refresh).
    std::optional<std::string> codeOf(std::u16string_view word) const;

    // Words in the order they were added.
    const std::vector<std::pair<std::u16string, std::string>> &words() const { return m_words; }

    // Adds a word. Present: the word is already a custom word (its code is left unchanged).
    // Failed: the word or code is not acceptable (isValidWord, isValidCode) or the file cannot
    // be opened or written; *error then says why and the file is as it was.
    // category and source (UTF-8) are kept on the line for the user's information.
    AddResult add(std::u16string_view word, std::string_view code, std::string *error = nullptr,
        std::string_view category = {}, std::string_view source = {});

    // Removes these words (exact comparison); other lines, foreign ones too, stay as they are.
    // Returns the number of lines removed, or -1 with *error saying why (the file is unchanged).
    int remove(const std::vector<std::u16string> &words, std::string *error = nullptr);

    // What a custom word is: two or more Chinese characters and nothing else, at most 32 UTF-16
    // units. Letters, digits, punctuation, blanks of any kind, invisible and private-use
    // characters are refused. The table generator of the input method applies the same rule.
    static bool isValidWord(std::u16string_view word);
    // A Chinese character: a CJK unified or compatibility ideograph.
    static bool isChineseCharacter(char32_t c);

private:
    std::string m_path;
    std::vector<std::pair<std::u16string, std::string>> m_words;
    std::unordered_map<std::u16string, std::size_t> m_index;
    bool m_read = false;
    std::int64_t m_size = -1;
    std::int64_t m_mtimeNs = -1;
    std::uint64_t m_inode = 0;

    void parse(const std::string &contents);
    // Locks, reads the file, lets change() edit the contents and writes them back when it
    // returns true. False with *error when any step failed.
    bool update(const std::function<bool(std::string &contents)> &change, std::string *error);
};

} // namespace orvane::codes
