// The dialog "添加自定义词": type a word or pick it from a segmentation result, take the proposed
// code or change it, and add the word to the custom dictionary.
//
// The result file is shown in txtResult (it takes the place of the introduction lblTips once a
// file is loaded); every mouse selection there is appended, blanks removed, to txtWord. Each
// change of txtWord asks libtalvex's Convert for a code; cmdAddWord hands code and word to
// AddWord and reports its answer.
#pragma once

#include "context/appcontext.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace orvane {

class DlgAddWord final : public QDialog {
    Q_OBJECT
public:
    explicit DlgAddWord(AppContext &ctx, QWidget *parent = nullptr);

    QPlainTextEdit *txtResult;
    QLabel *lblTips;
    QLabel *lblword;
    QLineEdit *txtWord;
    QLabel *lblcode;
    QLineEdit *txtCode;
    QPushButton *cmdModiRes;
    QPushButton *cmdAddWord;
    QPushButton *cmdExit;

    // The key filter of the code box: keyCode when its character (letter case ignored) is among
    // allowed, or it is Backspace (8) and editable is set; otherwise a beep and 0.
    static int ValiText(int keyCode, const QString &allowed, bool editable);

    // Loads a result file into txtResult; false (and the dialog as it was) when it cannot be read.
    bool loadResultFile(const QString &path);

    void cmdModiRes_Click();
    void cmdAddWord_Click();
    void cmdExit_Click();
    void txtResult_Click();

    // The introduction shown until a result file is loaded.
    static QString tipsText();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void txtWord_Change();
    void txtCode_Change();
    void updateAddEnabled();

    AppContext &m_ctx;
};

} // namespace orvane
