// The marks and counts of the text open in a window. The text itself is held only by the view
// that shows it. The test window and the editor each keep their own.
#pragma once

#include "prepare/opentext.h"

#include <QString>

namespace orvane {

struct TestDocument {
    QString CharMarks; // one mark per character of the view's text
    int HanziCount = 0;
    int SymbolCount = 0;
    int AlphaCount = 0;
    QString TextName;         // the file the text came from, without its folder
    QString Kind;             // what a generated practice text is for (OpenedText::kind)
    QMap<int, QString> Hints; // told once when a test reaches their position (OpenedText::hints)

    bool OpenForEditor = false; // the open-text dialog serves the editor
    QString EditorBaseText;     // the spaced text as first shown in the editor

    // The marks and counts of the text a window now shows: the one place they are set.
    void takeText(const OpenedText &opened)
    {
        CharMarks = opened.marks;
        HanziCount = opened.counts.HanziCount;
        SymbolCount = opened.counts.SymbolCount;
        AlphaCount = opened.counts.AlphaCount;
        TextName = opened.name;
        Kind = opened.kind;
        Hints = opened.hints;
    }
};

} // namespace orvane
