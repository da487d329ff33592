#include "core/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

// The installed data and library folders relative to the executable's folder (set by the build
// from the install layout).
#ifndef ORVANE_DATA_FROM_BIN
#define ORVANE_DATA_FROM_BIN "../share/orvane-tutor"
#endif
#ifndef ORVANE_LIBS_FROM_BIN
#define ORVANE_LIBS_FROM_BIN "../lib/orvane-tutor"
#endif

namespace orvane {

namespace {

std::optional<QString> environmentValue(const char *name)
{
    if (!qEnvironmentVariableIsSet(name))
        return std::nullopt;
    return qEnvironmentVariable(name);
}

// The executable's folder, then the override when given or else the folder at relative below
// the executable's; empty folders are left out.
QStringList folders(const QString &exeDir, const std::optional<QString> &overridden, const QString &relative)
{
    QStringList list;
    if (!exeDir.isEmpty())
        list << QDir::cleanPath(exeDir);
    const QString installed = overridden ? *overridden
        : exeDir.isEmpty()               ? QString()
                                         : exeDir + QLatin1Char('/') + relative;
    if (!installed.isEmpty())
        list << QDir::cleanPath(installed);
    list.removeDuplicates();
    return list;
}

} // namespace

InstalledFolders InstalledFolders::locate(
    const QString &exeDir, const std::optional<QString> &dataOverride, const std::optional<QString> &libOverride)
{
    return {folders(exeDir, dataOverride, QStringLiteral(ORVANE_DATA_FROM_BIN)),
        folders(exeDir, libOverride, QStringLiteral(ORVANE_LIBS_FROM_BIN))};
}

InstalledFolders InstalledFolders::ofThisProcess()
{
    return locate(QCoreApplication::applicationDirPath(), environmentValue("ORVANE_DATA_DIR"),
        environmentValue("ORVANE_LIB_DIR"));
}

ProgramFolder::ProgramFolder(QString path, QStringList dataFolders)
    : m_path(QDir::cleanPath(std::move(path))), m_dataFolders(std::move(dataFolders))
{ }

ProgramFolder ProgramFolder::resolve()
{
    const QStringList data = InstalledFolders::ofThisProcess().data;
    const QString exeDir = QCoreApplication::applicationDirPath();
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
