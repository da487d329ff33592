// The open-text dialog "打开测试文件": pick a plain text file, see its cleaned text, choose the
// filters, and open it into the window that showed the dialog.
#pragma once

#include "context/appcontext.h"
#include "prepare/opentext.h"
#include "prepare/render.h"
#include "prepare/testdocument.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTextEdit;

namespace orvane {

// The window the dialog serves: the test window or the editor. The dialog opens the text
// (opentext.h) and hands it over; the window fills its own view, marks and controls.
class OpenTextTarget {
public:
    virtual ~OpenTextTarget() = default;
    // Takes the opened text. progress reports the rendering on the dialog's bar.
    virtual void applyOpenedText(const OpenedText &opened, const RenderProgress &progress) = 0;
    // The marks and counts of the window's text; its OpenForEditor says whom the dialog serves.
    virtual TestDocument &document() = 0;
};

// Puts text into a view so that each character, line breaks included, is one position.
void setViewText(QTextEdit *view, const QString &text);

// Shows an opened text in a view: the text, then its colours from its marks (RenderTestView or
// RenderEditorView) with the short codes of the code database, whose absence is told.
void showOpenedText(AppContext &ctx, QTextEdit *view, const OpenedText &opened, const RenderProgress &progress = {});

class frmOpenFile final : public QDialog {
    Q_OBJECT
public:
    frmOpenFile(AppContext &ctx, OpenTextTarget &target, QWidget *parent = nullptr);

    QLabel *lblFileContent;
    QPlainTextEdit *txtFileContent;
    QPushButton *cmdSelectFile;
    QCheckBox *chkUseFilter;
    QCheckBox *chkAlpha;
    QCheckBox *chkUserDefMb;
    QProgressBar *prgBar;
    QPushButton *cmdOpenFile;
    QPushButton *cmdExit;

    bool fileChosen() const { return m_preview.status == PreviewStatus::Accepted; }

    void cmdSelectFile_Click();
    // Stage 1 on a file already chosen (the file dialog's part is cmdSelectFile_Click).
    void loadFile(const QString &path);
    void cmdOpenFile_Click();
    void cmdExit_Click();

private:
    void Form_Load();
    RenderProgress progressSink();
    void tell(const OpenError &error);

    AppContext &m_ctx;
    OpenTextTarget &m_target;
    Preview m_preview; // accepted: the text in the preview box
    QString m_path;    // the file last loaded into the preview
};

} // namespace orvane
