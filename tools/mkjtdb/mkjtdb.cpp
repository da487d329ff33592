// Builds the code database jtdb.dat and the libraries' code data orvane-codes.dat from the
// character table of extract_chardata.py and the open word list (jieba's dict.txt: "word
// frequency tag" per line). Both outputs come from one computation, so the database and the
// libraries always give the same codes.
//
//   mkjtdb --chars chars.tsv --words dict.txt --db jtdb.dat --codes orvane-codes.dat
#include "orvane/codes/codedata.h"
#include "orvane/codes/scheme.h"
#include "orvane/codes/shortcodes.h"
#include "orvane/codes/utf.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

using namespace orvane::codes;

namespace {

struct CharRow {
    char32_t cp = 0;
    std::string code;
    bool gb2312 = false;
};

[[noreturn]] void die(const std::string &message)
{
    std::cerr << "mkjtdb: " << message << '\n';
    std::exit(1);
}

std::vector<std::string> split(const std::string &line, char sep)
{
    std::vector<std::string> parts;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t next = line.find(sep, pos);
        parts.push_back(line.substr(pos, next == std::string::npos ? std::string::npos : next - pos));
        if (next == std::string::npos)
            return parts;
        pos = next + 1;
    }
}

std::string codePointUtf8(char32_t cp)
{
    std::u16string s;
    if (cp >= 0x10000) {
        s += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
        s += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
        s += static_cast<char16_t>(cp);
    }
    return utf16ToUtf8(s);
}

class Db {
public:
    explicit Db(const std::string &path)
    {
        if (sqlite3_open(path.c_str(), &m_db) != SQLITE_OK)
            die("cannot create " + path + ": " + sqlite3_errmsg(m_db));
    }
    ~Db() { sqlite3_close(m_db); }
    void exec(const std::string &sql)
    {
        char *err = nullptr;
        if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK)
            die("SQL failed: " + std::string(err ? err : "?"));
    }
    sqlite3_stmt *prepare(const std::string &sql)
    {
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            die("SQL failed: " + std::string(sqlite3_errmsg(m_db)));
        return st;
    }
    void insert(sqlite3_stmt *st, const std::vector<std::string> &values)
    {
        sqlite3_reset(st);
        for (std::size_t i = 0; i < values.size(); ++i)
            sqlite3_bind_text(
                st, static_cast<int>(i + 1), values[i].c_str(), static_cast<int>(values[i].size()), SQLITE_TRANSIENT);
        if (sqlite3_step(st) != SQLITE_DONE)
            die("insert failed: " + std::string(sqlite3_errmsg(m_db)));
    }

private:
    sqlite3 *m_db = nullptr;
};

std::string orBlank(const std::string &s)
{
    return s.empty() ? " " : s;
}

} // namespace

int main(int argc, char **argv)
{
    std::map<std::string, std::string> args;
    for (int i = 1; i + 1 < argc; i += 2)
        args[argv[i]] = argv[i + 1];
    for (const char *required : {"--chars", "--words", "--db", "--codes"})
        if (!args.count(required))
            die(std::string("missing ") + required
                + " (usage: mkjtdb --chars chars.tsv --words dict.txt --db jtdb.dat --codes orvane-codes.dat)");

    // Characters and their standard codes.
    std::vector<CharRow> chars;
    std::unordered_map<char32_t, std::size_t> charIndex;
    {
        std::ifstream in(args["--chars"]);
        if (!in)
            die("cannot read " + args["--chars"]);
        std::string line;
        while (std::getline(in, line)) {
            const auto f = split(line, '\t');
            if (f.size() != 4 || f[0].rfind("U+", 0) != 0)
                continue;
            CharRow row;
            row.cp = static_cast<char32_t>(std::strtoul(f[0].c_str() + 2, nullptr, 16));
            row.code = characterCode(f[1] == "-" ? "" : f[1], f[2] == "-" ? "" : strokeDigits(f[2]));
            row.gb2312 = f[3] == "1";
            if (row.code.empty() || row.cp == 0 || row.cp > 0x10FFFF)
                continue;
            charIndex.emplace(row.cp, chars.size());
            chars.push_back(row);
        }
    }
    if (chars.size() < 10000)
        die("too few characters in " + args["--chars"]);

    // Word list: frequencies of words and, summed over the words, of characters.
    std::unordered_map<char32_t, std::uint64_t> charFrequency;
    std::vector<CodedItem> items;
    std::unordered_map<std::string, std::size_t> wordIndex;
    {
        std::ifstream in(args["--words"]);
        if (!in)
            die("cannot read " + args["--words"]);
        std::string line;
        while (std::getline(in, line)) {
            const auto f = split(line, ' ');
            if (f.size() < 2 || f[0].empty())
                continue;
            const std::uint64_t freq = std::strtoull(f[1].c_str(), nullptr, 10);
            const std::u16string text = utf8ToUtf16(f[0]);
            const std::u32string cps = utf16ToCodePoints(text);
            for (char32_t cp : cps)
                charFrequency[cp] += freq;
            if (cps.size() < 2)
                continue;
            std::vector<std::string> codes;
            for (char32_t cp : cps) {
                const auto it = charIndex.find(cp);
                codes.push_back(it == charIndex.end() ? std::string() : chars[it->second].code);
            }
            const std::string code = wordCode(codes);
            if (code.empty())
                continue;
            if (auto it = wordIndex.find(f[0]); it != wordIndex.end()) {
                items[it->second].frequency += freq;
                continue;
            }
            wordIndex.emplace(f[0], items.size());
            items.push_back({text, code, freq, {}});
        }
    }
    if (items.size() < 100000)
        die("too few coded words in " + args["--words"]);
    const std::size_t firstChar = items.size();
    for (const CharRow &c : chars) {
        const std::string utf8 = codePointUtf8(c.cp);
        items.push_back({utf8ToUtf16(utf8), c.code, charFrequency[c.cp], {}});
    }
    assignShortCodes(items);

    // The libraries' code data.
    {
        std::vector<std::pair<char32_t, std::string>> table;
        for (const CharRow &c : chars)
            table.emplace_back(c.cp, c.code);
        std::vector<std::string> words;
        for (const auto &[w, i] : wordIndex)
            words.push_back(w);
        const std::string bytes = CodeData::serialize(std::move(table), std::move(words));
        const std::string tmp = args["--codes"] + ".tmp";
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out || std::rename(tmp.c_str(), args["--codes"].c_str()) != 0)
            die("cannot write " + args["--codes"]);
    }

    // The code database, built under a temporary name and renamed when complete.
    const std::string tmpDb = args["--db"] + ".tmp";
    std::remove(tmpDb.c_str());
    std::size_t shortCount = 0;
    {
        Db db(tmpDb);
        db.exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA page_size=4096;");
        db.exec("BEGIN");
        db.exec("CREATE TABLE jtzi (hz TEXT, srm TEXT, jm1 TEXT, jm2 TEXT, freq TEXT, gb2312 TEXT)");
        db.exec("CREATE TABLE jtci (hz TEXT, srm TEXT, jm1 TEXT, jm2 TEXT, freq TEXT)");
        db.exec("CREATE TABLE jmzici (hz TEXT, srm TEXT)");
        db.exec("CREATE TABLE info (name TEXT, value TEXT)");
        sqlite3_stmt *zi = db.prepare("INSERT INTO jtzi VALUES (?, ?, ?, ?, ?, ?)");
        sqlite3_stmt *ci = db.prepare("INSERT INTO jtci VALUES (?, ?, ?, ?, ?)");
        sqlite3_stmt *jm = db.prepare("INSERT INTO jmzici VALUES (?, ?)");
        sqlite3_stmt *info = db.prepare("INSERT INTO info VALUES (?, ?)");

        // Most frequent first, so that a table scan lists the usual items first.
        std::vector<std::size_t> order(items.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(),
            [&items](std::size_t a, std::size_t b) { return items[a].frequency > items[b].frequency; });
        for (std::size_t i : order) {
            const CodedItem &item = items[i];
            const std::string hz = utf16ToUtf8(item.text);
            const std::string freq = std::to_string(item.frequency);
            if (i >= firstChar) {
                const CharRow &c = chars[i - firstChar];
                db.insert(zi,
                    {hz, item.code, orBlank(item.shortCodes[0]), orBlank(item.shortCodes[1]), freq,
                        c.gb2312 ? "1" : "0"});
            } else {
                db.insert(ci, {hz, item.code, orBlank(item.shortCodes[0]), orBlank(item.shortCodes[1]), freq});
            }
            if (!item.shortCodes[0].empty()) {
                db.insert(jm, {hz, item.shortCodes[0]});
                ++shortCount;
            }
        }
        db.insert(info, {"source", "Unihan kFourCornerCode (unicode-data), rime-data-stroke, jieba dict.txt"});
        db.insert(info, {"characters", std::to_string(chars.size())});
        db.insert(info, {"words", std::to_string(firstChar)});
        for (sqlite3_stmt *st : {zi, ci, jm, info})
            sqlite3_finalize(st);
        db.exec("CREATE INDEX jtzi_hz ON jtzi (hz)");
        db.exec("CREATE INDEX jtzi_srm ON jtzi (srm)");
        db.exec("CREATE INDEX jtci_hz ON jtci (hz)");
        db.exec("CREATE INDEX jmzici_hz ON jmzici (hz)");
        db.exec("COMMIT");
        db.exec("VACUUM");
    }
    if (std::rename(tmpDb.c_str(), args["--db"].c_str()) != 0)
        die("cannot write " + args["--db"]);

    std::vector<CodeFrequency> gb;
    for (const CharRow &c : chars)
        if (c.gb2312)
            gb.push_back({c.code, charFrequency[c.cp]});
    std::printf("mkjtdb: %zu characters (%zu of GB2312), %zu words, %zu items with short codes; "
                "GB2312 text on a later candidate: %.2f %%\n",
        chars.size(), gb.size(), firstChar, shortCount, 100.0 * nonFirstCandidateShare(gb));
    return 0;
}
