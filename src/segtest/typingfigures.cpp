#include "segtest/typingfigures.h"

#include "segtest/keypathindex.h"

#include "core/programfolder.h"
#include "core/workfiles.h"
#include "orvane/codes/customdict.h"
#include "segtest/resultsummary.h"

namespace orvane {

namespace {

std::optional<double> ratio(double numerator, double denominator)
{
    if (!(denominator > 0))
        return std::nullopt;
    return numerator / denominator;
}

} // namespace

int chineseCharactersOf(QStringView commit)
{
    int n = 0;
    for (char32_t c : commit.toUcs4())
        if (codes::CustomDictionary::isChineseCharacter(c))
            ++n;
    return n;
}

TypingFigures computeTypingFigures(const TestCounters &counters, qint64 seconds, const QVector<HistoryCommit> &commits,
    const KeyPath *textPath, const KeyPath *stretchPath)
{
    TypingFigures f;
    f.seconds = qMax<qint64>(0, seconds);
    f.keys = counters.KeystrokeCount;
    f.characters = counters.TypedStretch;
    f.backspaces = counters.BackspaceCount;
    f.lefts = counters.LeftCount;
    f.retyped = counters.RetypedCount;
    for (const HistoryCommit &c : commits) {
        const int chinese = chineseCharactersOf(c.text);
        f.chineseTyped += chinese;
        if (chinese >= 2)
            f.wordCharacters += chinese;
    }

    f.keysPerSecond = ratio(f.keys, double(f.seconds));
    f.codeLength = ratio(f.keys, f.characters);
    if (textPath)
        f.textIdealCodeLength = ratio(textPath->keys, textPath->characters);
    if (stretchPath) {
        f.idealCodeLength = ratio(stretchPath->keys, stretchPath->characters);
        f.idealWordShare = ratio(stretchPath->wordCharacters, stretchPath->chineseCharacters);
    }
    f.wordShare = ratio(f.wordCharacters, f.chineseTyped);
    if (f.wordShare && f.idealWordShare)
        f.wordShareRatio = ratio(*f.wordShare, *f.idealWordShare);
    if (f.keys > 0) {
        // Every character typed again cost about one character's keys; a test with more
        // corrections than keys to spare ends at 0, not below.
        const double wasted = f.backspaces + f.lefts + f.retyped * f.codeLength.value_or(0);
        f.keyAccuracy = qBound(0.0, (f.keys - wasted) / f.keys, 1.0);
    }
    return f;
}

QString figureText(const std::optional<double> &value, int decimals, double factor, const QString &unit)
{
    return value ? QString::number(*value * factor, 'f', decimals) + unit : QStringLiteral("—");
}

QString keysPerSecondText(const std::optional<double> &v)
{
    return figureText(v, 2);
}

QString codeLengthText(const std::optional<double> &v)
{
    return figureText(v, 3);
}

QString shareText(const std::optional<double> &v)
{
    return figureText(v, 1, 100, QStringLiteral("%"));
}

QString liveFiguresLine(const TestCounters &counters, qint64 seconds)
{
    const ResultNumbers n = resultNumbers(seconds, counters.RightCharCount, counters.WrongCharCount);
    const TypingFigures f = computeTypingFigures(counters, seconds, {}, nullptr, nullptr);
    return QStringLiteral("速度 %1字/分\n击键 %2\n码长 %3")
        .arg(QString::number(n.speed), keysPerSecondText(f.keysPerSecond), codeLengthText(f.codeLength));
}

QString resultShareLine(const QString &textName, const ResultSummary &r, const TypingFigures &f)
{
    return QStringLiteral("《%1》 速度%2 有效速度%3 正确率%4 用时%5 击键%6 码长%7 理论码长%8 打词率%9 "
                          "理论打词率%10 打词达成率%11 退格%12 回改%13 键准%14")
        .arg(textName.isEmpty() ? QStringLiteral("无题") : textName, r.speed, r.effectiveSpeed, r.accuracy, r.time,
            keysPerSecondText(f.keysPerSecond), codeLengthText(f.codeLength), codeLengthText(f.idealCodeLength),
            shareText(f.wordShare))
        .arg(shareText(f.idealWordShare), shareText(f.wordShareRatio), QString::number(f.backspaces),
            QString::number(f.retyped), shareText(f.keyAccuracy));
}

std::optional<KeyPathTable> loadInstalledKeyPathTable(const ProgramFolder &folder, QStringView text, QString *error)
{
    // The table comes from the database's index in the per-user cache folder (made the first
    // time and whenever the database changed), which saves reading the whole database.
    return KeyPathTable::loadCached(folder.dataFile(workfiles::codeDatabase()), installedCustomWordsPath(), text,
        defaultKeyPathCacheFolder(), error);
}

} // namespace orvane
