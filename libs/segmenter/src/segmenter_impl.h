// Internals of the segmenter, shared by the library and its fuzz targets.
#pragma once

#include "dict_format.h"
#include "orvane/segmenter.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace orvane::seg::detail {

// Read-only view of an orvane-seg.dict image. open() checks the header, the sections and the
// small tables; the trie (nearly all of the file) is checked whole by open() with Check::Whole,
// and with Check::Layout (an image that was checked whole before) only where a lookup reads it.
// Either way no lookup can leave the arrays; a node that fails its check is no word and has no
// children.
class Dictionary {
public:
    enum class Check { Whole, Layout };
    // Validates the image; on failure returns false and says why (without the file name).
    bool open(const std::uint8_t *data, std::size_t size, std::string *why, Check check = Check::Whole);

    std::uint32_t root(char16_t u) const { return root_[u]; }
    std::uint32_t child(std::uint32_t node, char16_t u) const;
    bool isWord(std::uint32_t node) const { return (nodes_[node].flags & format::kFlagWord) != 0; }
    std::uint8_t flags(std::uint32_t node) const { return nodes_[node].flags; }
    // A word's log probability; the floor for a weight that is no log probability.
    double weight(std::uint32_t node) const
    {
        const double w = nodes_[node].weight;
        return std::isfinite(w) && w <= 0 ? w : minLogProb_;
    }
    double minLogProb() const { return minLogProb_; }
    // The node of the whole word, 0 if the word is not in the trie.
    std::uint32_t find(std::u16string_view word) const;

    // HMM, states in B M E S order.
    double start(int s) const { return hmm_[s]; }
    double trans(int from, int to) const { return hmm_[4 + from * 4 + to]; }
    // Emission row of a character, nullptr when the model has not seen it.
    const float *emission(char32_t c) const
    {
        if (c > 0xFFFF)
            return nullptr;
        const std::uint16_t row = emitIndex_[c];
        return row == 0 ? nullptr : emitRows_ + std::size_t(row - 1) * 4;
    }

private:
    bool wholeTrieSound(std::string *why) const;

    const std::uint32_t *root_ = nullptr;
    const format::Node *nodes_ = nullptr;
    const float *hmm_ = nullptr;
    const std::uint16_t *emitIndex_ = nullptr;
    const float *emitRows_ = nullptr;
    const format::EdgeSlot *edges_ = nullptr;
    std::uint32_t edgeMask_ = 0;
    std::uint32_t nodeCount_ = 0;
    double minLogProb_ = 0;
};

// Custom words of the user: a small trie in memory.
class UserWords {
public:
    void add(std::u16string_view word, bool mixed);
    bool contains(std::u16string_view word) const { return set_.count(std::u16string(word)) != 0; }
    bool empty() const { return set_.empty(); }
    bool hasMixed() const { return hasMixed_; }
    // Trie walk: node 0 is the root; returns 0 when there is no such child.
    std::uint32_t child(std::uint32_t node, char16_t u) const;
    bool isWord(std::uint32_t node) const { return nodes_[node].word; }
    bool isMixed(std::uint32_t node) const { return nodes_[node].mixed; }

private:
    struct Node {
        std::vector<std::pair<char16_t, std::uint32_t>> kids; // sorted by unit
        bool word = false;
        bool mixed = false; // the word holds characters outside the dictionary route
    };
    std::vector<Node> nodes_{Node{}};
    std::unordered_set<std::u16string> set_;
    bool hasMixed_ = false;
};

// Builds a segmenter over a dictionary image kept in memory (fuzzing, tests). name is used in
// error messages.
std::unique_ptr<Segmenter> loadFromBuffer(std::vector<std::uint8_t> bytes, const std::string &name, std::string *error);
// The same over storage of size bytes that the segmenter takes over (the file reader's).
std::unique_ptr<Segmenter> loadFromBuffer(
    std::unique_ptr<std::uint8_t[]> bytes, std::size_t size, const std::string &name, std::string *error);

} // namespace orvane::seg::detail
