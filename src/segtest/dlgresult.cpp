#include "segtest/dlgresult.h"

#include "segtest/dlgkeys.h"
#include "segtest/dlgmoreinfo.h"
#include "segtest/dlgsplitview.h"
#include "segtest/testrun.h"
#include "shell/pictures.h"
#include "teaching/dlgpieces.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvane {

namespace {

// The figure labels of the statistics dialogs, a little larger: this dialog shows only eight.
QLabel *valueLabel(const char *name, QWidget *parent)
{
    QLabel *label = statsFigureLabel(QString::fromLatin1(name), parent);
    label->setText(QStringLiteral("0"));
    label->setMinimumWidth(110);
    QFont f = label->font();
    f.setPointSizeF(f.pointSizeF() * 1.25);
    label->setFont(f);
    return label;
}

// A group of captions and figures, in columns of pairs (caption, figure) filled top to bottom.
QGroupBox *group(
    const QString &title, const QList<QPair<QString, QLabel *>> &rows, QWidget *parent, int rowsPerColumn = 0)
{
    auto *box = new QGroupBox(title, parent);
    auto *grid = new QGridLayout(box);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(10);
    const int perColumn = rowsPerColumn > 0 ? rowsPerColumn : int(rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        auto *caption = new QLabel(rows[i].first, box);
        const int column = 2 * (i / perColumn);
        grid->addWidget(caption, i % perColumn, column);
        grid->addWidget(rows[i].second, i % perColumn, column + 1);
    }
    return box;
}

} // namespace

DlgResult::DlgResult(AppContext &ctx, TestRun &run, QWidget *parent) : QDialog(parent), m_ctx(ctx), m_run(run)
{
    setObjectName(QStringLiteral("DlgResult"));
    setWindowTitle(QStringLiteral("统计信息"));
    lblTotal = valueLabel("lblTotal", this);
    lblHz = valueLabel("lblHz", this);
    lblSym = valueLabel("lblSym", this);
    lblAlpha = valueLabel("lblAlpha", this);
    lblTime = valueLabel("lblTime", this);
    lblRgtRate = valueLabel("lblRgtRate", this);
    lblRate = valueLabel("lblRate", this);
    lblEffRate = valueLabel("lblEffRate", this);
    lblKeysPerSecond = valueLabel("lblKeysPerSecond", this);
    lblCodeLength = valueLabel("lblCodeLength", this);
    lblIdealCodeLength = valueLabel("lblIdealCodeLength", this);
    lblTextIdealCodeLength = valueLabel("lblTextIdealCodeLength", this);
    lblWordShare = valueLabel("lblWordShare", this);
    lblIdealWordShare = valueLabel("lblIdealWordShare", this);
    lblWordShareRatio = valueLabel("lblWordShareRatio", this);
    lblBackspaces = valueLabel("lblBackspaces", this);
    lblRetyped = valueLabel("lblRetyped", this);
    lblKeyAccuracy = valueLabel("lblKeyAccuracy", this);
    LabelWating = new QLabel(QStringLiteral("正在处理中，请稍候……"), this);
    LabelWating->setObjectName(QStringLiteral("LabelWating"));
    LabelWating->setStyleSheet(QStringLiteral("QLabel { color: #b00000; font-weight: bold; }"));
    LabelWating->setVisible(false);
    cmdMorInfo = new QPushButton(QStringLiteral("更多信息(&M)"), this);
    cmdMorInfo->setObjectName(QStringLiteral("cmdMorInfo"));
    cmdSplitView = new QPushButton(QStringLiteral("分词对照(&F)"), this);
    cmdSplitView->setObjectName(QStringLiteral("cmdSplitView"));
    cmdPieces = new QPushButton(QStringLiteral("分段输入的词(&P)"), this);
    cmdPieces->setObjectName(QStringLiteral("cmdPieces"));
    cmdPieces->setEnabled(run.pieces.has_value());
    cmdOk = new QPushButton(QStringLiteral("退   出(&X)"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdCopy = new QPushButton(QStringLiteral("复制成绩(&C)"), this);
    cmdCopy->setObjectName(QStringLiteral("cmdCopy"));
    cmdCopy->setToolTip(QStringLiteral("把文章名和全部成绩复制成一行，可以贴到聊天窗口"));
    for (QPushButton *b : {cmdCopy, cmdMorInfo, cmdSplitView, cmdPieces, cmdOk})
        b->setMinimumSize(120, 34);

    auto *frames = new QHBoxLayout;
    frames->setSpacing(18);
    frames->addWidget(group(QStringLiteral("文本统计信息"),
        {{QStringLiteral("总字数"), lblTotal}, {QStringLiteral("汉字数"), lblHz}, {QStringLiteral("标点数"), lblSym},
            {QStringLiteral("字母数字数"), lblAlpha}},
        this));
    frames->addWidget(group(QStringLiteral("用户技术信息"),
        {{QStringLiteral("用    时"), lblTime}, {QStringLiteral("正 确 率"), lblRgtRate},
            {QStringLiteral("输入速度"), lblRate}, {QStringLiteral("有效速度"), lblEffRate}},
        this));
    QGroupBox *typing = group(QStringLiteral("击键与码长"),
        {{QStringLiteral("击    键"), lblKeysPerSecond}, {QStringLiteral("码    长"), lblCodeLength},
            {QStringLiteral("理论码长"), lblIdealCodeLength}, {QStringLiteral("全文理论码长"), lblTextIdealCodeLength},
            {QStringLiteral("键    准"), lblKeyAccuracy}, {QStringLiteral("打 词 率"), lblWordShare},
            {QStringLiteral("理论打词率"), lblIdealWordShare}, {QStringLiteral("打词达成率"), lblWordShareRatio},
            {QStringLiteral("退    格"), lblBackspaces}, {QStringLiteral("回    改"), lblRetyped}},
        this, 5);
    typing->setObjectName(QStringLiteral("fraTyping"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(LabelWating);
    buttons->addStretch(1);
    buttons->addWidget(cmdCopy);
    buttons->addSpacing(12);
    buttons->addWidget(cmdMorInfo);
    buttons->addSpacing(12);
    buttons->addWidget(cmdSplitView);
    buttons->addSpacing(12);
    buttons->addWidget(cmdPieces);
    buttons->addSpacing(12);
    buttons->addWidget(cmdOk);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(20, 18, 20, 16);
    outer->setSpacing(16);
    outer->addLayout(frames);
    outer->addWidget(typing);
    outer->addLayout(buttons);

    applyWindowPictures(this, ctx.folder);
    connect(cmdMorInfo, &QPushButton::clicked, this, &DlgResult::cmdMorInfo_Click);
    connect(cmdSplitView, &QPushButton::clicked, this, &DlgResult::cmdSplitView_Click);
    connect(cmdPieces, &QPushButton::clicked, this, &DlgResult::cmdPieces_Click);
    connect(cmdOk, &QPushButton::clicked, this, &DlgResult::cmdOk_Click);
    connect(cmdCopy, &QPushButton::clicked, this, &DlgResult::cmdCopy_Click);
    Form_Load();
}

void DlgResult::Form_Load()
{
    adjustSize();
    centerOnScreen(this);
    const ResultSummary &r = m_run.result();
    lblTotal->setText(r.total);
    lblHz->setText(r.hanzi);
    lblSym->setText(r.symbols);
    lblAlpha->setText(r.alpha);
    lblTime->setText(r.time);
    lblRgtRate->setText(r.accuracy);
    lblRate->setText(r.speed);
    lblEffRate->setText(r.effectiveSpeed);

    const TypingFigures &f = m_run.figures();
    lblKeysPerSecond->setText(keysPerSecondText(f.keysPerSecond));
    lblCodeLength->setText(codeLengthText(f.codeLength));
    lblIdealCodeLength->setText(codeLengthText(f.idealCodeLength));
    lblTextIdealCodeLength->setText(codeLengthText(f.textIdealCodeLength));
    lblWordShare->setText(shareText(f.wordShare));
    lblIdealWordShare->setText(shareText(f.idealWordShare));
    lblWordShareRatio->setText(shareText(f.wordShareRatio));
    lblBackspaces->setText(QString::number(f.backspaces));
    lblRetyped->setText(QString::number(f.retyped));
    lblKeyAccuracy->setText(shareText(f.keyAccuracy));
    // Without the key path the ideal figures stay "—"; their tips say why.
    QString pathError;
    if (!m_run.textPath(&pathError) && !pathError.isEmpty()) {
        const QString why = QStringLiteral("无法计算理论码长：") + pathError;
        for (QLabel *l : {lblIdealCodeLength, lblTextIdealCodeLength, lblIdealWordShare, lblWordShareRatio})
            l->setToolTip(why);
    }
}

void DlgResult::cmdCopy_Click()
{
    QGuiApplication::clipboard()->setText(resultShareLine(m_run.doc.TextName, m_run.result(), m_run.figures()));
}

void DlgResult::cmdMorInfo_Click()
{
    showMoreInfo(m_ctx, m_run, this, [this](bool on) {
        LabelWating->setVisible(on);
        if (on) {
            LabelWating->repaint();
            repaint();
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
    });
}

void DlgResult::cmdSplitView_Click()
{
    showSplitView(m_ctx, m_run, this);
}

void DlgResult::cmdPieces_Click()
{
    if (!m_run.pieces)
        return;
    DlgPieces dialog(*m_run.pieces, this);
    dialog.exec();
}

void DlgResult::cmdOk_Click()
{
    accept();
}

} // namespace orvane
