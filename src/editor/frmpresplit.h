// The segmentation editor "分词结果处理 ": the segmented text with a blank between neighbouring
// words in a large view, a column of six picture buttons and a status bar. The user opens a text,
// unlocks the view, moves the blanks, and saves the result as a segmented example (rich text and
// marks); words that the user formed and the code database lacks go to the custom-word list.
#pragma once

#include "context/appcontext.h"
#include "prepare/frmopenfile.h"
#include "prepare/testdocument.h"
#include "shell/formparts.h"

#include <memory>

class QLabel;
class QPushButton;
class QTextEdit;

namespace orvane {

class frmPreSplit final : public LargeForm, public OpenTextTarget {
    Q_OBJECT
public:
    explicit frmPreSplit(AppContext &ctx, QWidget *parent = nullptr);
    ~frmPreSplit() override;

    // Runs the loading steps; false when the program must end (pictures missing).
    bool Form_Load();

    QTextEdit *txtMain = nullptr;
    QPushButton *cmdFile = nullptr;
    QPushButton *cmdModify = nullptr;
    QPushButton *cmdUndo = nullptr;
    QPushButton *cmdReset = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdExit = nullptr;
    // Opens the custom-word window (AppContext::showCustomWords).
    QPushButton *cmdCustomWords = nullptr;
    QLabel *lblPreSplit = nullptr;

    // The custom-word candidates of the save under way, each followed by one blank.
    QString Tag;

    void cmdFile_Click();
    void cmdModify_Click();
    void cmdUndo_Click();
    void cmdReset_Click();
    void cmdSave_Click();
    void cmdExit_Click();
    void txtMain_KeyPress();

    // OpenTextTarget: shows the spaced text locked, with "修    改", reset and save enabled as
    // the start of an edit, and keeps it as the text the reset goes back to.
    void applyOpenedText(const OpenedText &opened, const RenderProgress &progress) override;
    TestDocument &document() override { return m_doc; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    // Colours the view from CharMarks; the colouring is no edit the user can undo.
    void drawView();
    // The save after the file name was chosen; false when it stopped before writing.
    void saveTo(const QString &path);

    AppContext &m_ctx;
    // The marks of the spaced text in the view, and the text as first shown.
    TestDocument m_doc;
};

} // namespace orvane
