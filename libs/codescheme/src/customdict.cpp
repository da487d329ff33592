#include "orvane/codes/customdict.h"

#include "orvane/codes/scheme.h"
#include "orvane/codes/utf.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane::codes {
namespace {

std::string errnoText() { return std::strerror(errno); }

// mkdir -p; true when the folder exists afterwards.
bool makeFolders(const std::string &folder)
{
    std::string partial;
    std::size_t pos = 0;
    while (pos < folder.size()) {
        const std::size_t next = folder.find('/', pos + 1);
        partial = folder.substr(0, next == std::string::npos ? folder.size() : next);
        pos = next == std::string::npos ? folder.size() : next;
        if (partial.empty() || partial == "/")
            continue;
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st{};
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool readAll(int fd, std::string *out)
{
    out->clear();
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return true;
        out->append(buf, static_cast<std::size_t>(n));
    }
}

bool writeAll(int fd, const std::string &data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

std::string CustomDictionary::userDataFolder()
{
    const char *xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/')
        return std::string(xdg) + (xdg[std::strlen(xdg) - 1] == '/' ? "" : "/") + "orvane-tutor/";
    std::string home;
    if (const char *h = std::getenv("HOME"); h && h[0] == '/')
        home = h;
    else if (const passwd *pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        home = pw->pw_dir;
    if (home.empty())
        home = "/tmp";
    if (home.back() != '/')
        home += '/';
    return home + ".local/share/orvane-tutor/";
}

std::string CustomDictionary::defaultPath()
{
    return userDataFolder() + "custom-words.txt";
}

CustomDictionary::CustomDictionary(std::string path) : m_path(std::move(path)) {}

bool CustomDictionary::isValidWord(std::u16string_view word)
{
    if (word.empty() || word.size() > 32)
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char16_t u = word[i];
        if (u <= 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0xFFFD || u == 0x3000 || u == 0x2028
            || u == 0x2029)
            return false;
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 1 >= word.size() || word[i + 1] < 0xDC00 || word[i + 1] > 0xDFFF)
                return false;
            ++i;
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

void CustomDictionary::parse(const std::string &contents)
{
    m_words.clear();
    m_index.clear();
    std::size_t pos = 0;
    while (pos < contents.size()) {
        std::size_t end = contents.find('\n', pos);
        if (end == std::string::npos)
            end = contents.size();
        std::string_view line(contents.data() + pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos)
            continue;
        const std::u16string word = utf8ToUtf16(line.substr(0, tab));
        std::string_view code = line.substr(tab + 1);
        code = code.substr(0, code.find('\t'));
        if (!isValidWord(word) || !isValidCode(code) || m_index.count(word))
            continue;
        m_index.emplace(word, m_words.size());
        m_words.emplace_back(word, std::string(code));
    }
}

bool CustomDictionary::refresh()
{
    struct stat st{};
    if (::stat(m_path.c_str(), &st) != 0) {
        const bool changed = !m_words.empty();
        m_words.clear();
        m_index.clear();
        m_read = true;
        m_size = -1;
        return changed;
    }
    const std::int64_t mtime = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000
                               + st.st_mtim.tv_nsec;
    if (m_read && st.st_size == m_size && mtime == m_mtimeNs && st.st_ino == m_inode)
        return false;
    const int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::string contents;
    const bool ok = readAll(fd, &contents);
    ::close(fd);
    if (!ok)
        return false;
    const auto before = m_words;
    parse(contents);
    m_read = true;
    m_size = st.st_size;
    m_mtimeNs = mtime;
    m_inode = st.st_ino;
    return before != m_words;
}

std::optional<std::string> CustomDictionary::codeOf(std::u16string_view word) const
{
    const auto it = m_index.find(std::u16string(word));
    if (it == m_index.end())
        return std::nullopt;
    return m_words[it->second].second;
}

CustomDictionary::AddResult CustomDictionary::add(std::u16string_view word, std::string_view code,
                                                  std::string *error, std::string_view category,
                                                  std::string_view source)
{
    const auto failed = [error](const std::string &message) {
        if (error)
            *error = message;
        return AddResult::Failed;
    };
    if (!isValidWord(word))
        return failed("the word is empty, too long or contains blanks or control characters");
    if (!isValidCode(code))
        return failed("the code must be 1 to 6 digits");

    const auto slash = m_path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !makeFolders(m_path.substr(0, slash)))
        return failed("cannot create the folder of " + m_path + ": " + errnoText());
    const int fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return failed("cannot open the custom dictionary " + m_path + ": " + errnoText());
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return failed("the custom dictionary " + m_path + " is not a regular file");
    }
    // Another process may add at the same moment: decide "present" and append under one lock.
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    std::string contents;
    if (::lseek(fd, 0, SEEK_SET) != 0 || !readAll(fd, &contents)) {
        ::close(fd);
        return failed("cannot read the custom dictionary " + m_path + ": " + errnoText());
    }
    parse(contents);
    if (m_index.count(std::u16string(word))) {
        ::close(fd);
        m_read = false; // stat again on the next refresh
        return AddResult::Present;
    }
    std::string line;
    if (!contents.empty() && contents.back() != '\n')
        line += '\n'; // finish a line cut short by someone else, never glue onto it
    line += utf16ToUtf8(word);
    line += '\t';
    line += code;
    if (!category.empty() || !source.empty()) {
        // Free text: keep it on its own fields and on this one line.
        for (std::string_view field : {category, source}) {
            line += '\t';
            for (char c : utf16ToUtf8(utf8ToUtf16(field)))
                line += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
        }
    }
    line += '\n';
    const bool written = writeAll(fd, line) && ::fsync(fd) == 0;
    const int savedErrno = errno;
    ::close(fd);
    if (!written) {
        errno = savedErrno;
        return failed("cannot write the custom dictionary " + m_path + ": " + errnoText());
    }
    m_index.emplace(std::u16string(word), m_words.size());
    m_words.emplace_back(std::u16string(word), std::string(code));
    m_read = false;
    return AddResult::Added;
}

} // namespace orvane::codes
