// The result dialog "统计信息": the size of the text, and the time, accuracy and speeds of the
// last test, as the test run gives them. Its exit button accepts it: the test window then puts
// its view back to the uncoloured state.
#pragma once

#include "context/appcontext.h"

#include <QDialog>

class QLabel;
class QPushButton;
namespace orvane {

class TestRun;

class DlgResult final : public QDialog {
    Q_OBJECT
public:
    DlgResult(AppContext &ctx, TestRun &run, QWidget *parent = nullptr);

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
    QPushButton *cmdPieces = nullptr;
    QPushButton *cmdOk = nullptr;

    void Form_Load();
    void cmdMorInfo_Click();
    void cmdPieces_Click();
    void cmdOk_Click();

private:
    AppContext &m_ctx;
    TestRun &m_run;
};

} // namespace orvane
