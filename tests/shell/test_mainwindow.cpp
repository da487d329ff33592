#include "context/appcontext.h"
#include "contextfixture.h"
#include "modal.h"
#include "scriptedprompts.h"
#include "shell/frmabout.h"
#include "shell/frmmain.h"
#include "shell/helpwindow.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolButton>
#include <QtTest>
#include <memory>

using namespace orvane;
using orvane::test::ScriptedPrompts;

namespace {

const QString kTitle = QStringLiteral("Orvane输入法2011分词教学系统（简体）");
const QString kExitQuestion = QStringLiteral("确定要退出Orvane输入法2011分词教学系统（简体）？");

struct Fixture : test::ContextFixture {
    NoInputMethodProvider ime;
    QList<int> endedWith;
    std::unique_ptr<frmMain> window;

    explicit Fixture(const QString &folder = {})
        : ContextFixture({.data = false,
            .libs = false,
            .pictures = false,
            .folder = folder,
            .now = QDateTime(QDate(2026, 1, 5), QTime(9, 0, 0))})
    {
        ctx.settings = UserSettings{}; // the main window loads none
        ctx.imeProvider = &ime;
        ctx.endProgram = [this](int code) { endedWith << code; };
        window = std::make_unique<frmMain>(ctx);
    }

    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }
};

// A folder that cannot be written, also for root (who ignores permission bits): a path below
// a plain file.
QString unwritableFolder(const QTemporaryDir &dir)
{
    const QString blocker = dir.filePath(QStringLiteral("not-a-folder"));
    QFile f(blocker);
    f.open(QIODevice::WriteOnly);
    f.write("x");
    f.close();
    return blocker + QStringLiteral("/program");
}

// An input-method framework that runs; its list changes when the test installs the method.
class FrameworkProvider final : public InputMethodProvider {
public:
    QString kind() const override { return QStringLiteral("fcitx5"); }
    std::optional<QList<InputMethodEntry>> list() override { return methods; }
    bool activate(const QString &) override { return true; }
    bool deactivate() override { return true; }
    bool refresh(const QString &id) override
    {
        refreshed << id;
        return true;
    }
    QList<InputMethodEntry> methods{{QStringLiteral("keyboard-us"), QStringLiteral("Keyboard - English (US)")}};
    QStringList refreshed;
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void loadWritesThePictures();
    void unwritableFolderEndsOnce();
    void exitQuestion_data();
    void exitQuestion();
    void everyExitRouteAsksTheSameQuestion_data();
    void everyExitRouteAsksTheSameQuestion();
    void offersToInstallTheInputMethod_data();
    void offersToInstallTheInputMethod();
    void helpOpensAndMissingHelpIsReported();
    void aboutBox();
    void launchersOpenTheLargeWindows();
};

void TestMainWindow::loadWritesThePictures()
{
    Fixture f;
    QVERIFY(f.window->Form_Load());
    QVERIFY(f.endedWith.isEmpty());
    QCOMPARE(f.window->windowTitle(), kTitle);
    QCOMPARE(f.files(), (QStringList{"101.jpg", "102.jpg", "103.jpg"}));
    for (const QString &name : f.files()) {
        QImage picture(f.dir.filePath(name));
        QVERIFY2(!picture.isNull(), qPrintable(name));
    }
    // The input method was looked for; the provider that finds nothing stays silent.
    QVERIFY(f.prompts.messages.isEmpty());
    QVERIFY(f.window->mnuFcTest->icon().isNull() == false);
    QVERIFY(f.window->mnuHelpTopic->icon().isNull() == false);
    QCOMPARE(f.window->Image1[0]->toolTip(), QStringLiteral("分词测试"));
    QCOMPARE(f.window->Image1[3]->toolTip(), QStringLiteral("退出系统"));
    QCOMPARE(f.window->Label2->text(), QStringLiteral("分词结果处理"));
    QVERIFY(f.window->findChild<QToolButton *>(QStringLiteral("Image1(2)")));
}

void TestMainWindow::unwritableFolderEndsOnce()
{
    QTemporaryDir dir;
    Fixture f(unwritableFolder(dir));
    QVERIFY(!f.window->Form_Load());
    QCOMPARE(f.endedWith, QList<int>{1});
    QCOMPARE(f.prompts.messages.size(), 1); // no second message for 102 or 103
    // The message goes on with the file and the system's reason.
    const QString text = f.prompts.messages[0].text;
    QVERIFY2(text.startsWith(QStringLiteral("请检查硬盘是否写保护，或者硬盘空间已满！\r\n\r\n无法写入文件“"))
            && text.endsWith(QStringLiteral("101.jpg”：路径中有一部分不是文件夹")),
        qPrintable(text));
    QCOMPARE(f.prompts.messages[0].title, kTitle);
    QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Critical);
    QCOMPARE(f.prompts.messages[0].buttons, MessageButtons::OkCancel);
}

void TestMainWindow::exitQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("yes removes exactly the three pictures")
        << int(MessageAnswer::Yes) << QStringList{"holiday.jpg", "notes.txt"};
    QTest::newRow("no keeps everything") << int(MessageAnswer::No)
                                         << QStringList{"101.jpg", "102.jpg", "103.jpg", "holiday.jpg", "notes.txt"};
}

void TestMainWindow::exitQuestion()
{
    QFETCH(int, answer);
    QFETCH(QStringList, left);
    Fixture f;
    for (const char *name : {"holiday.jpg", "notes.txt"}) {
        QFile own(f.dir.filePath(QString::fromLatin1(name)));
        QVERIFY(own.open(QIODevice::WriteOnly));
        own.write("the user's own file");
    }
    QVERIFY(f.window->Form_Load());
    f.window->show();
    f.prompts.answers.enqueue(MessageAnswer(answer));
    f.window->Image1_Click(3);

    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].text, kExitQuestion);
    QCOMPARE(f.prompts.messages[0].title, QStringLiteral("提示信息"));
    QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Question);
    QCOMPARE(f.prompts.messages[0].buttons, MessageButtons::YesNo);
    QCOMPARE(f.files(), left);
    const bool yes = MessageAnswer(answer) == MessageAnswer::Yes;
    QCOMPARE(f.endedWith, yes ? QList<int>{0} : QList<int>{});
    QCOMPARE(f.window->isVisible(), true); // the process ends through endProgram, not by closing
}

void TestMainWindow::everyExitRouteAsksTheSameQuestion_data()
{
    QTest::addColumn<QString>("route");
    QTest::newRow("close box") << "close";
    QTest::newRow("menu") << "mnuExit";
    QTest::newRow("label") << "Label4";
    QTest::newRow("picture button") << "Image1(3)";
}

void TestMainWindow::everyExitRouteAsksTheSameQuestion()
{
    QFETCH(QString, route);
    Fixture f;
    QVERIFY(f.window->Form_Load());
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    f.prompts.answers.enqueue(MessageAnswer::No);
    if (route == QLatin1String("close"))
        f.window->close();
    else if (route == QLatin1String("mnuExit"))
        f.window->mnuExit->trigger();
    else if (route == QLatin1String("Label4"))
        QTest::mouseClick(f.window->Label4, Qt::LeftButton);
    else
        QTest::mouseClick(f.window->findChild<QToolButton *>(route), Qt::LeftButton);
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].text, kExitQuestion);
    QVERIFY(f.window->isVisible()); // No: the window stays
    QVERIFY(f.endedWith.isEmpty());
}

void TestMainWindow::offersToInstallTheInputMethod_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("installWorks");
    QTest::addColumn<bool>("listedAfter");
    QTest::addColumn<QString>("lastMessage");
    QTest::addColumn<QString>("imeLayout");
    QTest::newRow("installed and found") << int(MessageAnswer::Yes) << true << true << "可以开始练习"
                                         << "orvane";
    QTest::newRow("declined") << int(MessageAnswer::No) << true << true << "是否现在为您安装"
                              << "";
    QTest::newRow("install fails") << int(MessageAnswer::Yes) << false << false << "安装失败：no space"
                                   << "";
    QTest::newRow("installed, not listed") << int(MessageAnswer::Yes) << true << false << "尚未列出"
                                           << "";
}

void TestMainWindow::offersToInstallTheInputMethod()
{
    QFETCH(int, answer);
    QFETCH(bool, installWorks);
    QFETCH(bool, listedAfter);
    QFETCH(QString, lastMessage);
    QFETCH(QString, imeLayout);
    Fixture f;
    FrameworkProvider framework;
    f.ctx.imeProvider = &framework;
    int installs = 0;
    f.ctx.installIme = [&](QString *error) {
        ++installs;
        if (!installWorks) {
            *error = QStringLiteral("no space");
            return false;
        }
        if (listedAfter)
            framework.methods.append({QStringLiteral("orvane"), QStringLiteral("Orvane输入法2011版")});
        return true;
    };
    f.prompts.answers << MessageAnswer::Ok << MessageAnswer(answer);
    QVERIFY(f.window->Form_Load());
    // The warning first, once; then the offer.
    QVERIFY(f.prompts.messages.size() >= 2);
    QVERIFY(f.prompts.messages[0].text.startsWith(QStringLiteral("本计算机未安装Orvane输入法2011简体版")));
    QCOMPARE(f.prompts.messages[1].buttons, MessageButtons::YesNo);
    QVERIFY2(f.prompts.messages.last().text.contains(lastMessage), qPrintable(f.prompts.messages.last().text));
    QCOMPARE(installs, MessageAnswer(answer) == MessageAnswer::Yes ? 1 : 0);
    QCOMPARE(f.ctx.ime.ImeLayout, imeLayout);
    if (!imeLayout.isEmpty())
        QCOMPARE(framework.refreshed, (QStringList{QString(), QStringLiteral("orvane")}));
}

void TestMainWindow::helpOpensAndMissingHelpIsReported()
{
    Fixture f;
    QVERIFY(f.window->Form_Load());
    f.window->show();

    QString shownTitle;
    QString shownText;
    orvane::test::onNextModal([&](QWidget *w) {
        shownTitle = w->objectName();
        if (auto *b = w->findChild<QTextBrowser *>(QStringLiteral("helpBrowser")))
            shownText = b->toPlainText();
        w->close();
    });
    f.window->Image1_Click(2);
    QVERIFY(orvane::test::lastModalHandled());
    QCOMPARE(shownTitle, QStringLiteral("HelpWindow"));
    QVERIFY(shownText.contains(QStringLiteral("如何开始一次测试")));
    QVERIFY(f.prompts.messages.isEmpty());

    f.ctx.helpSource = f.dir.filePath(QStringLiteral("missing.html"));
    f.window->mnuHelpTopic->trigger();
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].text, QStringLiteral("帮助文件不存在或已损坏！"));
    QCOMPARE(f.prompts.messages[0].title, kTitle);
    QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Information);

    // A file that is there but is no help document.
    QFile broken(f.dir.filePath(QStringLiteral("broken.html")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("\x00\x01garbage", 9);
    broken.close();
    f.ctx.helpSource = broken.fileName();
    f.window->mnuHelpTopic->trigger();
    QCOMPARE(f.prompts.messages.size(), 2);
}

void TestMainWindow::aboutBox()
{
    Fixture f;
    QVERIFY(f.window->Form_Load());
    frmAbout about(f.ctx, f.window.get());
    QCOMPARE(about.windowTitle(), QStringLiteral("关于Orvane输入法2011分词教学系统（简体）"));
    const QStringList lines = about.Label1->text().split(QLatin1Char('\n'));
    QCOMPARE(lines.value(0), kTitle);
    QCOMPARE(lines.value(1), QStringLiteral("For  简体Windows 2000/XP/2003/Vista/7"));
    QCOMPARE(about.cmdOK->text(), QStringLiteral("确 定"));
    QVERIFY(about.cmdOK->property("pictureButton").toBool());

    bool closed = false;
    orvane::test::onNextModal([&](QWidget *w) {
        if (auto *ok = w->findChild<QPushButton *>(QStringLiteral("cmdOK"))) {
            ok->click();
            closed = true;
        }
    });
    f.window->mnuAbout->trigger();
    QVERIFY(closed);
}

void TestMainWindow::launchersOpenTheLargeWindows()
{
    Fixture f;
    QStringList opened;
    f.ctx.showTestWindow = [&](QWidget *) { opened << "test"; };
    f.ctx.showEditor = [&](QWidget *) { opened << "editor"; };
    QVERIFY(f.window->Form_Load());
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    f.window->mnuFcTest->trigger();
    QTest::mouseClick(f.window->Label1, Qt::LeftButton);
    QTest::mouseClick(f.window->Image1[1], Qt::LeftButton);
    f.window->mnuPreSplit->trigger();
    QCOMPARE(opened, (QStringList{"test", "test", "editor", "editor"}));
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
