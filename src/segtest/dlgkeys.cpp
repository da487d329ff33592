#include "segtest/dlgkeys.h"

#include "segtest/testrun.h"
#include "shell/pictures.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvane {

namespace {

struct SlotRow {
    int slot;
    const char16_t *caption;
};

struct ModeFrame {
    const char16_t *title;
    const char16_t *toolTip;
    std::initializer_list<SlotRow> rows;
};

QGroupBox *modeFrame(const ModeFrame &mode, std::array<QLabel *, 24> &labels, QWidget *parent)
{
    auto *box = new QGroupBox(QString::fromUtf16(mode.title), parent);
    box->setToolTip(QString::fromUtf16(mode.toolTip));
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(12, 10, 12, 10);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    int row = 0;
    for (const SlotRow &r : mode.rows) {
        auto *caption = new QLabel(QString::fromUtf16(r.caption), box);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        labels[r.slot] = statsFigureLabel(QStringLiteral("lblkeys_%1").arg(r.slot), box);
        if (row == 0) { // the total heads the frame
            QFont f = caption->font();
            f.setBold(true);
            caption->setFont(f);
        }
        grid->addWidget(caption, row, 0);
        grid->addWidget(labels[r.slot], row, 1);
        ++row;
    }
    grid->setRowStretch(row, 1);
    return box;
}

QGroupBox *inputFrame(
    const QString &title, const QString &toolTip, QGroupBox *standard, QGroupBox *shortCodes, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    box->setToolTip(toolTip);
    QFont f = box->font();
    f.setBold(true);
    box->setFont(f);
    for (QGroupBox *inner : {standard, shortCodes}) {
        QFont plain = inner->font();
        plain.setBold(false);
        inner->setFont(plain);
    }
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(12, 12, 12, 12);
    row->setSpacing(14);
    row->addWidget(standard);
    row->addWidget(shortCodes);
    return box;
}

} // namespace

KeyCountsDialog::KeyCountsDialog(AppContext &ctx, TestRun &run, const QString &objectName, const QString &title,
    const QString &exitCaption, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_run(run)
{
    setObjectName(objectName);
    setWindowTitle(title);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    using namespace KeySlot;
    const ModeFrame charStandard{u"使用标准码", u"单字标准码输入时的统计信息！",
        {{CharStdTotal, u"总键数："}, {CharStdCharKeys, u"字键数："}, {CharStdPunct, u"标点键数："},
            {CharStdFunction, u"功能键数："}, {CharStdAlpha, u"字母数字数："}}};
    const ModeFrame charShort{u"使用简码", u"单字简码输入时的统计信息！",
        {{CharShortTotal, u"总键数："}, {CharShortStdKeys, u"标准码键数："}, {CharShortShortKeys, u"简码键数："},
            {CharShortPunct, u"标点键数："}, {CharShortFunction, u"功能键数："}, {CharShortAlpha, u"字母数字数："}}};
    const ModeFrame wordStandard{u"使用标准码", u"词组标准码输入时的统计信息！",
        {{WordStdTotal, u"总键数："}, {WordStdCharKeys, u"字键数："}, {WordStdWordKeys, u"词键数："},
            {WordStdPunct, u"标点键数："}, {WordStdFunction, u"功能键数："}, {WordStdAlpha, u"字母数字数："}}};
    const ModeFrame wordShort{u"使用简码", u"词组简码输入时的统计信息！",
        {{WordShortTotal, u"总键数："}, {WordShortStdKeys, u"标准码键数："}, {WordShortCharShortKeys, u"字简码键数："},
            {WordShortWordShortKeys, u"词简码键数："}, {WordShortPunct, u"标点键数："},
            {WordShortFunction, u"功能键数："}, {WordShortAlpha, u"字母数字数："}}};

    auto *single = inputFrame(QStringLiteral("单字输入"), QStringLiteral("只使用单字输入时的键数统计信息！"),
        modeFrame(charStandard, lblkeys, this), modeFrame(charShort, lblkeys, this), this);
    auto *words = inputFrame(QStringLiteral("词组输入"), QStringLiteral("使用词组输入时的键数统计信息！"),
        modeFrame(wordStandard, lblkeys, this), modeFrame(wordShort, lblkeys, this), this);

    OKButton = new QPushButton(exitCaption, this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setMinimumSize(120, 34);
    OKButton->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(18, 16, 18, 14);
    outer->setSpacing(12);
    outer->addWidget(single);
    outer->addWidget(words);
    outer->addLayout(buttons);

    applyWindowPictures(this, ctx.folder);
    connect(OKButton, &QPushButton::clicked, this, &KeyCountsDialog::OKButton_Click);
}

void KeyCountsDialog::OKButton_Click()
{
    accept();
}

void KeyCountsDialog::clearFigures(const QString &text)
{
    for (QLabel *label : lblkeys)
        label->setText(text);
}

void KeyCountsDialog::showFigures(const KeyCountSlots &figures)
{
    for (int i = 0; i < int(lblkeys.size()); ++i)
        lblkeys[i]->setText(QString::number(figures[i]));
}

DlgKeys::DlgKeys(AppContext &ctx, TestRun &run, QWidget *parent)
    : KeyCountsDialog(
        ctx, run, QStringLiteral("DlgKeys"), QStringLiteral("全文键数统计"), QStringLiteral("退   出(&X)"), parent)
{
    Form_Load();
}

void DlgKeys::Form_Load()
{
    adjustSize();
    centerOnScreen(this);
    clearFigures(QString());
    showFigures(m_run.textKeyCounts());
}

QLabel *statsFigureLabel(const QString &objectName, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setMinimumWidth(76);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setStyleSheet(QStringLiteral("QLabel { background: #fffef8; color: #123a7a; font-weight: bold;"
                                        " padding: 1px 6px; }"));
    return label;
}

} // namespace orvane
