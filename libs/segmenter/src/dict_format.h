// Layout of orvane-seg.dict, written by tools/segdict/make_segdict.py (docs/segmenter.md).
// Little-endian; every section starts on an 8-byte boundary so the arrays can be used in place
// from a read-only mapping of the file.
#pragma once

#include <cstdint>

namespace orvane::seg::format {

inline constexpr char kMagic[8] = {'O', 'R', 'V', 'S', 'E', 'G', '\x1a', '\n'};
inline constexpr std::uint32_t kVersion = 1;
inline constexpr std::uint32_t kHeaderSize = 64;
inline constexpr std::uint32_t kMaxSections = 64;

struct Header {
    char magic[8];
    std::uint32_t version;
    std::uint32_t headerSize;
    std::uint32_t nodeCount;     // trie nodes, node 0 being the root
    std::uint32_t emitRowCount;  // characters with HMM emission probabilities
    std::uint64_t fileSize;
    double minLogProb;           // log probability given to a character the list does not know
    std::uint32_t sectionCount;
    std::uint32_t reserved;
    std::uint8_t padding[16];
};
static_assert(sizeof(Header) == kHeaderSize);

struct SectionEntry {
    std::uint32_t id;
    std::uint32_t reserved;
    std::uint64_t offset;
    std::uint64_t size;
};
static_assert(sizeof(SectionEntry) == 24);

enum SectionId : std::uint32_t {
    kRoot = 1,       // 65536 x u32: trie node of a word's first UTF-16 unit, 0 if none
    kLabel = 2,      // nodeCount x u16: UTF-16 unit on the edge into the node
    kFirst = 3,      // nodeCount x u32: first child (children are contiguous, sorted by label)
    kCount = 4,      // nodeCount x u16: number of children
    kWeight = 5,     // nodeCount x f32: log probability of the word ending at the node
    kFlags = 6,      // nodeCount x u8: kFlagWord | kFlagName | kFlagNumeral
    kHmm = 7,        // 20 x f32: start[B M E S], then trans[from][to] in B M E S order
    kEmitIndex = 8,  // 65536 x u16: emission row of a BMP character, 0 if none
    kEmitRows = 9,   // emitRowCount x 4 x f32: emission log probability for B M E S
};
inline constexpr std::uint32_t kLastSection = kEmitRows;

inline constexpr std::uint8_t kFlagWord = 1;
inline constexpr std::uint8_t kFlagName = 2;
inline constexpr std::uint8_t kFlagNumeral = 4;

} // namespace orvane::seg::format
