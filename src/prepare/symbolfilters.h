// The symbol-filter list: the symbols that opening a text removes when "过滤符号" is ticked.
//
// filter.dat in the program folder holds one entry a line: the symbol, six blanks, a short
// description ("，      逗号"). Empty lines are skipped. The symbol of an entry is everything
// before its first blank. OldFilter.dat is the backup the filter dialog takes when it opens.
#pragma once

#include "core/programfolder.h"

#include <QString>
#include <QStringList>

namespace orvane {

namespace filterfiles {
inline QString list() { return QStringLiteral("filter.dat"); }
inline QString backup() { return QStringLiteral("OldFilter.dat"); }
} // namespace filterfiles

// The non-empty lines of the filter file; an empty list when it cannot be read.
QStringList readFilterEntries(const QString &path);

// The entry as the file holds it.
QString filterEntry(const QString &symbol, const QString &description);

// Everything before the first blank.
QString filterSymbol(const QString &entry);

// The symbols of the entries, in list order.
QStringList filterSymbols(const QStringList &entries);

// True when the first character of an entry equals the symbol (case and width ignored).
bool isDuplicateSymbol(const QStringList &entries, const QString &symbol);

// Appends one line. False (with *error naming the file) when it cannot be written.
bool appendFilterEntry(const QString &path, const QString &entry, QString *error = nullptr);

// Rewrites the file without every line that contains entry (exact, case-sensitive). The new
// file replaces the old one in one step, so a failure never loses the list.
bool removeFilterLines(const QString &path, const QString &entry, QString *error = nullptr);

// Copies from onto to, replacing it in one step.
bool copyFileOver(const QString &from, const QString &to, QString *error = nullptr);

// The list shipped with the program: common Chinese punctuation and a few ASCII signs. ASCII
// forms of the Chinese marks need no entry of their own: opening a text widens both sides before
// comparing, so "，" also removes ",".
QString defaultFilterFileText();

// Writes the shipped list into the program folder when there is no filter.dat yet.
void ensureFilterFile(const ProgramFolder &folder);

} // namespace orvane
