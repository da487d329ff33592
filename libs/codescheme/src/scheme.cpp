#include "orvane/codes/scheme.h"

#include <algorithm>

namespace orvane::codes {

bool isValidCode(std::string_view code)
{
    if (code.empty() || code.size() > kMaxCodeLength)
        return false;
    for (char c : code)
        if (c < '0' || c > '9')
            return false;
    return true;
}

std::string strokeDigits(std::string_view letters)
{
    std::string out;
    out.reserve(letters.size());
    for (char c : letters) {
        switch (c) {
        case 'h': out += '1'; break;
        case 's': out += '2'; break;
        case 'p': out += '3'; break;
        case 'n': out += '4'; break;
        case 'z': out += '5'; break;
        default: return {};
        }
    }
    return out;
}

std::string characterCode(std::string_view fourCorner, std::string_view strokes)
{
    // Four corners must be four digits; the supplementary digit follows a dot.
    const bool hasCorners = fourCorner.size() >= 4 && isValidCode(fourCorner.substr(0, 4));
    std::string code;
    if (hasCorners) {
        code = fourCorner.substr(0, 4);
        if (fourCorner.size() >= 6 && fourCorner[4] == '.' && fourCorner[5] >= '0' && fourCorner[5] <= '9')
            code += fourCorner[5];
        else
            code += '0';
        code += strokes.empty() ? '0' : static_cast<char>('0' + strokes.size() % 10);
        return code;
    }
    if (strokes.empty() || !isValidCode(strokes.substr(0, kMaxCodeLength)))
        return {};
    // Every character code has six digits, so that no rare character's code is as short as a
    // short code.
    code = strokes.substr(0, kMaxCodeLength);
    code.resize(kMaxCodeLength, '0');
    return code;
}

std::string wordCode(const std::vector<std::string> &codes)
{
    if (codes.empty())
        return {};
    for (const std::string &c : codes)
        if (c.empty())
            return {};
    const auto first = [](const std::string &c) { return c.front(); };
    const auto second = [](const std::string &c) { return c.size() > 1 ? c[1] : c.front(); };
    const auto last = [](const std::string &c) { return c.back(); };
    std::string w;
    switch (codes.size()) {
    case 1: return codes.front();
    case 2:
        for (const std::string &c : codes) {
            w += first(c);
            w += second(c);
            w += last(c);
        }
        return w;
    case 3:
        for (const std::string &c : codes) {
            w += first(c);
            w += last(c);
        }
        return w;
    default:
        w += first(codes[0]);
        w += last(codes[0]);
        w += first(codes[1]);
        w += last(codes[1]);
        w += first(codes[2]);
        w += first(codes.back());
        return w;
    }
}

} // namespace orvane::codes

#include <unordered_map>

namespace orvane::codes {

double nonFirstCandidateShare(const std::vector<CodeFrequency> &items)
{
    // Per code the sum of all frequencies and the largest one; everything but the largest is
    // text typed with a second or later candidate.
    std::unordered_map<std::string, std::pair<long double, std::uint64_t>> perCode;
    long double total = 0;
    for (const CodeFrequency &item : items) {
        auto &[sum, top] = perCode[item.code];
        sum += item.frequency;
        top = std::max(top, item.frequency);
        total += item.frequency;
    }
    if (total <= 0)
        return 0;
    long double later = 0;
    for (const auto &[code, entry] : perCode)
        later += entry.first - entry.second;
    return static_cast<double>(later / total);
}

} // namespace orvane::codes
