// The symbol-filter list: the symbols that opening a text removes when "过滤符号" is ticked.
//
// filter.dat in the program folder holds one entry a line: the symbol, six blanks, a short
// description ("，      逗号"). Empty lines are skipped. The symbol of an entry is everything
// before its first blank. OldFilter.dat is the backup the filter dialog takes when it opens.
#pragma once

#include "core/programfolder.h"
#include "core/workfiles.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace orvane {

// The one reader of the list: the non-empty lines of a filter file in any encoding decodeText
// takes (UTF-8 as this program writes it, GB18030 and UTF-16 as older or hand-made lists come),
// lines ended by CR LF, LF or CR.
QStringList parseFilterList(const QByteArray &bytes);

// The one writer's content: the entries in UTF-8, one a line, each ended by CR LF.
QByteArray filterListBytes(const QStringList &entries);

// Reads the list; a missing file is an empty list. False (with *error naming the file) when the
// file exists but cannot be read.
bool readFilterList(const QString &path, QStringList *entries, QString *error);

// The entries of the filter file; an empty list when it cannot be read.
QStringList readFilterEntries(const QString &path);

// Replaces the file with the entries as a whole (saveFile), so that a full disk never leaves a
// shortened list behind.
bool writeFilterList(const QString &path, const QStringList &entries, QString *error);

// The entry as the file holds it.
QString filterEntry(const QString &symbol, const QString &description);

// Everything before the first blank.
QString filterSymbol(const QString &entry);

// The symbols of the entries, in list order.
QStringList filterSymbols(const QStringList &entries);

// True when the first character of an entry equals the symbol (case and width ignored).
bool isDuplicateSymbol(const QStringList &entries, const QString &symbol);

// Adds the entry at the end of the list. The file is read and written whole, so that an entry
// added to a GB18030 list does not end up as UTF-8 bytes inside it. False (with *error naming the
// file and the reason) when it cannot be read or written; the file is then unchanged.
bool addFilterEntry(const QString &path, const QString &entry, QString *error = nullptr);

// Rewrites the file without every line that contains entry (exact, case-sensitive), whatever
// its line ends and encoding.
bool removeFilterLines(const QString &path, const QString &entry, QString *error = nullptr);

// Copies from onto to, byte for byte, replacing it as a whole.
bool copyFileOver(const QString &from, const QString &to, QString *error = nullptr);

// The list shipped with the program: common Chinese punctuation and a few ASCII signs. ASCII
// forms of the Chinese marks need no entry of their own: opening a text widens both sides before
// comparing, so "，" also removes ",".
QString defaultFilterFileText();

// Writes the shipped list into the program folder when there is no filter.dat yet. False (with
// *error naming the file and the reason) when it is missing and cannot be written.
bool ensureFilterFile(const ProgramFolder &folder, QString *error = nullptr);

// The entries a text is filtered with: filter.dat, first written with the shipped list when it
// is missing; the shipped list itself when it cannot be written (a full or read-only folder), so
// that "过滤符号" still removes the common marks.
QStringList filterEntriesForOpening(const ProgramFolder &folder);

// The same entries without writing anything (the command line): filter.dat when it is there,
// else the shipped list.
QStringList filterEntriesReadOnly(const ProgramFolder &folder);

} // namespace orvane
