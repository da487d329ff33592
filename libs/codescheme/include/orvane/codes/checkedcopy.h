// Checked copies of the read-only data files in the per-user cache folder.
//
// Every process that segments a text needs the segmentation dictionary (15 MB) and the code data
// (5.6 MB). Reading them into memory and checking every record takes tens of milliseconds, most
// of it the kernel handing out fresh pages. A data file that was read and checked once is
// therefore copied, byte for byte, into the cache folder with a header that names the file as it
// was (device, inode, size, modification and change times) and a checksum of the copy. Later
// processes map that copy: the pages come straight from the page cache and are shared.
//
// The data file itself is never mapped: another program may rewrite it in place while it is in
// use (a copy over it), and a mapped file would then change or vanish under the reader. The copy
// is written only by this code, as a new file renamed over the old one, so a mapping of it never
// changes. A copy whose header does not match the data file as it is now, or whose checksum does
// not match, is not used; the caller then reads and checks the file again and writes a new copy.
// A cache folder that cannot be written only means that no copy is kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace orvane::codes {

// 64-bit checksum that detects damage at about a third of an instruction a byte.
std::uint64_t checksum64(const void *data, std::size_t size);

// $XDG_CACHE_HOME/orvane-tutor/ (else ~/.cache/orvane-tutor/), with a trailing "/": the one
// cache folder of the program (the key-path index is kept there too).
std::string userCacheFolder();

// What identifies one version of a file: any write to it changes the change time.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    bool operator==(const FileStamp &) const = default;
};
// The stamp of a regular file; nullopt when it cannot be stat'ed or is no regular file.
std::optional<FileStamp> stampOf(const std::string &path);

// A read-only mapping of a copy's contents (after its header); unmapped when destroyed.
class MappedCopy {
public:
    MappedCopy(const MappedCopy &) = delete;
    MappedCopy &operator=(const MappedCopy &) = delete;
    ~MappedCopy();
    const std::uint8_t *data() const { return m_base + m_offset; }
    std::size_t size() const { return m_size; }

private:
    friend std::unique_ptr<MappedCopy> openCheckedCopy(const std::string &, const std::string &, std::uint32_t);
    MappedCopy(const std::uint8_t *base, std::size_t length, std::size_t offset, std::size_t size);
    const std::uint8_t *m_base;
    std::size_t m_length;
    std::size_t m_offset;
    std::size_t m_size;
};

// The copy file of a data file in a cache folder (with "/"); kind tells the formats apart.
std::string checkedCopyPath(const std::string &cacheFolder, const std::string &sourcePath, std::uint32_t kind);

// The copy of sourcePath in the cache folder when it exists, is whole, is of this kind and was
// made from sourcePath as the file is now; nullptr otherwise.
std::unique_ptr<MappedCopy> openCheckedCopy(
    const std::string &cacheFolder, const std::string &sourcePath, std::uint32_t kind);

// Writes the copy of sourcePath, whose checked contents are data, made while the file had this
// stamp. Nothing is written when the file no longer has that stamp (it changed while it was read)
// or the folder cannot be written; false then. The copy appears whole or not at all.
bool writeCheckedCopy(const std::string &cacheFolder, const std::string &sourcePath, std::uint32_t kind,
    const FileStamp &stamp, const void *data, std::size_t size);

} // namespace orvane::codes
