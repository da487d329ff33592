// The result dialog "统计信息": the size of the text, and the time, accuracy and speeds of the
// last test, as the test run gives them; below them the typing figures (击键, 码长 and their
// ideals, 打词率, 退格, 回改, 键准). "复制成绩" puts all of them on one line into the clipboard.
// Its exit button accepts it: the test window then puts its view back to the uncoloured state.
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
    QLabel *lblKeysPerSecond = nullptr;
    QLabel *lblCodeLength = nullptr;
    QLabel *lblIdealCodeLength = nullptr;
    QLabel *lblTextIdealCodeLength = nullptr;
    QLabel *lblWordShare = nullptr;
    QLabel *lblIdealWordShare = nullptr;
    QLabel *lblWordShareRatio = nullptr;
    QLabel *lblBackspaces = nullptr;
    QLabel *lblRetyped = nullptr;
    QLabel *lblKeyAccuracy = nullptr;
    QLabel *LabelWating = nullptr;
    QPushButton *cmdCopy = nullptr;
    QPushButton *cmdMorInfo = nullptr;
    QPushButton *cmdSplitView = nullptr; // "分词对照": where the keys went
    QPushButton *cmdPieces = nullptr;
    QPushButton *cmdOk = nullptr;

    void Form_Load();
    void cmdMorInfo_Click();
    // The line of every figure with the text's name, into the clipboard.
    void cmdCopy_Click();
    void cmdSplitView_Click();
    void cmdPieces_Click();
    void cmdOk_Click();

private:
    AppContext &m_ctx;
    TestRun &m_run;
};

} // namespace orvane
