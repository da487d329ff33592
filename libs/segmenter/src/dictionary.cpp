// Validation and lookups of the binary dictionary image.
#include "segmenter_impl.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace orvane::seg::detail {

namespace {

struct SectionInfo {
    std::uint32_t id;
    const char *name;
    std::uint64_t elementSize;
    std::uint64_t alignment;
};

constexpr SectionInfo kSections[] = {
    {format::kRoot, "root table", 4, 4},
    {format::kNodes, "nodes", 16, 4},
    {format::kHmm, "HMM model", 4, 4},
    {format::kEmitIndex, "emission index", 2, 2},
    {format::kEmitRows, "emission rows", 4, 4},
    {format::kEdgeHash, "edge hash", 12, 4},
};

bool fail(std::string *why, std::string text)
{
    if (why)
        *why = std::move(text);
    return false;
}

} // namespace

bool Dictionary::open(const std::uint8_t *data, std::size_t size, std::string *why, Check check)
{
    if constexpr (std::endian::native != std::endian::little)
        return fail(why, "this build runs big-endian, the dictionary is little-endian");
    if (data == nullptr || size < format::kHeaderSize)
        return fail(why, "too short for a header (" + std::to_string(size) + " bytes)");
    format::Header h;
    std::memcpy(&h, data, sizeof h);
    if (std::memcmp(h.magic, format::kMagic, sizeof h.magic) != 0)
        return fail(why, "not an orvane-seg dictionary (bad magic)");
    if (h.version != format::kVersion)
        return fail(why,
            "unsupported version " + std::to_string(h.version) + " (expected " + std::to_string(format::kVersion)
                + ")");
    if (h.headerSize != format::kHeaderSize)
        return fail(why, "bad header size");
    if (h.fileSize != size)
        return fail(why,
            "size is " + std::to_string(size) + " bytes, header says " + std::to_string(h.fileSize)
                + " (truncated or padded)");
    if (h.nodeCount < 1 || h.nodeCount > 0x7FFFFFFFu)
        return fail(why, "bad node count");
    if (h.emitRowCount > 0xFFFFu)
        return fail(why, "bad emission row count");
    if (!std::isfinite(h.minLogProb) || h.minLogProb > 0)
        return fail(why, "bad minimum log probability");
    if (h.edgeHashSlots == 0 || (h.edgeHashSlots & (h.edgeHashSlots - 1)) != 0 || h.edgeHashSlots > (1u << 28))
        return fail(why, "bad edge hash size");
    if (h.sectionCount == 0 || h.sectionCount > format::kMaxSections)
        return fail(why, "bad section count");
    const std::uint64_t tableEnd =
        std::uint64_t(format::kHeaderSize) + std::uint64_t(h.sectionCount) * sizeof(format::SectionEntry);
    if (tableEnd > size)
        return fail(why, "section table runs past the end of the file");

    const std::uint64_t n = h.nodeCount;
    const auto expected = [&](std::uint32_t id) -> std::uint64_t {
        switch (id) {
        case format::kRoot: return 65536ull * 4;
        case format::kNodes: return n * sizeof(format::Node);
        case format::kHmm: return 20ull * 4;
        case format::kEmitIndex: return 65536ull * 2;
        case format::kEmitRows: return std::uint64_t(h.emitRowCount) * 16;
        case format::kEdgeHash: return std::uint64_t(h.edgeHashSlots) * sizeof(format::EdgeSlot);
        default: return 0;
        }
    };
    const std::uint8_t *where[format::kLastSection + 1] = {};
    for (std::uint32_t i = 0; i < h.sectionCount; ++i) {
        format::SectionEntry e;
        std::memcpy(&e, data + format::kHeaderSize + i * sizeof e, sizeof e);
        const SectionInfo *info = nullptr;
        for (const auto &s : kSections)
            if (s.id == e.id)
                info = &s;
        if (!info)
            continue; // sections this version does not know are skipped
        if (where[e.id])
            return fail(why, std::string("section ") + info->name + " appears twice");
        if (e.size != expected(e.id))
            return fail(why,
                std::string("section ") + info->name + " has size " + std::to_string(e.size) + ", expected "
                    + std::to_string(expected(e.id)));
        if (e.offset < tableEnd || e.offset > size || e.size > size - e.offset)
            return fail(why, std::string("section ") + info->name + " lies outside the file");
        if (e.offset % 8 != 0 || (reinterpret_cast<std::uintptr_t>(data + e.offset) % info->alignment) != 0)
            return fail(why, std::string("section ") + info->name + " is misaligned");
        where[e.id] = data + e.offset;
    }
    for (const auto &s : kSections)
        if (!where[s.id])
            return fail(why, std::string("section ") + s.name + " is missing");

    root_ = reinterpret_cast<const std::uint32_t *>(where[format::kRoot]);
    nodes_ = reinterpret_cast<const format::Node *>(where[format::kNodes]);
    hmm_ = reinterpret_cast<const float *>(where[format::kHmm]);
    emitIndex_ = reinterpret_cast<const std::uint16_t *>(where[format::kEmitIndex]);
    emitRows_ = reinterpret_cast<const float *>(where[format::kEmitRows]);
    edges_ = reinterpret_cast<const format::EdgeSlot *>(where[format::kEdgeHash]);
    edgeMask_ = h.edgeHashSlots - 1;
    nodeCount_ = h.nodeCount;
    minLogProb_ = h.minLogProb;

    if (nodes_[0].count != 0)
        return fail(why, "the root node has children of its own");
    for (std::uint32_t c = 0; c < 65536; ++c)
        if (root_[c] >= n)
            return fail(why, "root table points outside the trie");
    if (check == Check::Whole && !wholeTrieSound(why))
        return false;
    for (int i = 0; i < 20; ++i)
        if (std::isnan(hmm_[i]) || hmm_[i] > 0)
            return fail(why, "bad HMM probability");
    for (std::uint32_t c = 0; c < 65536; ++c)
        if (emitIndex_[c] > h.emitRowCount)
            return fail(why, "emission index points outside the rows");
    for (std::uint64_t i = 0; i < std::uint64_t(h.emitRowCount) * 4; ++i)
        if (std::isnan(emitRows_[i]) || emitRows_[i] > 0)
            return fail(why, "bad emission probability");
    return true;
}

bool Dictionary::wholeTrieSound(std::string *why) const
{
    // The trie: children come after their parent (so walks end), lie inside the node array
    // and are sorted by label (so the search in child() is right).
    const std::uint64_t n = nodeCount_;
    for (std::uint64_t i = 1; i < n; ++i) {
        const format::Node &node = nodes_[i];
        if ((node.flags & format::kFlagWord) && !(std::isfinite(node.weight) && node.weight <= 0))
            return fail(why, "bad weight of trie node " + std::to_string(i));
        const std::uint64_t k = node.count;
        if (k == 0)
            continue;
        const std::uint64_t f = node.first;
        if (f <= i || f + k > n)
            return fail(why, "children of trie node " + std::to_string(i) + " out of range");
        for (std::uint64_t j = f + 1; j < f + k; ++j)
            if (nodes_[j - 1].label >= nodes_[j].label)
                return fail(why, "children of trie node " + std::to_string(i) + " not sorted");
    }
    // Every used slot of the edge hash is a real edge of a busy node; an empty slot exists, so
    // a probe ends without counting.
    std::uint64_t empty = 0;
    for (std::uint64_t i = 0; i <= edgeMask_; ++i) {
        const format::EdgeSlot &e = edges_[i];
        if (e.parent == 0) {
            ++empty;
            continue;
        }
        if (e.parent >= n || nodes_[e.parent].count <= format::kScanLimit || e.child < nodes_[e.parent].first
            || e.child >= std::uint64_t(nodes_[e.parent].first) + nodes_[e.parent].count
            || e.label != nodes_[e.child].label)
            return fail(why, "bad edge hash slot " + std::to_string(i));
    }
    if (empty == 0)
        return fail(why, "edge hash has no empty slot");
    return true;
}

std::uint32_t Dictionary::child(std::uint32_t node, char16_t u) const
{
    const format::Node &p = nodes_[node];
    const std::uint32_t k = p.count;
    const std::uint64_t f = p.first;
    // What the whole check makes sure of, checked here for an image opened without it: the
    // children lie after the node and inside the array.
    if (k == 0 || f <= node || f + k > nodeCount_)
        return 0;
    if (k <= format::kScanLimit) {
        for (std::uint64_t j = f; j < f + k; ++j) {
            const char16_t l = nodes_[j].label;
            if (l == u)
                return std::uint32_t(j);
            if (l > u)
                return 0;
        }
        return 0;
    }
    // At most one round of the table: an image without an empty slot still ends the probe.
    std::uint32_t slot = format::edgeHash(node, u) & edgeMask_;
    for (std::uint64_t probes = 0; probes <= edgeMask_; ++probes, slot = (slot + 1) & edgeMask_) {
        const format::EdgeSlot &e = edges_[slot];
        if (e.parent == node && e.label == u)
            return e.child >= f && e.child < f + k ? e.child : 0;
        if (e.parent == 0)
            return 0;
    }
    return 0;
}

std::uint32_t Dictionary::find(std::u16string_view word) const
{
    if (word.empty())
        return 0;
    std::uint32_t node = root(word[0]);
    for (std::size_t i = 1; node != 0 && i < word.size(); ++i)
        node = child(node, word[i]);
    return node;
}

void UserWords::add(std::u16string_view word, bool mixed)
{
    if (word.empty())
        return;
    std::uint32_t node = 0;
    for (char16_t u : word) {
        auto &kids = nodes_[node].kids;
        auto it =
            std::lower_bound(kids.begin(), kids.end(), u, [](const auto &kid, char16_t v) { return kid.first < v; });
        if (it != kids.end() && it->first == u) {
            node = it->second;
        } else {
            const auto next = std::uint32_t(nodes_.size());
            kids.insert(it, {u, next});
            nodes_.emplace_back();
            node = next;
        }
    }
    nodes_[node].word = true;
    nodes_[node].mixed = mixed;
    hasMixed_ = hasMixed_ || mixed;
    set_.emplace(word);
}

std::uint32_t UserWords::child(std::uint32_t node, char16_t u) const
{
    const auto &kids = nodes_[node].kids;
    auto it = std::lower_bound(kids.begin(), kids.end(), u, [](const auto &kid, char16_t v) { return kid.first < v; });
    return (it != kids.end() && it->first == u) ? it->second : 0;
}

} // namespace orvane::seg::detail
