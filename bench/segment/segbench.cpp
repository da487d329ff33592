// Benchmark and command-line driver of the segmenter.
//
//   orvane_segbench cut   DICT            segment UTF-8 lines of stdin, words joined by two blanks
//   orvane_segbench cold  DICT TEXT [N]   load, segment the first N (2000) characters of TEXT, print marks summary
//   orvane_segbench speed DICT TEXT [R]   characters per second over TEXT, line by line, best of R (3) passes
//   orvane_segbench whole DICT TEXT       marks() of TEXT in one call (for peak memory)
#include "orvane/segmenter.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::u16string fromUtf8(const std::string &s)
{
    std::u16string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        char32_t cp;
        std::size_t len;
        if (c < 0x80) {
            cp = c;
            len = 1;
        } else if ((c >> 5) == 6) {
            cp = c & 0x1F;
            len = 2;
        } else if ((c >> 4) == 14) {
            cp = c & 0x0F;
            len = 3;
        } else if ((c >> 3) == 30) {
            cp = c & 0x07;
            len = 4;
        } else {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        if (i + len > s.size()) {
            out.push_back(0xFFFD);
            break;
        }
        for (std::size_t k = 1; k < len; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
    }
    return out;
}

void appendUtf8(std::string &out, std::u16string_view s)
{
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xC0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += char(0xE0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xF0 | (cp >> 18));
            out += char(0x80 | ((cp >> 12) & 0x3F));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        }
    }
}

std::string readFile(const char *path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path);
        std::exit(2);
    }
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::unique_ptr<orvane::seg::Segmenter> loadOrDie(const char *path)
{
    std::string error;
    auto seg = orvane::seg::Segmenter::load(path, &error);
    if (!seg) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(2);
    }
    return seg;
}

std::vector<std::u16string> splitLines(const std::u16string &text)
{
    std::vector<std::u16string> lines;
    std::size_t b = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == u'\n') {
            const std::size_t e = (i > b && text[i - 1] == u'\r') ? i - 1 : i; // CR LF counts as a break
            if (e > b)
                lines.emplace_back(text, b, e - b);
            b = i + 1;
        }
    }
    return lines;
}

int usage()
{
    std::fprintf(
        stderr, "usage: orvane_segbench cut DICT | cold DICT TEXT [N] | speed DICT TEXT [R] | whole DICT TEXT\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3)
        return usage();
    const std::string mode = argv[1];
    if (mode == "cut") {
        auto seg = loadOrDie(argv[2]);
        std::string line, out;
        while (std::getline(std::cin, line)) {
            const std::u16string text = fromUtf8(line);
            out.clear();
            bool firstToken = true;
            for (const auto &tok : seg->segment(text)) {
                if (!firstToken)
                    out += "  ";
                firstToken = false;
                appendUtf8(out, std::u16string_view(text).substr(tok.begin, tok.length));
            }
            out += '\n';
            std::fwrite(out.data(), 1, out.size(), stdout);
        }
        return 0;
    }
    if (argc < 4)
        return usage();
    if (mode == "cold") {
        const std::size_t n = argc > 4 ? std::strtoul(argv[4], nullptr, 10) : 2000;
        auto seg = loadOrDie(argv[2]);
        std::u16string text = fromUtf8(readFile(argv[3]));
        if (text.size() > n)
            text.resize(n);
        const std::u16string marks = seg->marks(text);
        std::size_t words = 0;
        for (std::size_t i = 0; i < marks.size(); ++i)
            if ((marks[i] == u'0' || marks[i] == u'1') && (i == 0 || marks[i - 1] != marks[i]))
                ++words;
        std::printf("%zu units, %zu words\n", marks.size(), words);
        return 0;
    }
    if (mode == "speed") {
        const int rounds = argc > 4 ? std::atoi(argv[4]) : 3;
        auto seg = loadOrDie(argv[2]);
        const std::u16string text = fromUtf8(readFile(argv[3]));
        const auto lines = splitLines(text);
        std::size_t units = 0;
        for (const auto &l : lines)
            units += l.size();
        double bestSeconds = 1e30;
        std::size_t tokens = 0;
        for (int r = 0; r < rounds; ++r) {
            tokens = 0;
            const auto t0 = std::chrono::steady_clock::now();
            for (const auto &l : lines)
                tokens += seg->segment(l).size();
            const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            bestSeconds = std::min(bestSeconds, s);
        }
        std::printf("orvane: %zu chars, %zu tokens, %.3f s, %.2f M chars/s\n", units, tokens, bestSeconds,
            double(units) / bestSeconds / 1e6);
        return 0;
    }
    if (mode == "whole") {
        auto seg = loadOrDie(argv[2]);
        const std::u16string text = fromUtf8(readFile(argv[3]));
        const auto t0 = std::chrono::steady_clock::now();
        const std::u16string marks = seg->marks(text);
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::printf("marks of %zu units in one call: %.3f s\n", marks.size(), s);
        return 0;
    }
    return usage();
}
