// The test document's marks and counts, and the values that belong to the text that is open.
// The text itself is held only by the view that shows it.
#pragma once

#include "prepare/opentext.h"

#include <QString>
#include <array>

namespace orvane {

struct TestDocument {
    QString CharMarks;   // one mark per character of the view's text
    int HanziCount = 0;
    int SymbolCount = 0;
    int AlphaCount = 0;

    bool OpenForEditor = false; // the open-text dialog serves the editor
    QString EditorBaseText;     // the spaced text as first shown in the editor

    // Values of the text that is open, reset when a text is opened for the test.
    double TestElapsed = 0;     // days
    int RightCharCount = 0;
    int WrongCharCount = 0;
    QString TypedText;
    bool DetailStatsDone = false;
    bool TextStatsDone = false;
    bool ResultShown = false;
    bool KeyCountsDone = false;
    bool UserKeysDone = false;

    // Counters of the test under way or last run, zeroed when a test starts.
    int KeystrokeCount = 0;                // keys that reached the typing box
    std::array<int, 6> UserWordCounts{};   // finished input bursts by length, index 1..5 (5 = five or more)

    // The captions of the result dialog, kept for the report.
    QString AccuracyText;
    QString SpeedText;
    QString EffectiveSpeedText;

    // The marks and counts of the text a window now shows for a test: the one place they are set.
    void takeText(const OpenedText &opened)
    {
        CharMarks = opened.marks;
        HanziCount = opened.counts.HanziCount;
        SymbolCount = opened.counts.SymbolCount;
        AlphaCount = opened.counts.AlphaCount;
    }

    void resetPerText()
    {
        DetailStatsDone = TextStatsDone = ResultShown = KeyCountsDone = UserKeysDone = false;
        TestElapsed = 0;
        RightCharCount = WrongCharCount = 0;
        TypedText.clear();
    }
};

} // namespace orvane
