// The services of one run, created by main and handed to every window: the program folder, the
// prompts, the clock, the settings store and the settings it holds, the input method, the
// language libraries and the code database.
//
// The context holds no state of a text or a test: each window keeps its own. A test builds a
// fresh context with a temporary program folder, a scripted clock and scripted prompts.
#pragma once

#include "core/clock.h"
#include "core/programfolder.h"
#include "core/prompts.h"
#include "settings/settingsstore.h"
#include "settings/usersettings.h"
#include "shell/ime.h"

#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace orvane {

class CodeDictionary;
class ExternalLibs;
class HistoryDb;
struct HistoryRecord;
struct OpenedText;

struct AppContext {
    AppContext();
    ~AppContext();
    AppContext(const AppContext &) = delete;
    AppContext &operator=(const AppContext &) = delete;

    ProgramFolder folder;
    Prompts *prompts = nullptr;
    Clock *clock = nullptr;
    SettingsStore *store = nullptr;
    InputMethodProvider *imeProvider = nullptr;
    // The language libraries; null when they could not be loaded.
    ExternalLibs *libs = nullptr;

    // The user settings as loaded from the store and changed by the options dialog.
    UserSettings settings;
    // The two keyboard layouts the input method is switched between.
    ImeState ime;

    // The code database jtdb.dat of the program folder, opened on first use and kept open for
    // the rest of the run, so that its lookups stay warm. When it cannot be opened the user is
    // told once (tellCodesMissing) and every lookup gives empty codes.
    CodeDictionary &codes();
    // The code database for a step that cannot go on without it: false after telling the user
    // why (every time, since the step is refused).
    bool requireCodes();

    // The history of finished tests (history.db in the per-user data folder), opened on first
    // use and kept for the run.
    QString historyPath;
    // Writes one finished test into the history; false when it could not, after telling the user
    // why the first time in this run (the test itself goes on).
    bool recordTest(const HistoryRecord &record);
    // The open history, or null after telling the user why it cannot be opened (once a run).
    HistoryDb *history();

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
    // The history window over the given parent; empty when the program cannot show it.
    std::function<void(QWidget *)> showHistory;
    // The mistake book "错题本" over the given parent; empty when the program cannot show it.
    std::function<void(QWidget *)> showBook;
    // The test window over the given parent with a generated practice text (a drill, a lesson)
    // open in it; empty when the program cannot show it.
    std::function<void(QWidget *, const OpenedText &)> showPracticeText;
    // The course window over the given parent; empty when the program cannot show it.
    std::function<void(QWidget *)> showCourse;
    // "练习薄弱项": builds the drill of the learner's weak items and opens it in the test window
    // over the given parent; empty when the program cannot.
    std::function<void(QWidget *)> practiseWeakItems;
    // The window that lists the learner's custom words and removes them, over the given parent;
    // empty when the program cannot show it.
    std::function<void(QWidget *)> showCustomWords;

private:
    // The one message that says the code database cannot be opened, and why.
    void tellCodesMissing();

    std::unique_ptr<CodeDictionary> m_codes;
    QString m_codesError;
    // The first failure of the history in this run was told.
    void tellHistoryFailure(const QString &why);
    std::unique_ptr<HistoryDb> m_history;
    bool m_historyTold = false;
};

} // namespace orvane
