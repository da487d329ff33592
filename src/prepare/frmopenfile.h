// The open-text dialog "打开测试文件": pick a plain text file, see its cleaned text, choose the
// filters, and open it into the window that showed the dialog.
#pragma once

#include "context/appcontext.h"
#include "prepare/pipeline.h"
#include "prepare/testdocument.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTextEdit;

namespace orvane {

// The window the dialog serves: the test window or the editor.
class OpenTextTarget {
public:
    virtual ~OpenTextTarget() = default;
    // mainText of the test window or txtMain of the editor.
    virtual QTextEdit *textView() = 0;
    // The marks and counts of the window's text.
    virtual TestDocument &document() = 0;
    // Test window: a new text; enable the menu items that need a text (mnuSaveResult only with
    // segmentation).
    virtual void textOpenedForTest(bool needSegmentation) { (void)needSegmentation; }
    // Editor: enable its buttons and lock the view before the spaced text goes in.
    virtual void textOpeningForEditor() {}
};

// Puts text into a view so that each character, line breaks included, is one position.
void setViewText(QTextEdit *view, const QString &text);

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

    bool fileChosen() const { return m_fileChosen; }

    void cmdSelectFile_Click();
    // Stage 1 on a file already chosen (the file dialog's part is cmdSelectFile_Click).
    void loadFile(const QString &path);
    void cmdOpenFile_Click();
    void cmdExit_Click();

private:
    void Form_Load();
    void openForTest(const PreparedText &prepared);
    void openForEditor(const PreparedText &prepared);
    std::function<void(int, int)> progressSink();

    AppContext &m_ctx;
    OpenTextTarget &m_target;
    bool m_fileChosen = false;
};

} // namespace orvane
