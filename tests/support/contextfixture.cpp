#include "contextfixture.h"

#include "shell/pictures.h"

#include <QFile>

namespace orvane::test {

UserSettings testSettings()
{
    UserSettings s;
    s.AltColor1 = 0x000000;
    s.AltColor2 = 0xFF0000;
    s.SymbolColor = 0xFF00FF;
    s.RightColor = 0x00FF00;
    s.ErrorColor = 0x0000FF;
    s.AlphaColor = 0xFFFF00;
    s.NeedSegmentation = true;
    s.LimitMinutes = 5;
    return s;
}

ContextFixture::ContextFixture(const ContextOptions &options) : clock(options.now)
{
    // libtalvex keeps custom words below XDG_DATA_HOME: each test starts with none.
    QString words = userData.path();
    if (!options.customWordsWritable) {
        QFile blocker(userData.filePath(QStringLiteral("plain-file")));
        if (blocker.open(QIODevice::WriteOnly))
            blocker.write("x");
        words = blocker.fileName() + QStringLiteral("/sub");
    }
    qputenv("XDG_DATA_HOME", words.toUtf8());
    // The index of the code database (the shortest key path) is kept below XDG_CACHE_HOME.
    qputenv("XDG_CACHE_HOME", userData.filePath(QStringLiteral("cache")).toUtf8());
    const QString folder = options.folder.isEmpty() ? dir.path() : options.folder;
    ctx.folder = options.data ? ProgramFolder(folder, {QStringLiteral(ORVANE_TEST_DATA_DIR)}) : ProgramFolder(folder);
    ctx.prompts = &prompts;
    ctx.clock = &clock;
    ctx.realTimers = false;
    ctx.settings = testSettings();
    if (options.libs) {
        QString error;
        if (libs.open({QStringLiteral(ORVANE_TEST_DATA_DIR)}, QStringLiteral(ORVANE_TEST_DATA_DIR), &error))
            ctx.libs = &libs;
        else
            qWarning("%s", qPrintable(error));
    }
    if (options.pictures) {
        for (int id = 101; id <= 103; ++id)
            WriteResourceFile(ctx.folder, id, QStringLiteral("JPG"), QStringLiteral("%1.jpg").arg(id));
    }
}

QString ContextFixture::write(const QString &name, const QByteArray &bytes) const
{
    const QString file = path(name);
    QFile f(file);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return file;
}

} // namespace orvane::test
