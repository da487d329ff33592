#include "orvane/codes/shortcodes.h"

#include "orvane/codes/utf.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <unordered_set>

namespace orvane::codes {

std::vector<ShortCodePass> defaultShortCodePasses()
{
    return {
        {false, 3000, 1},
        {false, 3000, 2},
        {false, 3000, 3},
        {false, 3000, 4},
        {true, 20000, 4},
        {true, 20000, 5},
    };
}

void assignShortCodes(std::vector<CodedItem> &items, const std::vector<ShortCodePass> &passes)
{
    std::unordered_set<std::string> taken; // full standard codes and short codes given out
    for (const CodedItem &item : items)
        if (!item.code.empty())
            taken.insert(item.code);

    // Most frequent first; the order is total so that the result never depends on input order.
    std::vector<std::size_t> chars;
    std::vector<std::size_t> words;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].code.empty())
            continue;
        (utf16ToCodePoints(items[i].text).size() == 1 ? chars : words).push_back(i);
    }
    const auto byFrequency = [&items](std::size_t a, std::size_t b) {
        if (items[a].frequency != items[b].frequency)
            return items[a].frequency > items[b].frequency;
        return items[a].text < items[b].text;
    };
    std::sort(chars.begin(), chars.end(), byFrequency);
    std::sort(words.begin(), words.end(), byFrequency);

    const auto count = [&items](std::size_t i) {
        return (items[i].shortCodes[0].empty() ? 0 : 1) + (items[i].shortCodes[1].empty() ? 0 : 1);
    };

    for (const ShortCodePass &pass : passes) {
        const std::vector<std::size_t> &pool = pass.words ? words : chars;
        const std::size_t n = std::min(pass.candidates, pool.size());
        // prefix -> best candidate so far (pool order is by frequency, so the first with the
        // fewest short codes wins)
        std::map<std::string, std::size_t> best;
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t i = pool[k];
            if (items[i].code.size() <= pass.length || count(i) >= 2)
                continue;
            const std::string prefix = items[i].code.substr(0, pass.length);
            if (taken.count(prefix))
                continue;
            auto it = best.find(prefix);
            if (it == best.end())
                best.emplace(prefix, i);
            else if (count(i) < count(it->second))
                it->second = i;
        }
        for (const auto &[prefix, i] : best) {
            items[i].shortCodes[count(i)] = prefix;
            taken.insert(prefix);
        }
    }
}

} // namespace orvane::codes
