#include "core/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef ORVANE_INSTALL_DATADIR
#define ORVANE_INSTALL_DATADIR "/usr/share/orvane-tutor"
#endif

namespace orvane {

ProgramFolder::ProgramFolder(QString path, QStringList dataFolders)
    : m_path(QDir::cleanPath(std::move(path))), m_dataFolders(std::move(dataFolders))
{ }

ProgramFolder ProgramFolder::resolve()
{
    QStringList data;
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (!exeDir.isEmpty())
        data << exeDir;
    // ORVANE_DATA_DIR stands for the installed data folder when set (empty: none).
    const QString installed = qEnvironmentVariableIsSet("ORVANE_DATA_DIR") ? qEnvironmentVariable("ORVANE_DATA_DIR")
                                                                           : QStringLiteral(ORVANE_INSTALL_DATADIR);
    if (!installed.isEmpty())
        data << installed;

    const QString home = qEnvironmentVariable("ORVANE_HOME");
    if (!home.isEmpty())
        return ProgramFolder(home, data);

    if (!exeDir.isEmpty() && QFileInfo(exeDir).isWritable())
        return ProgramFolder(exeDir, data);

    QString user = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (user.isEmpty())
        user = QDir::homePath() + QStringLiteral("/.local/share/orvane-tutor");
    QDir().mkpath(user);
    return ProgramFolder(user, data);
}

QString ProgramFolder::file(const QString &name) const
{
    return m_path + QLatin1Char('/') + name.toLower();
}

QString ProgramFolder::dataFile(const QString &name) const
{
    const QString own = file(name);
    if (QFileInfo::exists(own))
        return own;
    for (const QString &folder : m_dataFolders) {
        const QString candidate = QDir::cleanPath(folder) + QLatin1Char('/') + name.toLower();
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return own;
}

} // namespace orvane
