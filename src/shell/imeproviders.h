// The input-method frameworks of a Linux desktop: fcitx5 over D-Bus, ibus through its client, and the
// provider that finds nothing when neither runs.
#pragma once

#include "shell/ime.h"

#include <memory>

namespace orvane {

// fcitx5's controller (org.fcitx.Fcitx5, /controller, org.fcitx.Fcitx.Controller1) on the
// session bus. The identifier of an input method is its unique name, the display name its name.
class Fcitx5Provider final : public InputMethodProvider {
public:
    QString kind() const override { return QStringLiteral("fcitx5"); }
    std::optional<QList<InputMethodEntry>> list() override;
    bool activate(const QString &id) override;
    bool deactivate() override;
    // Rescans the input methods and adds id to the current group when it is not there.
    bool refresh(const QString &id) override;
    // fcitx5's table engine keeps a table it has loaded until the input method leaves the current
    // group (it frees the tables of the methods that are no longer in the group whenever the
    // group changes). So id is taken out of the current group and put back at its place, and
    // made current again if it was: the next use loads the table from disk.
    bool reloadTable(const QString &id) override;

    // True when fcitx5 owns its name on the session bus.
    static bool isRunning();
};

// ibus through its command-line client ("ibus list-engine", "ibus engine [NAME]"): the identifier
// is the engine name, the display name its long name. Switching on remembers the engine that was
// in use, and switching off goes back to it (to the US keyboard when none was set).
class IbusProvider final : public InputMethodProvider {
public:
    QString kind() const override { return QStringLiteral("ibus"); }
    std::optional<QList<InputMethodEntry>> list() override;
    bool activate(const QString &id) override;
    bool deactivate() override;
    // ibus-daemon builds its list of engines when it starts (or from its cache), and does not
    // watch the user's ibus-table folder: the cache is written again and the daemon restarted,
    // and this waits until it answers again.
    bool refresh(const QString &id) override;

    // True when ibus-daemon answers on the address the ibus client names.
    static bool isRunning();
    // The global engine, or nullopt when none is set or ibus does not answer.
    static std::optional<QString> currentEngine();
    // Parses the output of "ibus list-engine".
    static QList<InputMethodEntry> parseEngineList(const QString &output);

private:
    QString m_previous; // the engine in use before activate; empty: none known
};

enum class ImeFramework { None, Fcitx5, Ibus };

// The framework the session names in its environment: QT_IM_MODULE, else GTK_IM_MODULE, else the
// "@im=" of XMODIFIERS ("fcitx", "fcitx5" and "ibus"; anything else names none).
ImeFramework sessionImeFramework(const QString &qtImModule, const QString &gtkImModule, const QString &xModifiers);
// The framework to use: the session's own when it runs (a desktop may run both and use one),
// else fcitx5 if it runs, else ibus if it runs.
ImeFramework chooseImeFramework(ImeFramework session, bool fcitx5Running, bool ibusRunning);

// The provider of the framework chooseImeFramework picks for this process's environment, or the
// provider that finds nothing.
std::unique_ptr<InputMethodProvider> makeInputMethodProvider();

} // namespace orvane
