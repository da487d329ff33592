// The text format of the settings file: INI with plain UTF-8 section and key names, keys in the
// order the program gives them (QSettings' own INI writer sorts keys and escapes every Chinese
// name, which makes the file hard to read and loses the order of the settings).
//
//   [用户设置]
//   交替颜色一=0
//
// Backslash, line breaks and '=' in names and values are written as \\, \n, \r and \=.
// Reading accepts ';' and '#' comment lines, blanks around names and values, a byte-order mark,
// CR LF or LF, and GB18030 for files written by hand on Chinese systems. A line that is neither a
// section, a comment nor key=value is skipped and reported with its line number.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

namespace orvane {

struct IniEntry {
    QString key; // "section/name", or "name" outside any section
    QString value;
};

struct IniParseResult {
    QList<IniEntry> entries; // in file order; a repeated key keeps its last value
    QStringList warnings;    // "line N: ..." for every skipped line
};

IniParseResult parseIni(const QByteArray &bytes);

// Writes entries grouped by section, sections in order of first appearance and keys in the
// given order.
QByteArray writeIni(const QList<IniEntry> &entries);

} // namespace orvane
