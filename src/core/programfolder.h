// The program folder: where the program writes its working files (pictures, temp.zh,
// filter.dat) and where it looks first for its read-only data (jtdb.dat, dictionaries, help).
//
// ORVANE_HOME when set (tests point it at a temporary folder); otherwise the folder of the
// executable when it is writable; otherwise the per-user data folder. Read-only data that are
// not in the program folder are looked up in the installed data folder next.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace orvane {

// The folders of the program's read-only files, found from the folder of the executable so that
// an installed tree works wherever it is put:
//   <prefix>/bin/                 orvane-tutor, orvane-cli
//   <prefix>/lib/orvane-tutor/    libtalvex.so, libmorrin.so, libquenlor.so
//   <prefix>/share/orvane-tutor/  jtdb.dat, orvane-seg.dict, orvane-codes.dat, the input
//                                 method's table tools
// A build tree holds all of them beside the executables, so the executable's own folder comes
// first in both lists. ORVANE_DATA_DIR and ORVANE_LIB_DIR, when set, stand for the installed
// data and library folders (empty: none), so that tests do not see what is installed.
struct InstalledFolders {
    QStringList data;
    QStringList libraries;

    // exeDir: the executable's folder (empty: unknown). dataOverride, libOverride: the values of
    // ORVANE_DATA_DIR and ORVANE_LIB_DIR, nullopt when they are not set.
    static InstalledFolders locate(
        const QString &exeDir, const std::optional<QString> &dataOverride, const std::optional<QString> &libOverride);
    // The folders of this process: its executable and its environment.
    static InstalledFolders ofThisProcess();
};

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
