#include "orvane/codes/checkedcopy.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <initializer_list>

#include <fcntl.h>
#include <pwd.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane::codes {
namespace {

// The copy's header, 64 bytes in host byte order (a copy never leaves the machine that made it):
// magic, kind, header size, the data file's stamp, the checksum of the contents that follow.
constexpr char kMagic[8] = {'O', 'R', 'V', 'C', 'O', 'P', 'Y', '1'};
struct Header {
    char magic[8];
    std::uint32_t kind;
    std::uint32_t headerSize;
    std::uint64_t device;
    std::uint64_t inode;
    std::uint64_t size;
    std::int64_t modifiedNs;
    std::int64_t changedNs;
    std::uint64_t sum;
};
static_assert(sizeof(Header) == 64);

std::int64_t nanoseconds(const timespec &t)
{
    return std::int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

FileStamp stampFrom(const struct stat &st)
{
    return {std::uint64_t(st.st_dev), std::uint64_t(st.st_ino), std::uint64_t(st.st_size), nanoseconds(st.st_mtim),
        nanoseconds(st.st_ctim)};
}

bool writeAll(int fd, const void *data, std::size_t size)
{
    const auto *p = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= std::size_t(n);
    }
    return true;
}

// Creates the folder and the folders above it that are missing.
bool makeFolders(const std::string &folder)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    struct stat st { };
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

std::uint64_t checksum64(const void *bytes, std::size_t size)
{
    // Four lanes take 16 bytes a step each: one word mixed in by a multiply and the other added,
    // then the lane rotated so that a change in the high bits reaches the low bits of later
    // steps. Every step is a bijection of the lane for given data, so a lane that differed once
    // stays different. The tail goes byte by byte.
    constexpr std::uint64_t k = 0x9E3779B97F4A7C15ull;
    const auto *data = static_cast<const char *>(bytes);
    const auto step = [](std::uint64_t lane, const char *p) {
        std::uint64_t a;
        std::uint64_t b;
        std::memcpy(&a, p, 8);
        std::memcpy(&b, p + 8, 8);
        const std::uint64_t x = (lane ^ a) * k + b;
        return (x << 27) | (x >> 37);
    };
    // Four lanes in four variables (not an array) so that they stay in registers.
    std::uint64_t l0 = 1, l1 = 2, l2 = 3, l3 = 4;
    std::size_t i = 0;
    for (; i + 64 <= size; i += 64) {
        l0 = step(l0, data + i);
        l1 = step(l1, data + i + 16);
        l2 = step(l2, data + i + 32);
        l3 = step(l3, data + i + 48);
    }
    std::uint64_t h = std::uint64_t(size);
    for (const std::uint64_t lane : {l0, l1, l2, l3}) {
        h = (h ^ lane) * k;
        h ^= h >> 31;
    }
    for (; i < size; ++i)
        h = (h ^ std::uint8_t(data[i])) * k;
    return h ^ (h >> 29);
}

std::string userCacheFolder()
{
    std::string base;
    if (const char *xdg = std::getenv("XDG_CACHE_HOME"); xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        if (const char *h = std::getenv("HOME"); h && h[0] == '/')
            base = h;
        else if (const passwd *pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
            base = pw->pw_dir;
        if (base.empty())
            base = "/tmp"; // as the custom dictionary's folder does without a home
        if (base.back() != '/')
            base += '/';
        base += ".cache";
    }
    if (base.back() != '/')
        base += '/';
    return base + "orvane-tutor/";
}

std::optional<FileStamp> stampOf(const std::string &path)
{
    struct stat st { };
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return stampFrom(st);
}

MappedCopy::MappedCopy(const std::uint8_t *base, std::size_t length, std::size_t offset, std::size_t size)
    : m_base(base), m_length(length), m_offset(offset), m_size(size)
{
}

MappedCopy::~MappedCopy()
{
    ::munmap(const_cast<std::uint8_t *>(m_base), m_length);
}

std::string checkedCopyPath(const std::string &cacheFolder, const std::string &sourcePath, std::uint32_t kind)
{
    std::error_code ec;
    std::string absolute = std::filesystem::absolute(sourcePath, ec).lexically_normal().string();
    if (ec)
        absolute = sourcePath;
    std::uint64_t h = 14695981039346656037ull; // FNV-1a of the absolute path
    for (const char c : absolute) {
        h ^= std::uint8_t(c);
        h *= 1099511628211ull;
    }
    char name[64];
    std::snprintf(name, sizeof name, "data-%08x-%016llx.copy", unsigned(kind), static_cast<unsigned long long>(h));
    std::string folder = cacheFolder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder + name;
}

std::unique_ptr<MappedCopy> openCheckedCopy(
    const std::string &cacheFolder, const std::string &sourcePath, std::uint32_t kind)
{
    if (cacheFolder.empty())
        return nullptr;
    const std::optional<FileStamp> source = stampOf(sourcePath);
    if (!source)
        return nullptr;
    const std::string path = checkedCopyPath(cacheFolder, sourcePath, kind);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || std::uint64_t(st.st_size) != sizeof(Header) + source->size
        || source->size == 0) {
        ::close(fd);
        return nullptr;
    }
    const auto length = std::size_t(st.st_size);
    void *map = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED)
        return nullptr;
    std::unique_ptr<MappedCopy> copy(
        new MappedCopy(static_cast<const std::uint8_t *>(map), length, sizeof(Header), length - sizeof(Header)));
    Header h;
    std::memcpy(&h, map, sizeof h);
    const FileStamp made{h.device, h.inode, h.size, h.modifiedNs, h.changedNs};
    if (std::memcmp(h.magic, kMagic, sizeof kMagic) != 0 || h.kind != kind || h.headerSize != sizeof(Header)
        || made != *source || checksum64(copy->data(), copy->size()) != h.sum)
        return nullptr;
    return copy;
}

bool writeCheckedCopy(const std::string &cacheFolder, const std::string &sourcePath, std::uint32_t kind,
    const FileStamp &stamp, const void *data, std::size_t size)
{
    if (cacheFolder.empty() || size != stamp.size || stampOf(sourcePath) != stamp || !makeFolders(cacheFolder))
        return false;
    const std::string path = checkedCopyPath(cacheFolder, sourcePath, kind);
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    Header h{};
    std::memcpy(h.magic, kMagic, sizeof kMagic);
    h.kind = kind;
    h.headerSize = sizeof(Header);
    h.device = stamp.device;
    h.inode = stamp.inode;
    h.size = stamp.size;
    h.modifiedNs = stamp.modifiedNs;
    h.changedNs = stamp.changedNs;
    h.sum = checksum64(data, size);
    // No fsync: a copy that a crash leaves damaged fails its checksum and is made again.
    bool written = ::fchmod(fd, 0644) == 0 && writeAll(fd, &h, sizeof h) && writeAll(fd, data, size);
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

} // namespace orvane::codes
