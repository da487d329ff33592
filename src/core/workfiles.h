// The names of the files the program keeps in its program folder (ProgramFolder::file) or looks
// up there first (ProgramFolder::dataFile). Every window and command takes the names from here,
// so that a newcomer finds in one place what the folder holds and who writes it.
#pragma once

#include <QString>
#include <QStringList>

namespace orvane::workfiles {

// The code database: codes and short codes of characters and words (read only).
inline QString codeDatabase()
{
    return QStringLiteral("jtdb.dat");
}

// The symbol-filter list, one entry a line, and the backup the filter dialog takes when it opens.
inline QString filterList()
{
    return QStringLiteral("filter.dat");
}
inline QString filterBackup()
{
    return QStringLiteral("OldFilter.dat");
}

// The rich-text snapshot of the test view, written when a test starts, loaded back when the
// result dialog closes, deleted when another text is opened for a test.
inline QString testSnapshot()
{
    return QStringLiteral("temp.zh");
}

// The pictures written from the program's resources at start: the windows' background, the
// buttons' face and their disabled face. Their resource ids are 101, 102 and 103 in this order.
inline QString backgroundPicture()
{
    return QStringLiteral("101.jpg");
}
inline QString buttonPicture()
{
    return QStringLiteral("102.jpg");
}
inline QString disabledButtonPicture()
{
    return QStringLiteral("103.jpg");
}
inline QStringList pictures()
{
    return {backgroundPicture(), buttonPicture(), disabledButtonPicture()};
}

} // namespace orvane::workfiles
