// The two ways the program compares characters, and widening.
//
// Exact comparison is code unit by code unit. Text comparison ignores letter case and character
// width: "Ａ", "a" and "A" are equal, so are "，" and ",". To widen a character is to give its
// full-width form where one exists (ASCII punctuation, letters and digits → U+FF01..U+FF5E,
// the blank → U+3000, ¢ £ ¬ ¯ ¦ ¥ ₩ → U+FFE0..U+FFE6).
#pragma once

#include <QChar>
#include <QString>

namespace orvane {

QChar widen(QChar c);
QString widen(const QString &s);

// The narrow form of a full-width character; other characters unchanged.
QChar narrow(QChar c);

// Case- and width-insensitive.
bool textEqual(QChar a, QChar b);
bool textEqual(const QString &a, const QString &b);

} // namespace orvane
