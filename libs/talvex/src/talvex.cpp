// The C functions of libtalvex over the segmenter, the code data and the custom dictionary.
// One process-wide state behind one mutex; data are loaded on first use and reloaded when the
// file found for them changes (another folder given) or the custom dictionary changed on disk
// (words added through libquenlor or by another process).
#include "talvex.h"

#include "orvane/codes/checkedcopy.h"
#include "orvane/codes/codedata.h"
#include "orvane/codes/customdict.h"
#include "orvane/codes/datafiles.h"
#include "orvane/codes/utf.h"
#include "orvane/segmenter.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

using namespace orvane::codes;

namespace {

// Items and words longer than this are not words: no lookup reads further than this.
constexpr std::size_t kMaxItemBytes = 4096;
constexpr std::size_t kMaxFolderBytes = 4096;
constexpr std::size_t kItemCodeWidth = 6;
constexpr std::size_t kConvertBuffer = 10;

thread_local std::string t_error;

struct State {
    std::mutex mutex;
    std::string givenFolder;
    std::string setFolder;

    std::string codesPath;
    std::vector<std::string> codesFolders;
    std::unique_ptr<CodeData> codes;

    std::string segPath;
    std::vector<std::string> segFolders;
    std::unique_ptr<orvane::seg::Segmenter> segmenter;
    std::vector<std::u16string> wordsInSegmenter; // custom words given to the segmenter
    std::string customPathInSegmenter;

    std::unique_ptr<CustomDictionary> custom;
};

State &state()
{
    static State s;
    return s;
}

std::vector<std::string> folders(const State &s)
{
    static const std::string own = folderOfAddress(reinterpret_cast<const void *>(&DivideSentence));
    return {s.givenFolder, s.setFolder, own, installedDataFolder(own)};
}

// The data file for the current folders. A file once loaded stays in use while the folders
// stay the same, so that lookups do not search the disk every time.
std::string findOrExplain(
    const State &s, const std::string &name, const std::string &loadedPath, std::vector<std::string> *loadedFrom)
{
    const std::vector<std::string> list = folders(s);
    if (!loadedPath.empty() && *loadedFrom == list)
        return loadedPath;
    *loadedFrom = list;
    std::string path = findDataFile(name, list);
    if (path.empty()) {
        t_error = "the data file " + name + " was not found (looked in";
        for (const std::string &f : list)
            if (!f.empty())
                t_error += " " + f;
        t_error += ")";
    }
    return path;
}

// The kinds of checked copies (the format's name and version): a new format of a data file
// gets a new kind, so that an old copy is never taken for a new one.
constexpr std::uint32_t kDictionaryCopy = 0x53454731; // "SEG1"
constexpr std::uint32_t kCodesCopy = 0x434f4431;      // "COD1"

// A data file from its checked copy in the cache folder when there is one for the file as it is
// now; else read and checked whole, and then copied there for the next process (checkedcopy.h).
template <typename Data, typename Open, typename Load, typename Bytes>
std::unique_ptr<Data> loadThroughCopy(
    const std::string &path, std::uint32_t kind, Open open, Load load, Bytes bytes, std::string *error)
{
    const std::string cache = userCacheFolder();
    if (std::shared_ptr<const MappedCopy> copy = openCheckedCopy(cache, path, kind)) {
        const auto *data = copy->data();
        const std::size_t size = copy->size();
        if (auto opened = open(std::move(copy), data, size))
            return opened;
    }
    const std::optional<FileStamp> before = stampOf(path);
    std::unique_ptr<Data> loaded = load(error);
    if (loaded && before) {
        const auto image = bytes(*loaded);
        writeCheckedCopy(cache, path, kind, *before, image.data(), image.size());
    }
    return loaded;
}

std::unique_ptr<CodeData> loadCodes(const std::string &path, std::string *error)
{
    return loadThroughCopy<CodeData>(
        path, kCodesCopy,
        [&](std::shared_ptr<const void> keep, const std::uint8_t *data, std::size_t size) {
            return CodeData::openChecked(
                std::move(keep), reinterpret_cast<const char *>(data), size, path, nullptr);
        },
        [&](std::string *why) { return CodeData::load(path, why); },
        [](const CodeData &d) { return d.image(); }, error);
}

std::unique_ptr<orvane::seg::Segmenter> loadDictionary(const std::string &path, std::string *error)
{
    return loadThroughCopy<orvane::seg::Segmenter>(
        path, kDictionaryCopy,
        [&](std::shared_ptr<const void> keep, const std::uint8_t *data, std::size_t size) {
            return orvane::seg::Segmenter::openChecked(std::move(keep), data, size, path, nullptr);
        },
        [&](std::string *why) { return orvane::seg::Segmenter::load(path, why); },
        [](const orvane::seg::Segmenter &s) { return s.image(); }, error);
}

bool ensureCodes(State &s)
{
    const std::string path =
        findOrExplain(s, "orvane-codes.dat", s.codes ? s.codesPath : std::string(), &s.codesFolders);
    // A failure forgets the codes of other folders, so that the next call fails again instead of
    // answering silently from the file of before.
    if (path.empty()) {
        s.codes.reset();
        s.codesPath.clear();
        return false;
    }
    if (s.codes && path == s.codesPath)
        return true;
    std::string error;
    auto codes = loadCodes(path, &error);
    if (!codes) {
        t_error = error;
        s.codes.reset();
        s.codesPath.clear();
        return false;
    }
    s.codes = std::move(codes);
    s.codesPath = path;
    return true;
}

CustomDictionary &custom(State &s)
{
    const std::string path = CustomDictionary::defaultPath();
    if (!s.custom || s.custom->path() != path)
        s.custom = std::make_unique<CustomDictionary>(path);
    s.custom->refresh();
    return *s.custom;
}

bool loadSegmenter(State &s, const std::string &path)
{
    std::string error;
    auto segmenter = loadDictionary(path, &error);
    if (!segmenter) {
        t_error = error.empty() ? "cannot load the dictionary " + path : error;
        return false;
    }
    s.segmenter = std::move(segmenter);
    s.segPath = path;
    s.wordsInSegmenter.clear();
    s.customPathInSegmenter.clear();
    return true;
}

// The segmenter for the current folders, with every custom word added to it.
bool ensureSegmenter(State &s)
{
    const std::string path =
        findOrExplain(s, "orvane-seg.dict", s.segmenter ? s.segPath : std::string(), &s.segFolders);
    if (path.empty())
        return false;
    if ((!s.segmenter || path != s.segPath) && !loadSegmenter(s, path))
        return false;
    const CustomDictionary &dict = custom(s);
    const auto &words = dict.words();
    // Words can only be added to a segmenter; when the list is no longer an extension of what
    // was added (the file was edited or another user folder is in use), start afresh.
    const bool extends = s.customPathInSegmenter.empty()
        || (s.customPathInSegmenter == dict.path() && s.wordsInSegmenter.size() <= words.size()
            && std::equal(s.wordsInSegmenter.begin(), s.wordsInSegmenter.end(), words.begin(),
                [](const std::u16string &a, const auto &b) { return a == b.first; }));
    if (!extends && !loadSegmenter(s, path))
        return false;
    s.customPathInSegmenter = dict.path();
    for (std::size_t i = s.wordsInSegmenter.size(); i < words.size(); ++i) {
        s.segmenter->addUserWord(words[i].first);
        s.wordsInSegmenter.push_back(words[i].first);
    }
    return true;
}

// Reads a NUL-terminated argument of at most max bytes; false when it is longer.
bool boundedString(const char *p, std::size_t max, std::string_view *out)
{
    const std::size_t n = strnlen(p, max + 1);
    if (n > max)
        return false;
    *out = std::string_view(p, n);
    return true;
}

int32_t divide(const char *folder, const char *text, char *marks, std::int64_t marksSize)
{
    if (!text || !marks) {
        t_error = "DivideSentence: no text or no marks buffer";
        return -1;
    }
    State &s = state();
    std::lock_guard lock(s.mutex);
    if (folder && *folder) {
        std::string_view f;
        if (boundedString(folder, kMaxFolderBytes, &f))
            s.givenFolder = withSlash(std::string(f));
    }
    if (!ensureSegmenter(s))
        return -1;
    // The codes are asked for right after a segmentation (rendering the words): load them now,
    // not in the middle of the first lookup. Without them segmentation still works.
    if (!ensureCodes(s))
        t_error.clear();
    const std::u16string utf16 = utf8ToUtf16(text);
    if (utf16.size() > static_cast<std::size_t>(INT32_MAX)) {
        t_error = "DivideSentence: text too long";
        return -1;
    }
    const std::u16string result = s.segmenter->marks(utf16);
    const std::size_t n =
        std::min<std::size_t>(utf16.size(), marksSize < 0 ? utf16.size() : static_cast<std::size_t>(marksSize));
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t m = i < result.size() ? result[i] : u'2';
        marks[i] = (m == u'0' || m == u'1' || m == u'2' || m == u'4') ? static_cast<char>(m) : '2';
    }
    if (marksSize >= 0 && static_cast<std::size_t>(marksSize) > n)
        marks[n] = '\0';
    return static_cast<int32_t>(utf16.size());
}

int16_t itemCode(const char *item, char *code, std::int64_t codeSize, bool terminate)
{
    if (!item || !code || codeSize <= 0) {
        t_error = "GetItemCode: no item or no code buffer";
        return -1;
    }
    std::string_view text;
    if (!boundedString(item, kMaxItemBytes, &text) || text.empty())
        return 0;
    const std::u16string utf16 = utf8ToUtf16(text);
    State &s = state();
    std::lock_guard lock(s.mutex);
    std::string result;
    if (auto c = custom(s).codeOf(utf16)) {
        result = *c;
    } else {
        if (!ensureCodes(s))
            return -1;
        result = s.codes->knownCode(utf16);
    }
    if (result.empty())
        return 0;
    const std::size_t width = std::min<std::size_t>(kItemCodeWidth, static_cast<std::size_t>(codeSize));
    if (result.size() > width) {
        t_error = "GetItemCode: the code does not fit the buffer";
        return -1;
    }
    std::memcpy(code, result.data(), result.size());
    std::memset(code + result.size(), ' ', width - result.size());
    if (terminate && static_cast<std::size_t>(codeSize) > width)
        code[width] = '\0';
    return 1;
}

void convert(const char *word, char *code, std::int64_t codeSize)
{
    if (!code || codeSize <= 0)
        return;
    code[0] = '\0';
    std::string_view text;
    if (!word || !boundedString(word, kMaxItemBytes, &text) || text.empty())
        return;
    const std::u16string utf16 = utf8ToUtf16(text);
    State &s = state();
    std::lock_guard lock(s.mutex);
    if (!ensureCodes(s))
        return;
    const std::string result = s.codes->proposedCode(utf16);
    if (result.empty() || result.size() + 1 > static_cast<std::size_t>(codeSize))
        return;
    std::memcpy(code, result.data(), result.size());
    code[result.size()] = '\0';
}

} // namespace

extern "C" {

int32_t DivideSentence(const char *folder, const char *text, char *marks)
{
    return divide(folder, text, marks, -1);
}

int32_t DivideSentenceN(const char *folder, const char *text, char *marks, int32_t marksSize)
{
    if (marksSize < 0) {
        t_error = "DivideSentenceN: negative buffer size";
        return -1;
    }
    return divide(folder, text, marks, marksSize);
}

int16_t GetItemCode(const char *item, char *code, int16_t size)
{
    return itemCode(item, code, std::min<std::int64_t>(size, kItemCodeWidth), false);
}

int16_t GetItemCodeN(const char *item, char *code, int32_t codeSize)
{
    return itemCode(item, code, codeSize, true);
}

void Convert(const char *word, char *code, int16_t size)
{
    convert(word, code, std::min<std::int64_t>(size, kConvertBuffer));
}

void ConvertN(const char *word, char *code, int32_t codeSize)
{
    convert(word, code, codeSize);
}

int16_t AddWord(const char *code, const char *word)
{
    std::string_view c;
    std::string_view w;
    if (!code || !word || !boundedString(code, 64, &c) || !boundedString(word, kMaxItemBytes, &w)) {
        t_error = "AddWord: no word or no code";
        return -1;
    }
    const std::u16string utf16 = utf8ToUtf16(w);
    if (!CustomDictionary::isValidWord(utf16)) {
        t_error = "AddWord: a custom word is two or more Chinese characters and nothing else";
        return -1;
    }
    State &s = state();
    std::lock_guard lock(s.mutex);
    // A word of the word list is there already: as a custom word it would only change the
    // segmentation of every text around it.
    if (ensureCodes(s) && !s.codes->knownCode(utf16).empty())
        return 1;
    std::string error;
    switch (custom(s).add(utf16, c, &error)) {
    case CustomDictionary::AddResult::Added: return 0;
    case CustomDictionary::AddResult::Present: return 1;
    case CustomDictionary::AddResult::Failed: break;
    }
    t_error = error;
    return -1;
}

int32_t TalvexCheckData(const char *folder)
{
    State &s = state();
    std::lock_guard lock(s.mutex);
    if (folder && *folder) {
        std::string_view f;
        if (boundedString(folder, kMaxFolderBytes, &f))
            s.givenFolder = withSlash(std::string(f));
    }
    return ensureSegmenter(s) && ensureCodes(s) ? 0 : -1;
}

void TalvexSetDataFolder(const char *folder)
{
    State &s = state();
    std::lock_guard lock(s.mutex);
    std::string_view f;
    if (folder && boundedString(folder, kMaxFolderBytes, &f))
        s.setFolder = withSlash(std::string(f));
    else
        s.setFolder.clear();
}

int32_t TalvexLastError(char *buffer, int32_t size)
{
    if (buffer && size > 0) {
        const std::size_t n = std::min<std::size_t>(t_error.size(), static_cast<std::size_t>(size) - 1);
        std::memcpy(buffer, t_error.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<int32_t>(std::min<std::size_t>(t_error.size(), INT32_MAX));
}

} // extern "C"
