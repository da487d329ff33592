// Opening a text: the two stages behind the open-text dialog.
//
// Stage 1 (preview) reads a plain text file, removes apostrophes, double quotes, tabs and blanks
// (their full-width forms too) and CR LF pairs, and keeps the first 2,000 characters; fewer than
// 20 are refused. The encoding and the check for binary data look at the whole file (files larger
// than kMaxTextFileBytes are refused); then only as much of the file is decoded as those 2,000
// characters need.
//
// Stage 2 (open) takes the preview and the marks the segmenter gave it, widens every symbol,
// removes the filtered symbols and, on request, letters and digits, with their marks. The editor
// form then puts one blank, marked '3', at every boundary between two runs of marks.
//
// Both stages work in time linear in the text.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>

namespace orvane {

inline constexpr int kMaxTextLength = 2000;
inline constexpr int kMinTextLength = 20;
inline constexpr qint64 kMaxTextFileBytes = qint64(64) << 20;

// NothingChosen: no file was loaded yet (or the last one was too short and cleared).
enum class PreviewStatus { NothingChosen, Accepted, TooShort, NotText, Unreadable };

struct Preview {
    PreviewStatus status = PreviewStatus::NothingChosen;
    QString text;   // the cleaned text when accepted, else empty
    QString detail; // what was wrong, for a message
};

// Removes what stage 1 removes from a whole text (no length rule).
QString cleanText(const QString &text);

// Stage 1 on the bytes of a file, read from the device's position to its end.
Preview loadPreview(QIODevice &file);
Preview loadPreview(const QByteArray &bytes);
// Stage 1 on a file; a file that cannot be opened is Unreadable with the system's reason.
Preview loadPreview(const QString &path);

struct OpenOptions {
    bool filterSymbols = false;
    bool filterAlpha = false;
    QStringList symbols; // the symbols of the filter list, in list order
};

struct PreparedText {
    QString text;
    QString marks;
};

// Stage 2 from widening on: text and marks have the same length.
PreparedText prepareText(const QString &preview, const QString &marks, const OpenOptions &options);

// The editor form: a blank marked '3' between every two neighbouring runs of different marks.
PreparedText spacedForm(const PreparedText &prepared);

} // namespace orvane
