// Runs the build's orvane-cli with one subcommand in a home of the test's own (program folder and
// user data, cache), and gives back its status and what it printed.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace orvane::test {

struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

inline CliRun runCli(const QString &subcommand, const QStringList &args, const QString &home)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ORVANE_HOME"), home);
    env.insert(QStringLiteral("XDG_DATA_HOME"), home);
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/cache"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ORVANE_TEST_DATA_DIR "/orvane-cli"), QStringList{subcommand} + args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace orvane::test
