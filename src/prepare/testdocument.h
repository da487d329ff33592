// The test document's marks and counts, and the values that belong to the text that is open.
// The text itself is held only by the view that shows it.
#pragma once

#include <QString>

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

    void resetPerText()
    {
        DetailStatsDone = TextStatsDone = ResultShown = KeyCountsDone = UserKeysDone = false;
        TestElapsed = 0;
        RightCharCount = WrongCharCount = 0;
        TypedText.clear();
    }
};

} // namespace orvane
