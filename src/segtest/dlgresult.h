// The result dialog "统计信息": the size of the text, and the time, accuracy and speeds of the
// last test. Closing it with its button puts the test view back to its uncoloured state.
#pragma once

#include "shell/appcontext.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTextEdit;

namespace orvane {

class DlgResult final : public QDialog {
    Q_OBJECT
public:
    // mainText is the test window's view, restored by cmdOk.
    DlgResult(AppContext &ctx, QTextEdit *mainText, QWidget *parent = nullptr);

    QLabel *lblTotal = nullptr;
    QLabel *lblHz = nullptr;
    QLabel *lblSym = nullptr;
    QLabel *lblAlpha = nullptr;
    QLabel *lblTime = nullptr;
    QLabel *lblRgtRate = nullptr;
    QLabel *lblRate = nullptr;
    QLabel *lblEffRate = nullptr;
    QLabel *LabelWating = nullptr;
    QPushButton *cmdMorInfo = nullptr;
    QPushButton *cmdOk = nullptr;

    void Form_Load();
    void cmdMorInfo_Click();
    void cmdOk_Click();

private:
    AppContext &m_ctx;
    QTextEdit *m_mainText;
};

} // namespace orvane
