// The main window: a launcher with four picture buttons (test, editor, help, exit), a menu bar
// and a status bar. Loading detects the input method and writes the three pictures into the
// program folder; a picture that cannot be written ends the program.
#pragma once

#include "context/appcontext.h"

#include <QMainWindow>
#include <array>

class QLabel;
class QToolButton;
class QAction;
class QMenu;
class QStatusBar;

namespace orvane {

class frmMain final : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(AppContext &ctx, QWidget *parent = nullptr);

    // Runs the loading steps. False when the program must end (ctx.endProgram has been called).
    bool Form_Load();

    // The single dispatcher of the window: 0 test, 1 editor, 2 help, 3 exit.
    void Image1_Click(int index);
    void mnuHelpTopic_Click();
    void mnuAbout_Click();
    // The exit question. Returns true when the program ends.
    bool Form_QueryUnload();

    std::array<QToolButton *, 4> Image1{};
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QMenu *mnuSplit = nullptr;
    QAction *mnuFcTest = nullptr;
    QAction *mnuHistory = nullptr;
    QAction *mnuCourse = nullptr;
    QAction *mnuDrill = nullptr;
    QAction *mnuBook = nullptr;
    QAction *mnuPreSplit = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuHelpTopic = nullptr;
    QAction *mnuAbout = nullptr;
    QAction *mnuExit = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildLauncher();
    void showImeStatus();
    void offerImeInstall();

    AppContext &m_ctx;
    QWidget *m_central = nullptr;
    bool m_ending = false;
};

} // namespace orvane
