#include "orvane/codes/customdict.h"

#include "orvane/codes/scheme.h"
#include "orvane/codes/utf.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane::codes {
namespace {

std::string errnoText()
{
    return std::strerror(errno);
}

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
    struct stat st { };
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

CustomDictionary::CustomDictionary(std::string path) : m_path(std::move(path)) { }

bool CustomDictionary::isChineseCharacter(char32_t c)
{
    return (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF)
        || (c >= 0x20000 && c <= 0x2A6DF) || (c >= 0x2A700 && c <= 0x2EBEF) || (c >= 0x2F800 && c <= 0x2FA1F)
        || (c >= 0x30000 && c <= 0x323AF);
}

bool CustomDictionary::isValidWord(std::u16string_view word)
{
    if (word.size() > 32)
        return false;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < word.size(); ++i) {
        char32_t c = word[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= word.size() || word[i + 1] < 0xDC00 || word[i + 1] > 0xDFFF)
                return false;
            c = 0x10000 + ((c - 0xD800) << 10) + (word[i + 1] - 0xDC00);
            ++i;
        }
        if (!isChineseCharacter(c))
            return false;
        ++characters;
    }
    return characters >= 2;
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
    struct stat st { };
    if (::stat(m_path.c_str(), &st) != 0) {
        const bool changed = !m_words.empty();
        m_words.clear();
        m_index.clear();
        m_read = true;
        m_size = -1;
        return changed;
    }
    const std::int64_t mtime = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
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

bool CustomDictionary::update(const std::function<bool(std::string &contents)> &change, std::string *error)
{
    const auto failed = [error](const std::string &message) {
        if (error)
            *error = message;
        return false;
    };
    const auto slash = m_path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : m_path.substr(0, slash);
    if (slash != std::string::npos && slash > 0 && !makeFolders(folder))
        return failed("cannot create the folder of " + m_path + ": " + errnoText());

    // The lock lives in a file of its own: the dictionary itself is replaced by every change.
    const int lockFd = ::open((m_path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lockFd < 0)
        return failed("cannot open the custom dictionary's lock " + m_path + ".lock: " + errnoText());
    while (::flock(lockFd, LOCK_EX) != 0 && errno == EINTR) {
    }
    struct LockGuard {
        int fd;
        ~LockGuard() { ::close(fd); }
    } guard{lockFd};

    // Temporary files of a change that was killed half way.
    const std::string tempPrefix = m_path.substr(slash == std::string::npos ? 0 : slash + 1) + ".tmp-";
    if (DIR *d = ::opendir(folder.c_str())) {
        while (const dirent *e = ::readdir(d)) {
            if (std::strncmp(e->d_name, tempPrefix.c_str(), tempPrefix.size()) == 0)
                ::unlinkat(::dirfd(d), e->d_name, 0);
        }
        ::closedir(d);
    }

    std::string contents;
    mode_t mode = 0644;
    const int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        struct stat st { };
        const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && readAll(fd, &contents);
        ::close(fd);
        if (!ok)
            return failed("cannot read the custom dictionary " + m_path);
        mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        return failed("cannot open the custom dictionary " + m_path + ": " + errnoText());
    }
    const std::string before = contents;
    parse(contents);
    m_read = false; // stat again on the next refresh
    if (!change(contents) || contents == before)
        return true;

    std::string temp = folder + "/" + tempPrefix + "XXXXXX";
    const int out = ::mkstemp(temp.data());
    if (out < 0)
        return failed("cannot write the custom dictionary " + m_path + ": " + errnoText());
    bool written = ::fchmod(out, mode) == 0 && writeAll(out, contents) && ::fsync(out) == 0;
    int savedErrno = errno;
    if (::close(out) != 0 && written) {
        written = false;
        savedErrno = errno;
    }
    if (written && ::rename(temp.c_str(), m_path.c_str()) != 0) {
        written = false;
        savedErrno = errno;
    }
    if (!written) {
        ::unlink(temp.c_str());
        errno = savedErrno;
        return failed("cannot write the custom dictionary " + m_path + ": " + errnoText());
    }
    // The rename itself reaches the disk with the folder.
    if (const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

CustomDictionary::AddResult CustomDictionary::add(std::u16string_view word, std::string_view code, std::string *error,
    std::string_view category, std::string_view source)
{
    const auto failed = [error](const std::string &message) {
        if (error)
            *error = message;
        return AddResult::Failed;
    };
    if (!isValidWord(word))
        return failed("a custom word is two or more Chinese characters and nothing else");
    if (!isValidCode(code))
        return failed("the code must be 1 to 6 digits");

    bool present = false;
    const bool ok = update(
        [&](std::string &contents) {
            if (m_index.count(std::u16string(word))) {
                present = true;
                return false;
            }
            if (!contents.empty() && contents.back() != '\n')
                contents += '\n'; // finish a line cut short by someone else, never glue onto it
            contents += utf16ToUtf8(word);
            contents += '\t';
            contents += code;
            if (!category.empty() || !source.empty()) {
                // Free text: keep it on its own fields and on this one line.
                for (std::string_view field : {category, source}) {
                    contents += '\t';
                    for (char c : utf16ToUtf8(utf8ToUtf16(field)))
                        contents += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
                }
            }
            contents += '\n';
            return true;
        },
        error);
    if (!ok)
        return AddResult::Failed;
    if (present)
        return AddResult::Present;
    m_index.emplace(std::u16string(word), m_words.size());
    m_words.emplace_back(std::u16string(word), std::string(code));
    return AddResult::Added;
}

int CustomDictionary::remove(const std::vector<std::u16string> &words, std::string *error)
{
    int removed = 0;
    const bool ok = update(
        [&](std::string &contents) {
            std::string kept;
            kept.reserve(contents.size());
            std::size_t pos = 0;
            while (pos < contents.size()) {
                std::size_t end = contents.find('\n', pos);
                end = end == std::string::npos ? contents.size() : end + 1;
                const std::string_view line(contents.data() + pos, end - pos);
                pos = end;
                const std::size_t tab = line.find('\t');
                if (tab != std::string_view::npos) {
                    const std::u16string word = utf8ToUtf16(line.substr(0, tab));
                    if (std::find(words.begin(), words.end(), word) != words.end()) {
                        ++removed;
                        continue;
                    }
                }
                kept += line;
            }
            contents = std::move(kept);
            return removed > 0;
        },
        error);
    if (!ok)
        return -1;
    if (removed > 0)
        refresh();
    return removed;
}

} // namespace orvane::codes
