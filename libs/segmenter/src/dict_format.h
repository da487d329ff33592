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
    std::uint32_t nodeCount;    // trie nodes, node 0 being the root
    std::uint32_t emitRowCount; // characters with HMM emission probabilities
    std::uint64_t fileSize;
    double minLogProb; // log probability given to a character the list does not know
    std::uint32_t sectionCount;
    std::uint32_t edgeHashSlots; // slots of the edge hash, a power of two
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
    kRoot = 1,      // 65536 x u32: trie node of a word's first UTF-16 unit, 0 if none
    kNodes = 2,     // nodeCount x Node
    kHmm = 3,       // 20 x f32: start[B M E S], then trans[from][to] in B M E S order
    kEmitIndex = 4, // 65536 x u16: emission row of a BMP character, 0 if none
    kEmitRows = 5,  // emitRowCount x 4 x f32: emission log probability for B M E S
    kEdgeHash = 6,  // edgeHashSlots x EdgeSlot: children of nodes with more than kScanLimit
};
// One trie node: everything a walk step reads sits in one 16-byte record. Children are
// contiguous (first .. first+count-1) and sorted by label.
struct Node {
    std::uint32_t first;
    std::uint16_t count;
    std::uint16_t label; // UTF-16 unit on the edge into the node
    float weight;        // log probability of the word ending here
    std::uint8_t flags;  // kFlagWord | kFlagName | kFlagNumeral
    std::uint8_t padding[3];
};
static_assert(sizeof(Node) == 16);
inline constexpr std::uint32_t kLastSection = kEdgeHash;

// Children of a node with at most this many are found by a linear scan of the labels; those of
// busier nodes through the edge hash (open addressing, linear probing, parent 0 = empty slot).
inline constexpr std::uint32_t kScanLimit = 8;
struct EdgeSlot {
    std::uint32_t parent;
    std::uint32_t child;
    std::uint32_t label;
};
static_assert(sizeof(EdgeSlot) == 12);

// Slot hash of an edge; tools/segdict/make_segdict.py has the same.
inline constexpr std::uint32_t edgeHash(std::uint32_t parent, std::uint32_t label)
{
    std::uint32_t h = (parent * 2654435761u) ^ (label * 2246822519u);
    h ^= h >> 15;
    h *= 2246822519u;
    h ^= h >> 13;
    return h;
}

inline constexpr std::uint8_t kFlagWord = 1;
inline constexpr std::uint8_t kFlagName = 2;
inline constexpr std::uint8_t kFlagNumeral = 4;

} // namespace orvane::seg::format
