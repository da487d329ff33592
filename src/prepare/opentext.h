// Opening a text: the one step behind the open-text dialog and the command line.
//
// From the bytes of a file (or its path) to the preview, and from the preview, the options and
// the symbol-filter list to the opened text: the text in the form its window takes, one mark per
// character and the counts of Chinese characters, symbols and letters/digits. A refusal is an
// OpenError that says which message applies and why; the caller only shows it.
//
//   loadPreview (pipeline.h)   bytes → cleaned, cut to 2,000 characters, refused below 20
//   openPreview                preview → segmented, widened, filtered, editor form, counts
//   openTextFile               both, for a file (the command line)
//
// The windows take the result through OpenTextTarget::applyOpenedText (frmopenfile.h).
#pragma once

#include "prepare/pipeline.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace orvane {

class ExternalLibs;

// The counts of a text from its marks: "2" symbols, "4" letters and digits, every other mark a
// Chinese character. The one way the program counts a text.
struct TextCounts {
    int HanziCount = 0;
    int SymbolCount = 0;
    int AlphaCount = 0;
};
TextCounts countMarks(const QString &marks);

// The window a text is opened for.
enum class OpenTarget { TestWindow, Editor };

struct OpenRequest {
    bool filterSymbols = true; // "过滤符号": the symbols of the filter list go
    bool filterAlpha = true;   // "过滤字母与数字": letters and digits go
    OpenTarget target = OpenTarget::TestWindow;
};

enum class OpenFailure {
    NothingChosen,      // "请先选择文件再打开！": no accepted preview
    TooShort,           // "此文件中的汉字太少，不适于进行分词测试！" (also: no Chinese word left)
    NotText,            // the file holds binary data
    Unreadable,         // the file cannot be read (detail: the system's reason)
    NoSegmenter,        // the language libraries are not loaded
    SegmentationFailed, // the segmenter refused the text (detail: the library's reason)
};

struct OpenError {
    OpenFailure failure = OpenFailure::NothingChosen;
    QString path;   // the file, for the messages that name it
    QString detail; // why, as the system or the library said it

    // The message the dialog shows and the command line prints.
    QString message() const;
    // The segmenter's failures end the opening with the critical icon, the rest are refused input.
    bool critical() const;
};

struct OpenedText {
    OpenTarget target = OpenTarget::TestWindow;
    QString text;      // the test form, or the editor form with a blank marked "3" at every boundary
    QString marks;     // one mark per character of text
    TextCounts counts; // of the test form; the editor form counts nothing
    QString name;      // the file's name without its folder; empty when it came from no file
    // The text opened, but something it needs later is missing (the libraries' code data): told
    // to the user before the text is shown.
    QString warning;
    // What a generated practice text is for ("drill", "lesson N"), kept with its test in the
    // history; empty for a text from a file.
    QString kind;
    // Messages told once during a test when the position first reaches a character (the code
    // of a weak item before it is typed), by position.
    QMap<int, QString> hints;
};

// A text that comes with its marks (a segmented example), for the test window: counted from its
// marks.
OpenedText openedWithMarks(const QString &text, const QString &marks);

// The preview's refusal as an error (nothing when it was accepted). path names the file.
std::optional<OpenError> previewError(const Preview &preview, const QString &path);

// Stage 2 on the preview of a file: the marks from libs, the symbols of filterEntries (the lines
// of the filter list) when filterSymbols is on. A preview that was not accepted gives
// NothingChosen, as the dialog's open button does before a file was accepted.
std::optional<OpenedText> openPreview(const Preview &preview, const OpenRequest &request,
    const QStringList &filterEntries, const ExternalLibs *libs, OpenError *error);

// Both stages on the bytes of a file or on a file; path names it in messages.
std::optional<OpenedText> openTextBytes(const QByteArray &bytes, const QString &path, const OpenRequest &request,
    const QStringList &filterEntries, const ExternalLibs *libs, OpenError *error);
std::optional<OpenedText> openTextFile(const QString &path, const OpenRequest &request,
    const QStringList &filterEntries, const ExternalLibs *libs, OpenError *error);

} // namespace orvane
