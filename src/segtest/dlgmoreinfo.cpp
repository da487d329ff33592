#include "segtest/dlgmoreinfo.h"

#include "core/twips.h"
#include "segtest/dlgkeys.h"
#include "segtest/dlguserkeys.h"
#include "segtest/testrun.h"
#include "shell/pictures.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orvane {

namespace {

const char16_t *const kClassTabs[] = {u"单  字", u"二字词", u"三字词", u"四字词", u"多字词"};

QTableWidget *wordGrid(int index, QWidget *parent)
{
    auto *grid = new QTableWidget(0, 4, parent);
    grid->setObjectName(QStringLiteral("fgwords_%1").arg(index));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setAlternatingRowColors(true);
    grid->verticalHeader()->setVisible(false);
    grid->verticalHeader()->setDefaultSectionSize(26);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The three given widths, the short codes as wide as the standard codes, and the scroll bar.
    grid->setMinimumWidth(tw(1800) + tw(700) + tw(1000) * 2 + 24);
    QFont font = grid->font();
    font.setPointSize(11);
    grid->setFont(font);
    return grid;
}

QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

QPushButton *button(const QString &caption, const QString &name, const QString &toolTip, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setToolTip(toolTip);
    b->setMinimumSize(130, 34);
    b->setProperty("pictureButton", true); // drawn with the button picture of the window's style sheet
    return b;
}

} // namespace

DlgMoreInfo::DlgMoreInfo(AppContext &ctx, TestRun &run, QWidget *parent) : QDialog(parent), m_ctx(ctx), m_run(run)
{
    setObjectName(QStringLiteral("DlgMoreInfo"));
    setWindowTitle(QStringLiteral("详细信息"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // The pictures' style sheet before the widgets exist: set afterwards, it would style every
    // widget of the dialog a second time (a quarter of the dialog's first showing).
    applyWindowPictures(this, ctx.folder);

    // The text: one grid per length class under the tab strip.
    auto *textFrame = new QGroupBox(QStringLiteral("文本详细统计信息"), this);
    tspWords = new QTabBar(textFrame);
    tspWords->setObjectName(QStringLiteral("tspWords"));
    tspWords->setExpanding(false);
    gridStack = new QStackedWidget(textFrame);
    // One style sheet for the five grids: a sheet of each grid's own costs its parsing and
    // its style for every grid, a third of the dialog's first showing.
    gridStack->setStyleSheet(QStringLiteral(
        "QTableWidget { background: #fffdf6; alternate-background-color: #eef3fb; gridline-color: #b8c4d8;"
        " border: 1px solid #8a9bb8; selection-background-color: #3a6ab0; }"
        " QHeaderView::section { background: #dfe7f3; color: #1a2a4a; border: 1px solid #b8c4d8; padding: 3px; }"));
    for (int i = 0; i < 5; ++i) {
        tspWords->addTab(QString::fromUtf16(kClassTabs[i]));
        fgwords[i] = wordGrid(i, gridStack);
        gridStack->addWidget(fgwords[i]);
    }
    cmdKeys = button(QStringLiteral("全文键数(&K)…"), QStringLiteral("cmdKeys"),
        QStringLiteral("统计输入全部文本的键数"), textFrame);
    auto *textLayout = new QVBoxLayout(textFrame);
    textLayout->setContentsMargins(12, 12, 12, 12);
    textLayout->setSpacing(0);
    textLayout->addWidget(tspWords);
    textLayout->addWidget(gridStack, 1);
    textLayout->addSpacing(10);
    auto *keysRow = new QHBoxLayout;
    keysRow->addStretch(1);
    keysRow->addWidget(cmdKeys);
    textLayout->addLayout(keysRow);

    // The user's typing.
    auto *userFrame = new QGroupBox(QStringLiteral("用户详细技术信息"), this);
    auto *figures = new QGridLayout;
    figures->setHorizontalSpacing(12);
    figures->setVerticalSpacing(8);
    const auto addRow = [&](const QString &caption, QLabel *value) {
        const int row = figures->rowCount();
        auto *label = new QLabel(caption, userFrame);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        figures->addWidget(label, row, 0);
        value->setText(QStringLiteral("0"));
        value->setMinimumWidth(90);
        figures->addWidget(value, row, 1);
    };
    lblTotalWord = statsFigureLabel(QStringLiteral("lblTotalWord"), userFrame);
    addRow(QStringLiteral("总字数"), lblTotalWord);
    for (int i = 0; i < 5; ++i) {
        lblWordLen[i] = statsFigureLabel(QStringLiteral("lblWordLen_%1").arg(i), userFrame);
        addRow(QString::fromUtf16(kClassTabs[i]), lblWordLen[i]);
    }
    lblUserKeys = statsFigureLabel(QStringLiteral("lblUserKeys"), userFrame);
    addRow(QStringLiteral("击键次数"), lblUserKeys);
    lblAvrKeys = statsFigureLabel(QStringLiteral("lblAvrKeys"), userFrame);
    addRow(QStringLiteral("平均键数"), lblAvrKeys);
    cmdUserKeys = button(QStringLiteral("用户输入(&U)…"), QStringLiteral("cmdUserKeys"),
        QStringLiteral("统计用户输入的文本的键数"), userFrame);
    auto *userLayout = new QVBoxLayout(userFrame);
    userLayout->setContentsMargins(14, 16, 14, 12);
    userLayout->addLayout(figures);
    userLayout->addStretch(1);
    userLayout->addSpacing(10);
    userLayout->addWidget(cmdUserKeys, 0, Qt::AlignHCenter);

    cmdOk = button(QStringLiteral("退    出(&X)"), QStringLiteral("cmdOk"), QString(), this);
    cmdOk->setDefault(true);

    auto *frames = new QHBoxLayout;
    frames->setSpacing(16);
    frames->addWidget(textFrame, 1);
    frames->addWidget(userFrame);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOk);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(18, 16, 18, 14);
    outer->setSpacing(12);
    outer->addLayout(frames, 1);
    outer->addLayout(buttons);
    resize(tw(1800) + tw(700) + tw(1000) * 2 + 330, 500);

    connect(tspWords, &QTabBar::tabBarClicked, this, &DlgMoreInfo::tspWords_Click);
    connect(tspWords, &QTabBar::currentChanged, this, &DlgMoreInfo::tspWords_Click);
    connect(cmdKeys, &QPushButton::clicked, this, &DlgMoreInfo::cmdKeys_Click);
    connect(cmdUserKeys, &QPushButton::clicked, this, &DlgMoreInfo::cmdUserKeys_Click);
    connect(cmdOk, &QPushButton::clicked, this, &DlgMoreInfo::cmdOk_Click);
    Form_Load();
}

void DlgMoreInfo::Form_Load()
{
    centerOnScreen(this);
    const WordTable &words = m_run.wordTable();
    for (int k = 1; k <= 5; ++k) {
        QTableWidget *grid = fgwords[k - 1];
        const QVector<StatEntry> &entries = words[k];
        grid->clearContents();
        grid->setRowCount(int(entries.size()));
        grid->setHorizontalHeaderLabels(
            {QStringLiteral("文   字"), QStringLiteral("次 数"), QStringLiteral("标准码"), QStringLiteral("简 码")});
        grid->setColumnWidth(0, tw(1800));
        grid->setColumnWidth(1, tw(700));
        grid->setColumnWidth(2, tw(1000));
        for (int j = 0; j < entries.size(); ++j) {
            const StatEntry &e = entries[j];
            if (e.count == 0)
                continue;
            grid->setItem(j, 0, cell(e.text, Qt::AlignLeft));
            grid->setItem(j, 1, cell(QString::number(e.count), Qt::AlignRight));
            grid->setItem(j, 2, cell(e.standardCode, Qt::AlignCenter));
            grid->setItem(j, 3, cell(e.shortCode, Qt::AlignCenter));
        }
    }
    tspWords->setCurrentIndex(0);
    tspWords_Click(0);

    const TypingDetails &details = m_run.typingDetails();
    lblTotalWord->setText(QString::number(details.typed));
    if (details.typed == 0)
        return;
    for (int j = 0; j < 5; ++j)
        lblWordLen[j]->setText(QString::number(details.wordCounts[j + 1]));
    lblUserKeys->setText(QString::number(details.keystrokes));
    lblAvrKeys->setText(details.averageText);
}

void DlgMoreInfo::tspWords_Click(int index)
{
    if (index >= 0 && index < int(fgwords.size()))
        gridStack->setCurrentWidget(fgwords[index]);
}

void DlgMoreInfo::cmdKeys_Click()
{
    DlgKeys dlg(m_ctx, m_run, this);
    dlg.exec();
}

void DlgMoreInfo::cmdUserKeys_Click()
{
    DlgUserKeys dlg(m_ctx, m_run, this);
    dlg.exec();
}

void DlgMoreInfo::cmdOk_Click()
{
    accept();
}

void showMoreInfo(AppContext &ctx, TestRun &run, QWidget *parent, const std::function<void(bool)> &waiting)
{
    const bool building = !run.hasDetails();
    if (building && waiting)
        waiting(true);
    run.charTable();
    run.wordTable();
    DlgMoreInfo details(ctx, run, parent);
    details.exec();
    if (building && waiting)
        waiting(false);
}

} // namespace orvane
