#include "shell/imeproviders.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

// One input method of an fcitx5 group, (name, layout) on the bus.
struct GroupItem {
    QString name;
    QString layout;
};
Q_DECLARE_METATYPE(GroupItem)

QDBusArgument &operator<<(QDBusArgument &arg, const GroupItem &item)
{
    arg.beginStructure();
    arg << item.name << item.layout;
    arg.endStructure();
    return arg;
}

const QDBusArgument &operator>>(const QDBusArgument &arg, GroupItem &item)
{
    arg.beginStructure();
    arg >> item.name >> item.layout;
    arg.endStructure();
    return arg;
}

namespace orvane {

namespace {

const QString kFcitxService = QStringLiteral("org.fcitx.Fcitx5");
const QString kFcitxPath = QStringLiteral("/controller");
const QString kFcitxInterface = QStringLiteral("org.fcitx.Fcitx.Controller1");
constexpr int kDbusTimeoutMs = 3000;

QDBusMessage callFcitx(const QString &method, const QVariantList &args = {})
{
    static const bool registered = [] {
        qDBusRegisterMetaType<GroupItem>();
        qDBusRegisterMetaType<QList<GroupItem>>();
        return true;
    }();
    (void)registered;
    QDBusMessage call = QDBusMessage::createMethodCall(kFcitxService, kFcitxPath, kFcitxInterface, method);
    call.setArguments(args);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, kDbusTimeoutMs);
}

// The current input-method group of fcitx5: its name, its default layout and its items.
struct CurrentGroup {
    QString name;
    QString layout;
    QList<GroupItem> items;
};

std::optional<CurrentGroup> currentGroup()
{
    const QDBusMessage current = callFcitx(QStringLiteral("CurrentInputMethodGroup"));
    if (current.type() != QDBusMessage::ReplyMessage || current.arguments().isEmpty())
        return std::nullopt;
    CurrentGroup group;
    group.name = current.arguments().constFirst().toString();
    const QDBusMessage info = callFcitx(QStringLiteral("InputMethodGroupInfo"), {group.name});
    if (info.type() != QDBusMessage::ReplyMessage || info.arguments().size() < 2
        || !info.arguments().at(1).canConvert<QDBusArgument>())
        return std::nullopt;
    group.layout = info.arguments().at(0).toString();
    info.arguments().at(1).value<QDBusArgument>() >> group.items;
    return group;
}

// Runs the ibus client; nullopt when it cannot be run or fails.
std::optional<QString> runIbus(const QStringList &args, int timeoutMs = 10000)
{
    const QString exe = QStandardPaths::findExecutable(QStringLiteral("ibus"));
    if (exe.isEmpty())
        return std::nullopt;
    QProcess p;
    p.start(exe, args);
    if (!p.waitForFinished(timeoutMs) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        p.kill();
        p.waitForFinished(1000);
        return std::nullopt;
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

const QString kUsKeyboardEngine = QStringLiteral("xkb:us::eng");

// The "@im=NAME" of XMODIFIERS, or the whole value of an IM module variable, as a framework.
ImeFramework frameworkNamed(const QString &name)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("fcitx") || n == QLatin1String("fcitx5"))
        return ImeFramework::Fcitx5;
    if (n == QLatin1String("ibus"))
        return ImeFramework::Ibus;
    return ImeFramework::None;
}

} // namespace

bool Fcitx5Provider::isRunning()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QDBusReply<bool> reply = bus.interface()->isServiceRegistered(kFcitxService);
    return reply.isValid() && reply.value();
}

std::optional<QList<InputMethodEntry>> Fcitx5Provider::list()
{
    const QDBusMessage reply = callFcitx(QStringLiteral("AvailableInputMethods"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    const QVariant v = reply.arguments().constFirst();
    if (!v.canConvert<QDBusArgument>())
        return std::nullopt;
    const QDBusArgument arg = v.value<QDBusArgument>();
    if (arg.currentSignature() != QLatin1String("a(ssssssb)"))
        return std::nullopt;

    QList<InputMethodEntry> methods;
    arg.beginArray();
    while (!arg.atEnd()) {
        QString uniqueName, name, nativeName, icon, label, language;
        bool configurable = false;
        arg.beginStructure();
        arg >> uniqueName >> name >> nativeName >> icon >> label >> language >> configurable;
        arg.endStructure();
        methods.append({uniqueName, name});
    }
    arg.endArray();
    return methods;
}

bool Fcitx5Provider::activate(const QString &id)
{
    const QDBusMessage set = callFcitx(QStringLiteral("SetCurrentIM"), {id});
    const QDBusMessage on = callFcitx(QStringLiteral("Activate"));
    return set.type() == QDBusMessage::ReplyMessage && on.type() == QDBusMessage::ReplyMessage;
}

bool Fcitx5Provider::deactivate()
{
    return callFcitx(QStringLiteral("Deactivate")).type() == QDBusMessage::ReplyMessage;
}

bool Fcitx5Provider::refresh(const QString &id)
{
    if (callFcitx(QStringLiteral("Refresh")).type() != QDBusMessage::ReplyMessage)
        return false;
    const std::optional<CurrentGroup> current = currentGroup();
    if (!current)
        return false;
    auto [group, layout, items] = *current;
    for (const GroupItem &item : std::as_const(items)) {
        if (item.name == id)
            return true;
    }
    items.append({id, QString()});
    return callFcitx(QStringLiteral("SetInputMethodGroupInfo"), {group, layout, QVariant::fromValue(items)}).type()
        == QDBusMessage::ReplyMessage;
}

bool Fcitx5Provider::reloadTable(const QString &id)
{
    const std::optional<CurrentGroup> current = currentGroup();
    if (!current)
        return false;
    auto [group, layout, items] = *current;
    QList<GroupItem> without;
    for (const GroupItem &item : std::as_const(items)) {
        if (item.name != id)
            without.append(item);
    }
    if (without.size() == items.size())
        return true; // not in the group, so not loaded: the next use reads the new table anyway
    const QDBusMessage im = callFcitx(QStringLiteral("CurrentInputMethod"));
    const bool wasCurrent = im.type() == QDBusMessage::ReplyMessage && !im.arguments().isEmpty()
        && im.arguments().constFirst().toString() == id;
    const bool out =
        callFcitx(QStringLiteral("SetInputMethodGroupInfo"), {group, layout, QVariant::fromValue(without)}).type()
        == QDBusMessage::ReplyMessage;
    const bool back =
        callFcitx(QStringLiteral("SetInputMethodGroupInfo"), {group, layout, QVariant::fromValue(items)}).type()
        == QDBusMessage::ReplyMessage;
    if (back && wasCurrent)
        callFcitx(QStringLiteral("SetCurrentIM"), {id});
    return out && back;
}

bool IbusProvider::isRunning()
{
    const std::optional<QString> out = runIbus({QStringLiteral("address")});
    const QString address = out ? out->trimmed() : QString();
    if (address.isEmpty() || address.contains(QLatin1String("(null)")))
        return false;
    // The address file outlives a daemon that was killed: only a connection tells.
    const QString name = QStringLiteral("orvane-ibus-probe");
    const bool connected = QDBusConnection::connectToBus(address, name).isConnected();
    QDBusConnection::disconnectFromBus(name);
    return connected;
}

std::optional<QString> IbusProvider::currentEngine()
{
    const std::optional<QString> out = runIbus({QStringLiteral("engine")});
    if (!out || out->trimmed().isEmpty())
        return std::nullopt;
    return out->trimmed();
}

QList<InputMethodEntry> IbusProvider::parseEngineList(const QString &output)
{
    // "language: Chinese\n  pinyin - 拼音\n  table:orvane - Orvane输入法2011版\n"
    QList<InputMethodEntry> engines;
    const QStringList lines = output.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (!line.startsWith(QLatin1Char(' ')) && !line.startsWith(QLatin1Char('\t')))
            continue;
        const QString t = line.trimmed();
        const qsizetype dash = t.indexOf(QLatin1String(" - "));
        if (dash <= 0)
            continue;
        engines.append({t.left(dash), t.mid(dash + 3)});
    }
    return engines;
}

std::optional<QList<InputMethodEntry>> IbusProvider::list()
{
    const std::optional<QString> out = runIbus({QStringLiteral("list-engine")});
    if (!out)
        return std::nullopt;
    return parseEngineList(*out);
}

bool IbusProvider::activate(const QString &id)
{
    const std::optional<QString> before = currentEngine();
    if (before && *before != id)
        m_previous = *before;
    return runIbus({QStringLiteral("engine"), id}).has_value();
}

bool IbusProvider::deactivate()
{
    return runIbus({QStringLiteral("engine"), m_previous.isEmpty() ? kUsKeyboardEngine : m_previous}).has_value();
}

bool IbusProvider::refresh(const QString &id)
{
    if (!id.isEmpty())
        return true; // ibus offers every listed engine through "ibus engine"; nothing to add
    // write-cache reads the engines of every component again (ibus-table lists the user's
    // tables); restart makes the daemon load that cache. Its clients connect again by themselves.
    // The restarted daemon starts without the engine that was in use: it is selected again.
    const std::optional<QString> inUse = currentEngine();
    if (!runIbus({QStringLiteral("write-cache")}, 60000) || !runIbus({QStringLiteral("restart")}))
        return false;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 20000) {
        QThread::msleep(200);
        if (runIbus({QStringLiteral("list-engine")})) {
            if (inUse)
                runIbus({QStringLiteral("engine"), *inUse});
            return true;
        }
    }
    return false;
}

ImeFramework sessionImeFramework(const QString &qtImModule, const QString &gtkImModule, const QString &xModifiers)
{
    for (const QString &module : {qtImModule, gtkImModule}) {
        if (!module.trimmed().isEmpty())
            return frameworkNamed(module);
    }
    static const QRegularExpression im(QStringLiteral("@im=([^\\s@]*)"));
    const QRegularExpressionMatch m = im.match(xModifiers);
    return m.hasMatch() ? frameworkNamed(m.captured(1)) : ImeFramework::None;
}

ImeFramework chooseImeFramework(ImeFramework session, bool fcitx5Running, bool ibusRunning)
{
    if (session == ImeFramework::Fcitx5 && fcitx5Running)
        return session;
    if (session == ImeFramework::Ibus && ibusRunning)
        return session;
    if (fcitx5Running)
        return ImeFramework::Fcitx5;
    return ibusRunning ? ImeFramework::Ibus : ImeFramework::None;
}

std::unique_ptr<InputMethodProvider> makeInputMethodProvider()
{
    const ImeFramework session = sessionImeFramework(qEnvironmentVariable("QT_IM_MODULE"),
        qEnvironmentVariable("GTK_IM_MODULE"), qEnvironmentVariable("XMODIFIERS"));
    // ibus is asked only when it can matter: the check runs its client.
    const bool fcitx5 = Fcitx5Provider::isRunning();
    const bool ibus = (session == ImeFramework::Ibus || !fcitx5) && IbusProvider::isRunning();
    switch (chooseImeFramework(session, fcitx5, ibus)) {
    case ImeFramework::Fcitx5: return std::make_unique<Fcitx5Provider>();
    case ImeFramework::Ibus: return std::make_unique<IbusProvider>();
    case ImeFramework::None: break;
    }
    return std::make_unique<NoInputMethodProvider>();
}

} // namespace orvane
