#include "shell/imetableupdate.h"

#include "core/workfiles.h"
#include "shell/windowhelpers.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QTimer>

namespace orvane {

ImeTableUpdate::ImeTableUpdate(AppContext &ctx, QString script, QObject *parent)
    : QObject(parent), m_ctx(ctx), m_script(std::move(script))
{ }

ImeTableUpdate::~ImeTableUpdate()
{
    // The script removes its work folder when it is ended this way.
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(2000))
            m_process->kill();
    }
}

QString ImeTableUpdate::findInstallScript(const ProgramFolder &folder)
{
    const QString exeDir = QCoreApplication::applicationDirPath();
    for (const QString &c : {exeDir + QStringLiteral("/install-orvane-ime.sh"),
             exeDir + QStringLiteral("/../imetable/install-orvane-ime.sh"),
             folder.dataFile(QStringLiteral("install-orvane-ime.sh"))}) {
        if (QFileInfo::exists(c))
            return c;
    }
    return {};
}

QStringList ImeTableUpdate::installArguments(const QString &script, const QString &kind, const QString &db)
{
    return {script, kind == QLatin1String("ibus") ? QStringLiteral("--ibus") : QStringLiteral("--fcitx5"),
        QStringLiteral("--db"), db};
}

bool ImeTableUpdate::install(const QString &script, const QString &kind, const QString &db, QString *error)
{
    if (script.isEmpty()) {
        *error = QStringLiteral("找不到安装程序 install-orvane-ime.sh");
        return false;
    }
    QProcess p;
    p.start(QStringLiteral("sh"), installArguments(script, kind, db));
    if (!p.waitForFinished(180000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        *error = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
        if (error->isEmpty())
            *error = p.errorString();
        p.kill();
        p.waitForFinished(2000);
        return false;
    }
    return true;
}

bool ImeTableUpdate::isRunning() const
{
    return m_process != nullptr;
}

void ImeTableUpdate::start(QWidget *window)
{
    m_window = window;
    if (m_process) {
        m_again = true;
        return;
    }
    run();
}

void ImeTableUpdate::run()
{
    if (m_script.isEmpty()) {
        const QString message = QStringLiteral("找不到安装程序 install-orvane-ime.sh，输入法码表未能更新。");
        m_ctx.prompts->message(message, promptTitle(), MessageIcon::Critical);
        Q_EMIT finished(false, message);
        return;
    }
    if (!m_busy) {
        m_busy = new QProgressDialog(m_window);
        m_busy->setObjectName(QStringLiteral("ImeTableBusy"));
        m_busy->setWindowTitle(promptTitle());
        m_busy->setCancelButton(nullptr);
        m_busy->setRange(0, 0); // busy: the script tells no progress
        m_busy->setMinimumDuration(0);
        m_busy->setAutoClose(false);
        m_busy->setAutoReset(false);
        m_busy->setWindowModality(Qt::NonModal);
        m_busy->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_busy->setLabelText(QStringLiteral("正在更新Orvane输入法的码表，请稍候……\n（更新期间可以继续使用本软件）"));
    m_busy->show();

    m_process = new QProcess(this);
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    connect(m_process, &QProcess::finished, this, &ImeTableUpdate::processFinished);
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            processFinished();
    });
    m_process->start(QStringLiteral("sh"),
        installArguments(m_script, m_ctx.imeProvider ? m_ctx.imeProvider->kind() : QString(),
            m_ctx.folder.dataFile(workfiles::codeDatabase())));
}

void ImeTableUpdate::processFinished()
{
    QProcess *p = m_process;
    if (!p)
        return;
    m_process = nullptr;
    p->deleteLater();
    const bool made =
        p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0 && p->error() != QProcess::FailedToStart;
    if (m_again) {
        // The words changed again while the table was made: make it once more.
        m_again = false;
        run();
        return;
    }
    bool ok = made;
    QString message;
    if (made) {
        ok = !m_ctx.imeProvider || m_ctx.ime.ImeLayout.isEmpty() || m_ctx.imeProvider->reloadTable(m_ctx.ime.ImeLayout);
        message = ok ? QStringLiteral("输入法码表已更新，新的自定义词可以用Orvane输入法输入了。")
                     : QStringLiteral("输入法码表已更新，但输入法程序未能重新读入它；请重新启动输入法（fcitx5 -r）。");
    } else {
        QString reason = QString::fromLocal8Bit(p->readAllStandardError()).trimmed();
        if (reason.isEmpty())
            reason = p->errorString();
        message = QStringLiteral("输入法码表更新失败：%1").arg(reason);
    }
    if (ok && m_busy) {
        // Success is told in the busy window itself, which then goes away by itself.
        m_busy->setRange(0, 1);
        m_busy->setValue(1);
        m_busy->setLabelText(message);
        QTimer::singleShot(2000, m_busy.data(), &QWidget::close);
    } else {
        if (m_busy)
            m_busy->close();
        m_ctx.prompts->message(message, promptTitle(), ok ? MessageIcon::Information : MessageIcon::Critical);
    }
    Q_EMIT finished(ok, message);
}

} // namespace orvane
