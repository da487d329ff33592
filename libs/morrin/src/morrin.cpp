// ConvertAdaptor over the code data and the custom dictionary.
#include "morrin.h"

#include "orvane/codes/codedata.h"
#include "orvane/codes/customdict.h"
#include "orvane/codes/datafiles.h"
#include "orvane/codes/utf.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

using namespace orvane::codes;

namespace {

constexpr std::size_t kMaxWordBytes = 4096;
constexpr std::int64_t kBuffer = 10;

struct State {
    std::mutex mutex;
    std::string setFolder;
    std::string codesPath;
    std::unique_ptr<CodeData> codes;
    std::unique_ptr<CustomDictionary> custom;
};

State &state()
{
    static State s;
    return s;
}

const CodeData *codes(State &s)
{
    static const std::string own = folderOfAddress(reinterpret_cast<const void *>(&ConvertAdaptor));
    const std::string path = findDataFile("orvane-codes.dat", {s.setFolder, own, installedDataFolder(own)});
    if (path.empty())
        return nullptr;
    if (!s.codes || path != s.codesPath) {
        s.codes = CodeData::load(path, nullptr);
        s.codesPath = s.codes ? path : std::string();
    }
    return s.codes.get();
}

void convert(const char *word, char *code, std::int64_t codeSize)
{
    if (!code || codeSize <= 0)
        return;
    code[0] = '\0';
    if (!word)
        return;
    const std::size_t n = strnlen(word, kMaxWordBytes + 1);
    if (n == 0 || n > kMaxWordBytes)
        return;
    const std::u16string utf16 = utf8ToUtf16(std::string_view(word, n));
    State &s = state();
    std::lock_guard lock(s.mutex);
    const std::string path = CustomDictionary::defaultPath();
    if (!s.custom || s.custom->path() != path)
        s.custom = std::make_unique<CustomDictionary>(path);
    s.custom->refresh();
    std::string result;
    if (auto c = s.custom->codeOf(utf16))
        result = *c;
    else if (const CodeData *d = codes(s))
        result = d->proposedCode(utf16);
    if (result.empty() || static_cast<std::int64_t>(result.size()) + 1 > codeSize)
        return;
    std::memcpy(code, result.data(), result.size());
    code[result.size()] = '\0';
}

} // namespace

extern "C" {

void ConvertAdaptor(const char *word, int16_t, int16_t, char *code)
{
    convert(word, code, kBuffer);
}

void ConvertAdaptorN(const char *word, int16_t, int16_t, char *code, int32_t codeSize)
{
    convert(word, code, codeSize);
}

void MorrinSetDataFolder(const char *folder)
{
    State &s = state();
    std::lock_guard lock(s.mutex);
    s.setFolder = folder ? withSlash(std::string(folder, strnlen(folder, 4096))) : std::string();
}

} // extern "C"
