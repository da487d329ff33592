// Colouring the text views from the marks.
//
// Each character of the view's document stands at the position of its mark: the caller fills
// the document so that every character, line breaks included, is one position (a CR or LF is
// one block separator). Rendering is one edit block of the document, so that a 2,000-character
// text is formatted in one layout pass.
//
// Character attributes of the views (they never collide):
//   colour            QTextCharFormat foreground
//   short-code mark   dotted underline (a word that has a short code of its own)
//   current character bold and a light-yellow background, the two highlight attributes (a
//                     running test draws them over the text, see the typing session)
//   font name         "楷体_GB2312" where the character-by-character mode takes the mark off;
//                     the name is mapped to an installed Kai font (installFontSubstitutions)
#pragma once

#include "prepare/settingcolor.h"
#include "settings/usersettings.h"

#include <QColor>
#include <QString>
#include <QTextCharFormat>
#include <functional>

class QTextDocument;
class QTextCursor;

namespace orvane {

// The short code of a word in jmzici, or empty (CodeDictionary::FindShortCodeWord).
using ShortCodeLookup = std::function<QString(const QString &)>;
// Progress of a pass: value from 1 to maximum.
using RenderProgress = std::function<void(int value, int maximum)>;

inline QString kaiFontName()
{
    return QStringLiteral("楷体_GB2312");
}

// The counts of a text come from its marks (countMarks, opentext.h), not from rendering.
void RenderTestView(QTextDocument &document, const QString &marks, const UserSettings &settings,
    const ShortCodeLookup &lookup, const RenderProgress &progress = {});

void RenderEditorView(QTextDocument &document, const QString &marks, const UserSettings &settings,
    const ShortCodeLookup &lookup, const RenderProgress &progress = {});

// The highlight of the current character: its two attributes, and switching them in the text.
QTextCharFormat highlightFormat();
void setHighlight(QTextCursor &selection, bool on);
bool hasHighlight(const QTextCursor &selection);
QColor highlightBackground();

bool hasShortCodeMark(const QTextCharFormat &format);

// Maps the Windows font names the program uses to installed fonts ("楷体_GB2312" → a Kai font),
// and makes a sans-serif Chinese face the font of the windows.
void installFontSubstitutions();

} // namespace orvane
