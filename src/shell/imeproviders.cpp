#include "shell/imeproviders.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QProcess>
#include <QStandardPaths>

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
std::optional<QString> runIbus(const QStringList &args)
{
    const QString exe = QStandardPaths::findExecutable(QStringLiteral("ibus"));
    if (exe.isEmpty())
        return std::nullopt;
    QProcess p;
    p.start(exe, args);
    if (!p.waitForFinished(3000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        p.kill();
        return std::nullopt;
    }
    return QString::fromUtf8(p.readAllStandardOutput());
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
    const std::optional<QString> address = runIbus({QStringLiteral("address")});
    return address && !address->trimmed().isEmpty() && !address->contains(QLatin1String("(null)"));
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
    return runIbus({QStringLiteral("engine"), id}).has_value();
}

bool IbusProvider::deactivate()
{
    return runIbus({QStringLiteral("engine"), QStringLiteral("xkb:us::eng")}).has_value();
}

std::unique_ptr<InputMethodProvider> makeInputMethodProvider()
{
    if (Fcitx5Provider::isRunning())
        return std::make_unique<Fcitx5Provider>();
    if (IbusProvider::isRunning())
        return std::make_unique<IbusProvider>();
    return std::make_unique<NoInputMethodProvider>();
}

} // namespace orvane
