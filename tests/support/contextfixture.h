// The context a GUI test hands to the real windows: a temporary program folder that finds the
// build's data files (jtdb.dat, the dictionaries), scripted prompts, a scripted clock, the build's
// language libraries, custom words kept in a temporary user folder, the window pictures, and
// window timers that tick only when the test calls their handlers. A test changes what it needs
// (settings, input method, callbacks) on ctx after construction.
#pragma once

#include "context/appcontext.h"
#include "prepare/externallibs.h"
#include "scriptedprompts.h"

#include <QDateTime>
#include <QTemporaryDir>

namespace orvane::test {

struct ContextOptions {
    // The build's data files are found through the program folder; without them jtdb.dat is missing.
    bool data = true;
    // The build's language libraries are loaded into ctx.libs.
    bool libs = true;
    // The window pictures are written into the program folder.
    bool pictures = true;
    // The program folder; empty for the fixture's temporary folder.
    QString folder;
    // The custom words' folder (XDG_DATA_HOME, temporary) can be written; when not, it is a path
    // below a plain file, which no one can create, root included.
    bool customWordsWritable = true;
    QDateTime now = QDateTime(QDate(2026, 3, 2), QTime(9, 0, 0));
};

// The settings of a test: the default colours, segmentation on, every other switch off and the
// time limit at five minutes.
UserSettings testSettings();

struct ContextFixture {
    explicit ContextFixture(const ContextOptions &options = {});
    ContextFixture(const ContextFixture &) = delete;
    ContextFixture &operator=(const ContextFixture &) = delete;

    // A file of the temporary folder (the program folder unless another was given).
    QString path(const QString &name) const { return dir.filePath(name); }
    // Writes bytes into a file of the temporary folder; its path.
    QString write(const QString &name, const QByteArray &bytes) const;

    QTemporaryDir dir;
    QTemporaryDir userData;
    ScriptedPrompts prompts;
    ScriptedClock clock;
    ExternalLibs libs;
    AppContext ctx;
};

} // namespace orvane::test
