// orvane-screens WINDOW [FILE]
//   openfile FILE   the open-text dialog with FILE loaded into its preview
//   filters         the symbol-filter dialog
// The window closes by itself after a few seconds (ORVANE_SCREENS_MS, default 4000).
#include "prepare/externallibs.h"
#include "prepare/frmdeffilter.h"
#include "prepare/frmopenfile.h"
#include "prepare/render.h"
#include "shell/pictures.h"
#include "shell/qtprompts.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <cstdio>

using namespace orvane;

namespace {
struct ViewTarget final : OpenTextTarget {
    QTextEdit view;
    QTextEdit *textView() override { return &view; }
};
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    installFontSubstitutions();
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: orvane-screens openfile FILE | filters\n");
        return 2;
    }
    QTemporaryDir folder;
    QtPrompts prompts;
    AppContext ctx;
    ctx.folder = ProgramFolder(folder.path(), {QCoreApplication::applicationDirPath() + QStringLiteral("/../bin")});
    ctx.prompts = &prompts;
    const QStringList names = pictureFileNames();
    for (int i = 0; i < names.size(); ++i)
        WriteResourceFile(ctx.folder, 101 + i, QStringLiteral("JPG"), names[i]);

    std::unique_ptr<QDialog> window;
    ViewTarget target;
    if (args[1] == QLatin1String("openfile") && args.size() > 2) {
        auto dlg = std::make_unique<frmOpenFile>(ctx, target);
        dlg->loadFile(args[2]);
        window = std::move(dlg);
    } else if (args[1] == QLatin1String("filters")) {
        window = std::make_unique<frmDefFilter>(ctx);
    } else {
        std::fprintf(stderr, "unknown window\n");
        return 2;
    }
    window->show();
    const int ms = qEnvironmentVariableIsSet("ORVANE_SCREENS_MS") ? qEnvironmentVariableIntValue("ORVANE_SCREENS_MS") : 4000;
    QTimer::singleShot(ms, &app, &QApplication::quit);
    return app.exec();
}
