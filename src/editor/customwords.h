// What the editor's save computes from the spaced text, without any window: the marks of the
// words as the user left them, the custom-word candidates, and the list of distinct candidates
// that the custom-word dialog offers.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace orvane {

// The standard code of a word or a single character, empty when unknown
// (CodeDictionary::LookupCodes(...).standard).
using StandardCodeLookup = std::function<QString(const QString &)>;

struct SavedWords {
    QString text;           // the text without its blanks
    QString marks;          // one mark per character of text
    QStringList candidates; // new words in text order, once per occurrence
};

// Splits the spaced text at every blank (U+0020; empty pieces are skipped, line breaks belong to
// the piece they stand in) and marks each piece:
//   '4'        its first character is a Latin letter or a digit (no lookup);
//   '0' / '1'  the piece has a standard code, or its first character has one (then the piece is
//              a custom-word candidate when it is a custom word by isCustomWord); the two
//              alternate from word to word;
//   '2'        neither has a code (punctuation and other symbols).
// The first known word gets '0', and the first known word after a '2' or '4' run gets '1'.
SavedWords markSavedWords(const QString &spacedText, const StandardCodeLookup &lookup);

// A custom word is two or more Chinese characters and nothing else (the rule of the custom
// dictionary, which the libraries and the input method's table generator apply as well).
bool isCustomWord(const QString &word);

// The message that refuses any other word.
QString customWordRuleMessage();

// The candidates as the editor hands them on: each word followed by one blank.
QString candidateTag(const QStringList &candidates);

// The words of a candidate string split at blanks, empty ones and those that are no custom word
// skipped, each kept only at its first occurrence (letter case and character width ignored).
QStringList distinctCandidates(const QString &tag);

} // namespace orvane
