// The process-wide values of one run, created by main and handed to every window.
//
// Windows read and change what they share through this object only; a test builds a fresh one
// with a temporary program folder, a scripted clock and scripted prompts.
#pragma once

#include "core/clock.h"
#include "core/programfolder.h"
#include "core/prompts.h"
#include "settings/settingsstore.h"
#include "prepare/testdocument.h"
#include "segtest/statsdata.h"
#include "settings/usersettings.h"
#include "shell/ime.h"
#include "shell/windowhelpers.h"

#include <QString>
#include <functional>

class QWidget;

namespace orvane {

class ExternalLibs;

struct AppContext {
    ProgramFolder folder;
    Prompts *prompts = nullptr;
    Clock *clock = nullptr;
    SettingsStore *store = nullptr;
    InputMethodProvider *imeProvider = nullptr;
    // The language libraries; null when they could not be loaded.
    ExternalLibs *libs = nullptr;

    UserSettings settings;
    ImeState ime;
    LayoutState layout;
    TestDocument doc;
    TestStatistics stats;

    // Window timers tick by themselves; tests turn this off and call the timer handlers.
    bool realTimers = true;

    // The help document the program carries.
    QString helpSource = QStringLiteral(":/help/index.html");

    // Installs the Orvane input method for the current user into the running framework; false
    // with *error saying why when it could not. Empty when the program cannot install it.
    std::function<bool(QString *error)> installIme;

    // A custom word was added to the dictionary: brings the installed input method's table up to
    // date so that the learner can type the word. Empty when the program cannot.
    std::function<void()> customWordsChanged;

    // Ends the process with the given status (main quits the event loop; tests record it).
    std::function<void(int)> endProgram;

    // The two large windows, opened modally over the given parent.
    std::function<void(QWidget *)> showTestWindow;
    std::function<void(QWidget *)> showEditor;
    // The window that lists the learner's custom words and removes them, over the given parent;
    // empty when the program cannot show it.
    std::function<void(QWidget *)> showCustomWords;
};

} // namespace orvane
