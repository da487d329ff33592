// AddAProfessionCi over the custom dictionary.
#include "quenlor.h"

#include "orvane/codes/codedata.h"
#include "orvane/codes/customdict.h"
#include "orvane/codes/datafiles.h"
#include "orvane/codes/utf.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>

using namespace orvane::codes;

namespace {

constexpr std::size_t kMaxUnits = 1024;

// The string up to its NUL, or nothing when there is no NUL within kMaxUnits units.
std::optional<std::u16string_view> bounded(const char16_t *p)
{
    if (!p)
        return std::nullopt;
    for (std::size_t n = 0; n <= kMaxUnits; ++n)
        if (p[n] == u'\0')
            return std::u16string_view(p, n);
    return std::nullopt;
}

std::mutex g_mutex;

// The code data beside this library or in the installed data folder, for the word list: a word
// of the list is not taken as a custom word. Loaded once; null when there is none.
const CodeData *codes()
{
    static std::unique_ptr<CodeData> data;
    static bool tried = false;
    if (!tried) {
        tried = true;
        const std::string own = folderOfAddress(reinterpret_cast<const void *>(&AddAProfessionCi));
        const std::string path = findDataFile("orvane-codes.dat", {own, installedDataFolder(own)});
        if (!path.empty())
            data = CodeData::load(path, nullptr);
    }
    return data.get();
}

} // namespace

extern "C" int16_t AddAProfessionCi(
    const char16_t *word, const char16_t *code, const char16_t *category, const char16_t *source)
{
    const auto w = bounded(word);
    const auto c = bounded(code);
    if (!w || !c)
        return -1;
    const auto cat = bounded(category);
    const auto src = bounded(source);
    if (!CustomDictionary::isValidWord(*w))
        return -1;
    std::lock_guard lock(g_mutex);
    if (const CodeData *d = codes(); d && !d->knownCode(*w).empty())
        return 0;
    CustomDictionary dict;
    switch (dict.add(*w, utf16ToUtf8(*c), nullptr, cat ? utf16ToUtf8(*cat) : std::string(),
        src ? utf16ToUtf8(*src) : std::string())) {
    case CustomDictionary::AddResult::Added: return 1;
    case CustomDictionary::AddResult::Present: return 0;
    case CustomDictionary::AddResult::Failed: break;
    }
    return -1;
}
