// orvane-screens WINDOW [FILE]
//   openfile FILE   the open-text dialog with FILE loaded into its preview
//   filters         the symbol-filter dialog
//   testwindow FILE the test window running a test on FILE: some words typed, one wrong, the
//                   code hint of the current word shown
//   result FILE     the same, then the result dialog of the test
//   details FILE    the same, then the details of the test (tables built)
//   keys FILE       the same, then the whole-text key counts
//   userkeys FILE   the same, then the key counts of the typed stretch
//   options         the options dialog
//   addword [FCR]   the add-word dialog, with a segmentation result loaded when given
//   customwords     the custom-word window with the learner's custom words
//   editor FILE     the segmentation editor with FILE opened, unlocked for editing
//   pieces FILE     a test on FILE typed with some words in pieces, some wrong and some slow,
//                   ended; the words typed in pieces, opened from the result dialog
//   book FILE       three such tests, then the mistake book
//   drill           the test window running a drill of weak items: some words typed, the code of
//                   a missed item shown before it is typed
//   course          the course window, lesson 1 passed and lesson 2 tried once
//   testwindow, editor without FILE: the window as it loads, with its welcome caption and introduction
//   browse          the open-text dialog with its file dialog open (the "选择文件" button)
//   color           the options dialog with the colour dialog of its first text colour open
//   overwrite FILE  the save dialog asking whether to replace FILE (which must exist)
// Qt's own Chinese translations are loaded as the program loads them.
// The window closes by itself after a few seconds (ORVANE_SCREENS_MS, default 4000).
// ORVANE_SCREENS_SIZE=WxH resizes the window once it is shown (the large windows scale their
// controls and fonts); ORVANE_SCREENS_GEOMETRY=1 prints every named widget of the window with its
// geometry and font size when the window closes, so that two builds can be compared line by line.
#include "core/workfiles.h"
#include "editor/dlgaddword.h"
#include "editor/dlgcustomwords.h"
#include "editor/frmpresplit.h"
#include "history/historydb.h"
#include "prepare/codedictionary.h"
#include "prepare/externallibs.h"
#include "prepare/frmdeffilter.h"
#include "prepare/frmopenfile.h"
#include "prepare/render.h"
#include "segtest/dlgkeys.h"
#include "segtest/dlgmoreinfo.h"
#include "segtest/dlgresult.h"
#include "segtest/dlguserkeys.h"
#include "segtest/frmfctest.h"
#include "settings/frmoptions.h"
#include "shell/pictures.h"
#include "shell/qtprompts.h"
#include "teaching/bookwindow.h"
#include "teaching/coursewindow.h"
#include "teaching/weakdrill.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QTranslator>
#include <cstdio>

using namespace orvane;

namespace {
struct ViewTarget final : OpenTextTarget {
    AppContext &ctx;
    QTextEdit view;
    TestDocument doc;
    explicit ViewTarget(AppContext &c) : ctx(c) { }
    void applyOpenedText(const OpenedText &opened, const RenderProgress &progress) override
    {
        doc.takeText(opened);
        showOpenedText(ctx, &view, opened, progress);
    }
    TestDocument &document() override { return doc; }
};

// The test window with the file opened through its open dialog and shown; null when the window
// cannot load.
std::unique_ptr<frmFcTest> testWindowWith(AppContext &ctx, const QString &file)
{
    auto test = std::make_unique<frmFcTest>(ctx);
    if (!test->Form_Load())
        return nullptr;
    {
        frmOpenFile open(ctx, *test, test.get());
        open.loadFile(file);
        open.cmdOpenFile_Click();
    }
    test->show();
    return test;
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    installFontSubstitutions();
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    const std::unique_ptr<QTranslator> qtTranslations = installQtTranslations();
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr,
            "usage: orvane-screens openfile FILE | filters | testwindow FILE | result FILE | "
            "details FILE | keys FILE | userkeys FILE\n");
        return 2;
    }
    QTemporaryDir folder;
    QtPrompts prompts;
    // The clock stands still, so that the result shows a test of 95 seconds.
    ScriptedClock clock;
    NoInputMethodProvider noIme;
    ExternalLibs libs;
    AppContext ctx;
    ctx.clock = &clock;
    ctx.imeProvider = &noIme;
    const QString binDir = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
    if (libs.open({binDir}, binDir, nullptr))
        ctx.libs = &libs;
    ctx.settings = DefaultUserSettings();
    ctx.folder = ProgramFolder(folder.path(), {QCoreApplication::applicationDirPath() + QStringLiteral("/../bin")});
    ctx.prompts = &prompts;
    const QStringList names = pictureFileNames();
    for (int i = 0; i < names.size(); ++i)
        WriteResourceFile(ctx.folder, 101 + i, QStringLiteral("JPG"), names[i]);

    std::unique_ptr<QDialog> window;
    ViewTarget target(ctx);
    if (args[1] == QLatin1String("openfile") && args.size() > 2) {
        auto dlg = std::make_unique<frmOpenFile>(ctx, target);
        dlg->loadFile(args[2]);
        window = std::move(dlg);
    } else if (args[1] == QLatin1String("filters")) {
        window = std::make_unique<frmDefFilter>(ctx);
    } else if (args[1] == QLatin1String("browse")) {
        auto dlg = std::make_unique<frmOpenFile>(ctx, target);
        QTimer::singleShot(300, dlg.get(), [d = dlg.get()] { d->cmdSelectFile_Click(); });
        window = std::move(dlg);
    } else if (args[1] == QLatin1String("color")) {
        auto dlg = std::make_unique<frmOptions>(ctx, nullptr);
        QTimer::singleShot(300, dlg.get(), [d = dlg.get()] { d->cmdSetColor1_Click(); });
        window = std::move(dlg);
    } else if (args[1] == QLatin1String("overwrite") && args.size() > 2) {
        // The save dialog with the existing file's name accepted at once: Qt asks to replace it.
        auto dlg = std::make_unique<frmOpenFile>(ctx, target);
        const QString existing = args[2];
        QTimer::singleShot(300, dlg.get(), [&prompts, existing] {
            QTimer::singleShot(300, [] {
                if (auto *files = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
                    QMetaObject::invokeMethod(files, "accept"); // a slot, protected in QFileDialog
            });
            prompts.saveFile(QStringLiteral("保存分词例文"), existing, QStringLiteral("分词例文(*.sav)"));
        });
        window = std::move(dlg);
    } else if (args[1] == QLatin1String("options")) {
        window = std::make_unique<frmOptions>(ctx, nullptr);
    } else if (args[1] == QLatin1String("addword")) {
        auto dlg = std::make_unique<DlgAddWord>(ctx);
        if (args.size() > 2)
            dlg->loadResultFile(args[2]);
        window = std::move(dlg);
    } else if (args[1] == QLatin1String("customwords")) {
        window = std::make_unique<dlgCustomWords>(ctx);
    } else if ((args[1] == QLatin1String("testwindow") || args[1] == QLatin1String("editor")) && args.size() == 2) {
        std::unique_ptr<QDialog> loaded;
        if (args[1] == QLatin1String("editor")) {
            auto editor = std::make_unique<frmPreSplit>(ctx);
            if (!editor->Form_Load())
                return 1;
            loaded = std::move(editor);
        } else {
            auto test = std::make_unique<frmFcTest>(ctx);
            if (!test->Form_Load())
                return 1;
            loaded = std::move(test);
        }
        window = std::move(loaded);
    } else if (args[1] == QLatin1String("drill")) {
        auto test = std::make_unique<frmFcTest>(ctx);
        if (!test->Form_Load())
            return 1;
        QVector<DrillItem> items;
        const QStringList weak = {QStringLiteral("接近"), QStringLiteral("经济"), QStringLiteral("问题"),
            QStringLiteral("的"), QStringLiteral("我们"), QStringLiteral("社会主义"), QStringLiteral("发展"),
            QStringLiteral("这"), QStringLiteral("已经"), QStringLiteral("认为")};
        for (const QString &w : weak)
            items.push_back({w, ctx.codes().LookupCodes(w),
                w == QStringLiteral("经济") || w == QStringLiteral("社会主义") || w == QStringLiteral("已经")});
        const OpenedText drill = weakItemsDrill(items, 2);
        test->openPracticeText(drill);
        test->show();
        test->CmdStartTest_Click();
        // Words are typed up to the first occurrence of a missed item not at the start, whose
        // code panel 1 then shows.
        int stop = 0;
        for (auto it = drill.hints.cbegin(); it != drill.hints.cend(); ++it)
            if (it.key() > 0) {
                stop = it.key();
                break;
            }
        QInputMethodEvent event;
        event.setCommitString(drill.text.left(stop));
        QApplication::sendEvent(test->tmpText, &event);
        window = std::move(test);
    } else if (args[1] == QLatin1String("course")) {
        ctx.historyPath = folder.filePath(QStringLiteral("history.db"));
        if (HistoryDb *db = ctx.history()) {
            QString error;
            const auto add = [&](const QString &kind, double accuracy, int speed, int minutes) {
                HistoryRecord r;
                r.start = QDateTime(QDate(2026, 3, 2), QTime(9, minutes));
                r.end = r.start.addSecs(60);
                r.textName = kind;
                r.kind = kind;
                r.accuracy = accuracy;
                r.speed = speed;
                db->add(r, &error);
            };
            add(QStringLiteral("lesson 1"), 96.5, 18, 0);
            add(QStringLiteral("lesson 1"), 99.2, 26, 5);
            add(QStringLiteral("lesson 2"), 98.4, 21, 10);
        }
        ctx.showPracticeText = [](QWidget *, const OpenedText &) {};
        ctx.practiseWeakItems = [](QWidget *) {};
        window = std::make_unique<CourseWindow>(ctx);
    } else if (args[1] == QLatin1String("editor") && args.size() > 2) {
        auto editor = std::make_unique<frmPreSplit>(ctx);
        if (!editor->Form_Load())
            return 1;
        {
            frmOpenFile open(ctx, *editor, editor.get());
            open.loadFile(args[2]);
            open.cmdOpenFile_Click();
        }
        editor->txtMain->raise();
        editor->cmdModify_Click();
        window = std::move(editor);
    } else if (QStringList{"testwindow", "result", "details", "keys", "userkeys"}.contains(args[1])
        && args.size() > 2) {
        auto test = testWindowWith(ctx, args[2]);
        if (!test)
            return 1;
        test->CmdStartTest_Click();
        const auto commit = [&test](const QString &text) {
            QInputMethodEvent event;
            event.setCommitString(text);
            QApplication::sendEvent(test->tmpText, &event);
        };
        const QString text = test->mainText->toPlainText();
        const QString &marks = test->run().doc.CharMarks;
        int typed = 0;
        for (int word = 0; word < 9 && typed < marks.size(); ++word) {
            int end = typed;
            while (end < marks.size() && marks[end] == marks[typed])
                ++end;
            commit(
                word == 4 ? QStringLiteral("错") + text.mid(typed + 1, end - typed - 1) : text.mid(typed, end - typed));
            typed = end;
        }
        QKeyEvent f2(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier);
        QApplication::sendEvent(test->tmpText, &f2);
        if (args[1] == QLatin1String("testwindow")) {
            // A few seconds into the test, so that the live line shows its figures.
            clock.advanceSeconds(12);
            test->Timer1_Timer();
        }
        if (args[1] != QLatin1String("testwindow")) {
            clock.advanceSeconds(95);
            test->run().end();
        }
        if (args[1] == QLatin1String("result")) {
            auto *result = new DlgResult(ctx, test->run(), test.get());
            result->show();
        } else if (args[1] != QLatin1String("testwindow")) {
            QDialog *details = nullptr;
            if (args[1] == QLatin1String("details"))
                details = new DlgMoreInfo(ctx, test->run(), test.get());
            else if (args[1] == QLatin1String("keys"))
                details = new DlgKeys(ctx, test->run(), test.get());
            else
                details = new DlgUserKeys(ctx, test->run(), test.get());
            details->show();
        }
        window = std::move(test);
    } else if ((args[1] == QLatin1String("pieces") || args[1] == QLatin1String("book")) && args.size() > 2) {
        // The history of this run only.
        ctx.historyPath = folder.filePath(QStringLiteral("history.db"));
        auto test = testWindowWith(ctx, args[2]);
        if (!test)
            return 1;
        const bool book = args[1] == QLatin1String("book");
        // Each test: words by the text's marks, some in pieces, one wrong, one slow; the result
        // dialog is closed (book) or shows the words typed in pieces (pieces).
        frmFcTest *t = test.get();
        const auto runTest = [t, book, &clock, &ctx](int round) {
            t->CmdStartTest_Click();
            const QString text = t->mainText->toPlainText();
            const QString &marks = t->run().doc.CharMarks;
            int typed = 0;
            for (int word = 0; word < 24 && typed < marks.size(); ++word) {
                int end = typed;
                while (end < marks.size() && marks[end] == marks[typed])
                    ++end;
                const QString w = text.mid(typed, end - typed);
                clock.advanceMs((word + round) % 7 == 3 ? 6000 : 900);
                QStringList commits{w};
                if (w.size() > 1 && (word + round) % 3 == 1)
                    commits = w.split(QString(), Qt::SkipEmptyParts);
                else if ((word + 2 * round) % 9 == 5)
                    commits = {QStringLiteral("错") + w.mid(1)};
                for (const QString &c : commits) {
                    // The keys of the item's code, as the input method shows them.
                    const ItemCodes codes = ctx.codes().LookupCodes(c);
                    const QString code = codes.shortCode.isEmpty() ? codes.standard : codes.shortCode;
                    for (int i = 1; i <= code.size(); ++i) {
                        QInputMethodEvent composing(code.left(i), {});
                        QApplication::sendEvent(t->tmpText, &composing);
                    }
                    QInputMethodEvent event;
                    event.setCommitString(c);
                    QApplication::sendEvent(t->tmpText, &event);
                }
                typed = end;
            }
            QTimer::singleShot(200, [book] {
                auto *result = qobject_cast<DlgResult *>(QApplication::activeModalWidget());
                if (!result)
                    return;
                if (book)
                    result->cmdOk->click();
                else
                    result->cmdPieces->click();
            });
            t->CmdEndTest_Click();
        };
        if (book) {
            for (int round = 0; round < 3; ++round) {
                clock.setNow(QDateTime(QDate(2026, 3, 2 + round), QTime(20, 0, 0)));
                runTest(round);
            }
            window = std::make_unique<BookWindow>(ctx);
        } else {
            QTimer::singleShot(0, [runTest] { runTest(0); });
            window = std::move(test);
        }
    } else {
        std::fprintf(stderr, "unknown window\n");
        return 2;
    }
    window->show();
    const QString size = qEnvironmentVariable("ORVANE_SCREENS_SIZE");
    if (!size.isEmpty()) {
        const QStringList wh = size.split(QLatin1Char('x'));
        if (wh.size() == 2) {
            window->resize(wh[0].toInt(), wh[1].toInt());
            centerOnScreen(window.get());
        }
    }
    const int ms =
        qEnvironmentVariableIsSet("ORVANE_SCREENS_MS") ? qEnvironmentVariableIntValue("ORVANE_SCREENS_MS") : 4000;
    QTimer::singleShot(ms, &app, [w = window.get()] {
        if (qEnvironmentVariableIntValue("ORVANE_SCREENS_GEOMETRY") != 0) {
            const auto line = [](const QWidget *c, const QString &name) {
                const QRect g = c->geometry();
                std::printf("%s %d %d %d %d pt%d %s\n", qPrintable(name), g.x(), g.y(), g.width(), g.height(),
                    c->font().pointSize(), c->isVisible() ? "shown" : "hidden");
            };
            line(w, w->objectName());
            for (const QWidget *c : w->findChildren<QWidget *>()) {
                // Status panels have no object name of their own; they carry their number.
                const QVariant panel = c->property("panel");
                if (panel.isValid())
                    line(c, QStringLiteral("panel%1").arg(panel.toInt()));
                else if (!c->objectName().isEmpty() && !c->objectName().startsWith(QLatin1String("qt_")))
                    line(c, c->objectName());
            }
        }
        QApplication::quit();
    });
    return app.exec();
}
