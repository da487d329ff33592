// The figures typists compare after a test, without widgets: keys a second (击键), keys a
// character (码长) beside the ideal of the shortest key path (理论码长), the share of Chinese
// characters typed as words (打词率) beside its ideal, Backspace presses (退格), characters typed
// again (回改) and key accuracy (键准). docs/figures.md defines each with a worked example.
//
// A figure that cannot be computed is absent (std::nullopt) and shown as "—": no division by
// zero and no NaN ever reaches a label, the report or the history.
#pragma once

#include "history/historydb.h"
#include "segtest/keypath.h"
#include "segtest/statsdata.h"

#include <QString>
#include <QStringView>
#include <QVector>
#include <optional>

namespace orvane {

class ProgramFolder;
struct ResultSummary;

struct TypingFigures {
    // What they are computed from.
    qint64 seconds = 0;     // the test's seconds without pauses
    int keys = 0;           // KeystrokeCount
    int characters = 0;     // the typed stretch: positions from the start to the furthest typed
    int backspaces = 0;     // 退格
    int lefts = 0;          // Left presses
    int retyped = 0;        // 回改
    int chineseTyped = 0;   // Chinese characters that arrived in commits
    int wordCharacters = 0; // of them, in commits of two or more Chinese characters

    std::optional<double> keysPerSecond;       // 击键: keys ÷ seconds
    std::optional<double> codeLength;          // 码长: keys ÷ characters
    std::optional<double> idealCodeLength;     // 理论码长 of the typed stretch
    std::optional<double> textIdealCodeLength; // 理论码长 of the whole text
    std::optional<double> wordShare;           // 打词率: wordCharacters ÷ chineseTyped
    std::optional<double> idealWordShare;      // the shortest path's word share of the stretch
    std::optional<double> wordShareRatio;      // 打词达成率: wordShare ÷ idealWordShare
    std::optional<double> keyAccuracy;         // 键准, 0 to 1

    bool operator==(const TypingFigures &) const = default;
};

// The figures of a test from its counters, its seconds without pauses, its commits and the
// shortest key paths of the whole text and of the typed stretch (null when they could not be
// computed: the figures that need them are absent).
TypingFigures computeTypingFigures(const TestCounters &counters, qint64 seconds, const QVector<HistoryCommit> &commits,
    const KeyPath *textPath, const KeyPath *stretchPath);

// The Chinese characters of a commit; punctuation, letters and digits in it do not count. A
// commit with two or more of them was typed as a word.
int chineseCharactersOf(QStringView commit);

// A figure as shown: the value with the given decimals, times factor, with its unit; "—" when
// absent.
QString figureText(const std::optional<double> &value, int decimals, double factor = 1, const QString &unit = {});
// The shown forms of each figure, shared by the result dialog, the copied line and the report.
QString keysPerSecondText(const std::optional<double> &v);
QString codeLengthText(const std::optional<double> &v);
QString shareText(const std::optional<double> &v); // a percentage with one decimal

// The live line of a running test: speed in characters a minute, 击键 and 码长 so far.
QString liveFiguresLine(const TestCounters &counters, qint64 seconds);

// One line with the text's name, the result dialog's figures and every figure above, as typists
// paste a result into a chat.
QString resultShareLine(const QString &textName, const ResultSummary &result, const TypingFigures &figures);

// The table of the shortest key path as the program installs the input method: the code
// database of the program folder and the user's custom words, keeping the items of text.
// nullopt with *error when the database cannot be read.
std::optional<KeyPathTable> loadInstalledKeyPathTable(
    const ProgramFolder &folder, QStringView text, QString *error = nullptr);

} // namespace orvane
