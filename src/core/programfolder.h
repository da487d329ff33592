// The program folder: where the program writes its working files (pictures, temp.zh,
// filter.dat) and where it looks first for its read-only data (jtdb.dat, dictionaries, help).
//
// ORVANE_HOME when set (tests point it at a temporary folder); otherwise the folder of the
// executable when it is writable; otherwise the per-user data folder. Read-only data that are
// not in the program folder are looked up in the installed data folder next.
#pragma once

#include <QString>
#include <QStringList>

namespace orvane {

class ProgramFolder {
public:
    ProgramFolder() = default;
    explicit ProgramFolder(QString path, QStringList dataFolders = {});

    // Resolves the folder for this process as described above.
    static ProgramFolder resolve();

    const QString &path() const { return m_path; }

    // Path of a working file in the program folder. File names are used in one canonical
    // lower-case form, so that "Filter.dat" and "filter.dat" are one file.
    QString file(const QString &name) const;

    // Path of a read-only data file: the program folder first, then the installed data
    // folders. Returns the program-folder path when the file is nowhere, so that a message
    // names the place where it was expected.
    QString dataFile(const QString &name) const;

    const QStringList &dataFolders() const { return m_dataFolders; }

private:
    QString m_path;
    QStringList m_dataFolders;
};

} // namespace orvane
