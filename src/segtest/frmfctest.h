// The test window "分词测试": the segmented text in a large view, a column of seven picture
// buttons, a small typing box over the text and a status bar with three panels. It opens a text,
// runs a test through its states (no text, text loaded, running, paused, ended), times it against
// the clock and an optional limit, and hands over to the result dialog.
#pragma once

#include "context/appcontext.h"
#include "prepare/frmopenfile.h"
#include "segtest/testrun.h"
#include "settings/frmoptions.h"
#include "shell/formparts.h"
#include "shell/formtimer.h"
#include "shell/windowhelpers.h"

#include <QDialog>
#include <QLineEdit>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTextEdit;

namespace orvane {

// The typing box: a one-line box that reports every key before it handles it and shows the code
// that the input method composes. What the input method commits never enters the box's text: it
// is handed out one character at a time (committed), so that the box need not be emptied after
// a character. Emptying a box resets its input method, and a reset while the next code is being
// composed would commit that code's first digits as text.
class TypingBox final : public QLineEdit {
    Q_OBJECT
public:
    explicit TypingBox(QWidget *parent = nullptr);

    // The input method is composing a code in the box.
    bool isComposing() const { return !m_preedit.isEmpty(); }
    // Empties the box's text, unless the input method is composing (then the text is left alone:
    // what was committed never entered it).
    void empty();
    // The size that shows a whole code of the input method (and the caret after it).
    QSize codeSize() const;

Q_SIGNALS:
    // A key press that reached the box (Qt key code), before the box handles it.
    void keyDown(int key);
    // The input method changed its composition or committed text (one learner's key each).
    void composingKey();
    // The whole text of one commit of the input method, before its characters go out one by one.
    void commitArrived(const QString &commit);
    // One character that the input method committed (a surrogate pair stays together).
    void committed(const QString &character);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    QString m_preedit;
};

class KeyPathTable;

class frmFcTest final : public LargeForm, public OpenTextTarget, public OptionsTarget {
    Q_OBJECT
public:
    explicit frmFcTest(AppContext &ctx, QWidget *parent = nullptr);
    ~frmFcTest() override;

    // Runs the loading steps; false when the program must end (pictures missing).
    bool Form_Load();

    // Buttons.
    QPushButton *cmdFile = nullptr;
    QPushButton *CmdStartTest = nullptr;
    QPushButton *CmdPauTest = nullptr;
    QPushButton *CmdEndTest = nullptr;
    QPushButton *CmdSetting = nullptr;
    QPushButton *CmdCalc = nullptr;
    QPushButton *CmdQuit = nullptr;

    QTextEdit *mainText = nullptr;
    TypingBox *tmpText = nullptr;
    QLabel *LabelFc = nullptr;
    // Speed, 击键 and 码长 of the running test, updated every second.
    QLabel *lblLive = nullptr;
    FormTimer *Timer1 = nullptr;
    FormTimer *tmrLimitTime = nullptr;

    QMenu *mnuFile = nullptr;
    QAction *mnuOpenTestFile = nullptr;
    QAction *mnuOpenExample = nullptr;
    QAction *mnuAddWord = nullptr;
    QAction *mnuSaveTestFile = nullptr;
    QAction *mnuSaveResult = nullptr;
    QMenu *mnuCalc = nullptr;
    QAction *mnuSplitView = nullptr;
    QAction *mnuStaInfo = nullptr;
    QAction *mnuStaSave = nullptr;
    QAction *mnuHistory = nullptr;
    QAction *mnuPieces = nullptr;
    QAction *mnuBook = nullptr;

    // Handlers.
    void cmdFile_Click();
    void CmdCalc_Click();
    void mnuOpenTestFile_Click();
    void mnuOpenExample_Click();
    void mnuSaveResult_Click();
    void mnuSaveTestFile_Click();
    void mnuAddWord_Click();
    void mnuStaInfo_Click();
    void mnuStaSave_Click();
    void CmdSetting_Click();
    void CmdStartTest_Click();
    void CmdPauTest_Click();
    void CmdEndTest_Click();
    void CmdQuit_Click();
    void Timer1_Timer();
    void tmrLimitTime_Timer();
    void mainText_MouseDown(Qt::MouseButton button);
    void tmpText_Change();
    void tmpText_KeyDown(int key);
    void Form_Unload();

    // The text's marks and counts, the test's state and times, and their figures.
    TestRun &run() { return *m_run; }
    // The comparison and position of the running test.
    TypingSession &session() { return m_run->session(); }

    // OpenTextTarget: shows the text, takes its marks and counts and enables the menu items that
    // need a text (mnuSaveResult only with segmentation).
    void applyOpenedText(const OpenedText &opened, const RenderProgress &progress) override;
    TestDocument &document() override { return m_run->doc; }

    // OptionsTarget
    bool textShown() const override;
    void setSaveResultEnabled(bool on) override;
    void redrawText() override;

    // Puts the window into the "text loaded" state after a segmented example was opened.
    void exampleOpened();
    // Opens a generated practice text (a drill, a lesson of the course) the way the open-text
    // dialog hands over a file: its word boundaries come with its marks, its kind goes into the
    // history with the test, and its hints are told in panel 1 as the test reaches them.
    void openPracticeText(const OpenedText &practice);

protected:
    void afterResize() override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void setRunningControls(bool running);
    void moveTypingBox();
    // A text was put into the view for a test (opened or an example): its marks and counts, the
    // values of the previous text reset, its snapshot temp.zh deleted.
    void takeNewText(const OpenedText &opened);
    // Shows the session's result colours and highlight over the text.
    void refreshOverlay();
    void popUp(QMenu *menu, QPushButton *button);
    // The result dialog; when it is left with its exit button, the view loses the test's colours.
    void showResult();
    // Puts back the view as it was before the test (the snapshot), or draws it again from its
    // marks when there is no snapshot.
    void restoreView();
    // The live line from the counters and the seconds so far.
    void showLiveFigures();
    // The comparison step for what arrived, then the box is emptied for the next character.
    void acceptTyped(const QString &typed);
    // What the test that just ended teaches (the words typed in pieces, how each character and
    // word fared) goes into its record and the run; results holds the result of each position.
    void takeLessons(HistoryRecord &record, const QVector<quint8> &results);
    // A character the input method committed: compared while the test runs, else kept in the box.
    void tmpText_Committed(const QString &character);
    // Tells the hint of the current position in panel 1, once in a test.
    void tellPositionHint();

    AppContext &m_ctx;
    std::unique_ptr<TestRun> m_run;
    // The installed table's entries for the text of the last test, kept while the text stays.
    QObject *m_mainTextProc = nullptr;
    bool m_unloaded = false;
    // The hints of the text not yet told in this test, by position.
    QMap<int, QString> m_hintsLeft;
};

} // namespace orvane
