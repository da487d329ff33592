#include "segtest/userkeys.h"

#include "prepare/externallibs.h"
#include "segtest/textstats.h"

namespace orvane {

void BuildUserStats(TestStatistics &stats, const QString &typedText, const QString &marks, CodeDictionary &dict)
{
    QString fullMarks = marks.left(typedText.size());
    if (fullMarks.size() < typedText.size())
        fullMarks += QString(typedText.size() - fullMarks.size(), QLatin1Char('2'));
    stats.UserAlphaCount = 0;
    stats.UserWordStats = wordTable(typedText, fullMarks, dict, true, &stats.UserAlphaCount);
    stats.UserCharStats = characterTable(typedText, dict);
    // The word modes type no blanks: a run keeps its codes but loses its blanks (a run of blanks
    // becomes the empty text).
    for (int cls = 1; cls <= 5; ++cls) {
        for (StatEntry &e : stats.UserWordStats[cls])
            e.text.remove(QLatin1Char(' '));
    }
}

bool AnalyzeTypedText(
    TestStatistics &stats, const QString &typedText, const ExternalLibs *libs, CodeDictionary &dict, QString *error)
{
    stats.UserMarks.clear();
    stats.UserWordStats = {};
    stats.UserCharStats.clear();
    stats.UserAlphaCount = 0;
    if (!libs || !libs->isOpen()) {
        if (error)
            *error = QStringLiteral("分词程序库未能加载，无法对用户输入的内容进行分词！");
        return false;
    }
    QString marks;
    QString why;
    if (!libs->divideSentence(typedText, &marks, &why)) {
        if (error)
            *error = QStringLiteral("分词失败：%1").arg(why);
        return false;
    }
    stats.UserMarks = marks;
    BuildUserStats(stats, typedText, marks, dict);
    return true;
}

KeyCountSlots CountUserKeys(const TestStatistics &stats)
{
    using namespace KeySlot;
    KeyCountSlots k{};
    const QString blank = QStringLiteral(" ");

    for (const StatEntry &e : stats.UserCharStats) {
        if (e.standardCode.isEmpty()) {
            if (e.text != blank) {
                k[CharStdPunct] += e.count;
                k[CharShortPunct] += e.count;
            }
            continue;
        }
        addSingleCharacterKeys(k, e);
    }

    for (int cls = 1; cls <= 5; ++cls) {
        for (const StatEntry &e : stats.UserWordStats[cls]) {
            const int length = codeLength(e.standardCode);
            // A run nobody can code is typed character by character as symbols.
            const bool uncoded = !e.text.isEmpty() && length == 0;
            const int uncodedKeys = cls == 1 ? e.count : characterLength(e.text) * e.count;

            if (uncoded) {
                k[WordStdPunct] += uncodedKeys;
            } else if (cls == 1) {
                if (!e.text.isEmpty()) {
                    k[WordStdCharKeys] += e.count * length;
                    k[WordStdFunction] += e.count * 2;
                }
            } else {
                k[WordStdWordKeys] += e.count * length;
                k[WordStdFunction] += e.count * 2;
            }

            if (!e.shortCode.isEmpty()) {
                k[cls == 1 ? WordShortCharShortKeys : WordShortWordShortKeys] += e.count * codeLength(e.shortCode);
                k[WordShortFunction] += e.count * 2;
            } else if (uncoded) {
                k[WordShortPunct] += uncodedKeys;
            } else {
                k[WordShortStdKeys] += e.count * length;
                k[WordShortFunction] += e.count * 2;
            }
        }
    }

    const int alpha = stats.UserAlphaCount;
    for (int slot : {CharStdAlpha, CharShortAlpha, WordStdAlpha, WordShortAlpha})
        k[slot] = alpha;
    k[CharStdTotal] = k[CharStdCharKeys] + k[CharStdFunction] + k[CharStdPunct] + alpha;
    k[CharShortTotal] = k[CharShortStdKeys] + k[CharShortShortKeys] + k[CharShortFunction] + k[CharShortPunct] + alpha;
    k[WordStdTotal] = k[WordStdWordKeys] + k[WordStdCharKeys] + k[WordStdFunction] + k[WordStdPunct] + alpha;
    k[WordShortTotal] = k[WordShortStdKeys] + k[WordShortCharShortKeys] + k[WordShortWordShortKeys]
        + k[WordShortFunction] + k[WordShortPunct] + alpha;
    return k;
}

} // namespace orvane
