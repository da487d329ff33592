// The input-method frameworks of a Linux desktop: fcitx5 over D-Bus first, ibus next, and the
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

// ibus through its command-line client ("ibus list-engine", "ibus engine NAME"): the identifier
// is the engine name, the display name its long name. Switching off selects the US keyboard.
class IbusProvider final : public InputMethodProvider {
public:
    QString kind() const override { return QStringLiteral("ibus"); }
    std::optional<QList<InputMethodEntry>> list() override;
    bool activate(const QString &id) override;
    bool deactivate() override;

    static bool isRunning();
    // Parses the output of "ibus list-engine".
    static QList<InputMethodEntry> parseEngineList(const QString &output);
};

// fcitx5 if it runs, else ibus if it runs, else the provider that finds nothing.
std::unique_ptr<InputMethodProvider> makeInputMethodProvider();

} // namespace orvane
