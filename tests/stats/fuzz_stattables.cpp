// The marks of a segmented example come from its mark file: any text with any marks must build
// the tables without a crash, with the counts adding up and every class in falling order.
#include "prepare/codedictionary.h"
#include "segtest/textstats.h"
#include "segtest/userkeys.h"

#include <QCoreApplication>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

// Input: the text in UTF-8, a NUL, the marks.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype nul = bytes.indexOf('\0');
    const QString text = QString::fromUtf8(nul < 0 ? bytes : bytes.left(nul));
    const QString marks = nul < 0 ? QString() : QString::fromLatin1(bytes.mid(nul + 1));

    orvane::CodeDictionary dict; // not open: no codes, as without jtdb.dat
    orvane::TestStatistics stats;
    orvane::BuildCharStats(stats, text, dict);
    orvane::BuildWordStats(stats, text, marks, dict);
    int characters = 0;
    for (const orvane::StatEntry &e : stats.CharStats)
        characters += e.count;
    if (characters > text.size())
        std::abort();
    int wordCharacters = 0;
    for (int k = 1; k <= 5; ++k) {
        const QVector<orvane::StatEntry> &entries = stats.WordStats[k];
        for (qsizetype i = 0; i < entries.size(); ++i) {
            if (entries[i].count < 1 || (i > 0 && entries[i].count > entries[i - 1].count))
                std::abort();
            wordCharacters += entries[i].count * int(entries[i].text.size());
        }
    }
    if (wordCharacters > std::min(text.size(), marks.size()))
        std::abort();
    for (int v : orvane::CountTextKeys(stats, 0, 0))
        if (v < 0)
            std::abort();

    orvane::BuildUserStats(stats, text, marks, dict);
    if (stats.UserAlphaCount > text.size())
        std::abort();
    for (int v : orvane::CountUserKeys(stats))
        if (v < 0)
            std::abort();
    return 0;
}
