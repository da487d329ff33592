// Brings the installed input-method table up to date after the custom words changed, without
// blocking the window: the install script runs in its own process while a small window says that
// the table is being made; then the framework is asked to read the new table at once and the
// learner is told how it went. Changes that come while a run is going are taken by one more run
// after it.
#pragma once

#include "context/appcontext.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QProcess;
class QProgressDialog;
class QWidget;

namespace orvane {

class ImeTableUpdate final : public QObject {
    Q_OBJECT
public:
    ImeTableUpdate(AppContext &ctx, QString script, QObject *parent = nullptr);
    ~ImeTableUpdate() override;

    // The install script beside the program, in a build's imetable folder, or in the installed
    // data folder; empty when there is none.
    static QString findInstallScript(const ProgramFolder &folder);

    // The arguments of the install script for the framework named by kind ("ibus" installs the
    // ibus-table database, anything else the fcitx5 table), made from the code database db.
    static QStringList installArguments(const QString &script, const QString &kind, const QString &db);
    // Installs the table for the current user by running the script and waiting for it (three
    // minutes at most). On failure error says why (the script's own message when it gave one).
    static bool install(const QString &script, const QString &kind, const QString &db, QString *error);

    // Starts a rebuild of the table for the running framework; the busy window is shown over
    // window (may be null).
    void start(QWidget *window);
    bool isRunning() const;

Q_SIGNALS:
    // ok: the table was made and the framework asked to read it; message: what the learner was told.
    void finished(bool ok, const QString &message);

private:
    void run();
    void processFinished();

    AppContext &m_ctx;
    QString m_script;
    QProcess *m_process = nullptr;
    QPointer<QProgressDialog> m_busy;
    QPointer<QWidget> m_window;
    bool m_again = false;
};

} // namespace orvane
