#include "segtest/report.h"

#include "segtest/resultsummary.h"

#include <cmath>

namespace orvane {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// A line of the report; blankAfter adds the empty line that follows some of them.
void line(QString &out, const QString &text, bool blankAfter = false)
{
    out += text + kCrLf;
    if (blankAfter)
        out += kCrLf;
}

struct KeyLine {
    const char16_t *label;
    int slot;
    bool blankAfter;
};

// The report's order of the key figures: mode by mode, the letters and digits of each mode
// after its punctuation.
constexpr KeyLine kKeyLines[24] = {
    {u"单字标准码输入时的总键数：", KeySlot::CharStdTotal, false},
    {u"单字标准码输入时的字键数：", KeySlot::CharStdCharKeys, false},
    {u"单字标准码输入时的标点键数：", KeySlot::CharStdPunct, false},
    {u"单字标准码输入时的字母数字数：", KeySlot::CharStdAlpha, false},
    {u"单字标准码输入时的功能键数：", KeySlot::CharStdFunction, true},
    {u"单字简码输入时的总键数：", KeySlot::CharShortTotal, false},
    {u"单字简码输入时的标准码键数：", KeySlot::CharShortStdKeys, false},
    {u"单字简码输入时的简码键数：", KeySlot::CharShortShortKeys, false},
    {u"单字简码输入时的标点键数：", KeySlot::CharShortPunct, false},
    {u"单字简码输入时的字母数字数：", KeySlot::CharShortAlpha, false},
    {u"单字简码输入时的功能键数：", KeySlot::CharShortFunction, true},
    {u"词组标准码输入时的总键数：", KeySlot::WordStdTotal, false},
    {u"词组标准码输入时的字键数：", KeySlot::WordStdCharKeys, false},
    {u"词组标准码输入时的词键数：", KeySlot::WordStdWordKeys, false},
    {u"词组标准码输入时的标点键数：", KeySlot::WordStdPunct, false},
    {u"词组标准码输入时的字母数字数：", KeySlot::WordStdAlpha, false},
    {u"词组标准码输入时的功能键数：", KeySlot::WordStdFunction, true},
    {u"词组简码输入时的总键数：", KeySlot::WordShortTotal, false},
    {u"词组简码输入时的标准码键数：", KeySlot::WordShortStdKeys, false},
    {u"词组简码输入时的字简码键数：", KeySlot::WordShortCharShortKeys, false},
    {u"词组简码输入时的词简码键数：", KeySlot::WordShortWordShortKeys, false},
    {u"词组简码输入时的标点键数：", KeySlot::WordShortPunct, false},
    {u"词组简码输入时的字母数字数：", KeySlot::WordShortAlpha, false},
    {u"词组简码输入时的功能键数：", KeySlot::WordShortFunction, false},
};

} // namespace

QString reportRule()
{
    return QString(38, u'*');
}

QString shortestAverage(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    // The value is the two-decimal figure the details dialog showed; printing it with two
    // decimals first keeps binary noise (3.3300000000000001) out of the report.
    QString s = QString::number(value, 'f', 2);
    while (s.endsWith(u'0'))
        s.chop(1);
    if (s.endsWith(u'.'))
        s.chop(1);
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s;
}

QString reportBasicSection(const ReportFigures &doc)
{
    QString out;
    line(out, QStringLiteral("以下是关于文本和用户技术的基本信息："), true);
    line(out, reportRule());
    line(out, QStringLiteral("文本中的总字数：%1").arg(doc.SymbolCount + doc.HanziCount + doc.AlphaCount));
    line(out, QStringLiteral("文本中的汉字数：%1").arg(doc.HanziCount));
    line(out, QStringLiteral("文本中的标点符号数：%1").arg(doc.SymbolCount));
    line(out, QStringLiteral("文本中的字母数字数：%1").arg(doc.AlphaCount));
    line(out, QStringLiteral("用户所用时间：") + formatElapsed(doc.ElapsedSeconds));
    line(out, QStringLiteral("正确率：") + doc.AccuracyText);
    line(out, QStringLiteral("输入速度：") + doc.SpeedText);
    line(out, QStringLiteral("有效速度：") + doc.EffectiveSpeedText);
    line(out, reportRule(), true);
    return out;
}

QString reportTextDetailSection(const WordTable &words)
{
    const QString five(5, u' ');
    const QString six(6, u' ');
    const QString seven(7, u' ');
    QString out;
    line(out, QStringLiteral("以下是关于文本的详细信息："), true);
    line(out, QStringLiteral("文本中包含的文字信息："));
    line(out, reportRule());
    line(out,
        five + QStringLiteral("文字") + five + QStringLiteral("次数") + five + QStringLiteral("标准码") + five
            + QStringLiteral("简码"));
    for (int cls = 1; cls <= 5; ++cls) {
        for (const StatEntry &e : words[cls])
            line(out, five + e.text + seven + QString::number(e.count) + six + e.standardCode + seven + e.shortCode);
    }
    line(out, reportRule(), true);
    return out;
}

QString reportKeySection(const QString &heading, const KeyCountSlots &counts)
{
    QString out;
    line(out, heading);
    line(out, reportRule());
    for (const KeyLine &k : kKeyLines)
        line(out, QString::fromUtf16(k.label) + QString::number(counts[k.slot]), k.blankAfter);
    line(out, reportRule(), true);
    return out;
}

QString reportTextKeySection(const KeyCountSlots &counts)
{
    return reportKeySection(QStringLiteral("关于全部文本的键数信息："), counts);
}

QString reportUserSection(const TypingDetails &typing)
{
    QString out;
    line(out, QStringLiteral("以下是关于用户技术的详细信息："), true);
    line(out, reportRule());
    line(out, QStringLiteral("用户输入的总字数：%1").arg(typing.typed));
    line(out, QStringLiteral("用户输入的单字个数：%1").arg(typing.wordCounts[1]));
    line(out, QStringLiteral("用户输入的二字词个数：%1").arg(typing.wordCounts[2]));
    line(out, QStringLiteral("用户输入的三字词个数：%1").arg(typing.wordCounts[3]));
    line(out, QStringLiteral("用户输入的四字词个数：%1").arg(typing.wordCounts[4]));
    line(out, QStringLiteral("用户输入的多字词个数：%1").arg(typing.wordCounts[5]));
    line(out, QStringLiteral("用户输入时的总击键数：%1").arg(typing.keystrokes));
    line(out, QStringLiteral("用户输入时的平均击键数/字：") + shortestAverage(typing.average));
    line(out, reportRule(), true);
    return out;
}

QString reportUserKeySection(const KeyCountSlots &counts)
{
    return reportKeySection(QStringLiteral("以下是关于用户所输入的文本的键数信息："), counts);
}

QString reportTypingFiguresSection(const TypingFigures &f)
{
    QString out;
    line(out, QStringLiteral("以下是关于击键、码长和打词的信息："), true);
    line(out, reportRule());
    line(out, QStringLiteral("击键（键/秒）：") + keysPerSecondText(f.keysPerSecond));
    line(out, QStringLiteral("码长（键/字）：") + codeLengthText(f.codeLength));
    line(out, QStringLiteral("所打部分的理论码长：") + codeLengthText(f.idealCodeLength));
    line(out, QStringLiteral("全部文本的理论码长：") + codeLengthText(f.textIdealCodeLength));
    line(out, QStringLiteral("打词率：") + shareText(f.wordShare));
    line(out, QStringLiteral("理论打词率：") + shareText(f.idealWordShare));
    line(out, QStringLiteral("打词达成率：") + shareText(f.wordShareRatio));
    line(out, QStringLiteral("退格次数：%1").arg(f.backspaces));
    line(out, QStringLiteral("回改字数：%1").arg(f.retyped));
    line(out, QStringLiteral("键准：") + shareText(f.keyAccuracy));
    line(out, reportRule(), true);
    return out;
}

QString statisticsReport(const ReportFigures &figures)
{
    QString out = reportBasicSection(figures);
    if (figures.WordStats) {
        out += reportTextDetailSection(*figures.WordStats);
        if (figures.TextKeyCounts)
            out += reportTextKeySection(*figures.TextKeyCounts);
        out += reportUserSection(figures.Typing);
        if (figures.UserKeyCounts)
            out += reportUserKeySection(*figures.UserKeyCounts);
    }
    if (figures.Figures)
        out += reportTypingFiguresSection(*figures.Figures);
    return out;
}

bool reportAvailable(const ReportFigures &figures)
{
    return figures.hasResult || figures.WordStats.has_value();
}

} // namespace orvane
