#include "segtest/dlgsplitview.h"

#include "segtest/testrun.h"
#include "segtest/typingfigures.h"
#include "shell/pictures.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace orvane {

namespace {

// A line break shown as a sign, so that a span of one stays visible.
QString shown(QString text)
{
    return text.replace(u'\n', QStringLiteral("↵"));
}

QString shown(const QStringList &pieces)
{
    return shown(pieces.join(u'|'));
}

QTableWidgetItem *textItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

QTableWidgetItem *numberItem(int value, bool signedValue = false)
{
    auto *item = textItem(signedValue && value > 0 ? QStringLiteral("+%1").arg(value) : QString::number(value));
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

QString totalsText(const SplitComparison &c)
{
    QString line = QStringLiteral("共 %1 字，%2 段：您用了 %3 键，最短路径 %4 键，")
                       .arg(c.characters)
                       .arg(c.spans.size())
                       .arg(c.learnerKeys)
                       .arg(c.pathKeys);
    if (c.extraKeys() > 0)
        line += QStringLiteral("多用 %1 键（每字 %2 键），多用键的有 %3 段")
                    .arg(c.extraKeys())
                    .arg(c.characters > 0 ? double(c.extraKeys()) / c.characters : 0.0, 0, 'f', 2)
                    .arg(c.spansWithExtraKeys());
    else if (c.extraKeys() < 0)
        line += QStringLiteral("少用 %1 键").arg(-c.extraKeys());
    else
        line += QStringLiteral("与最短路径相同");
    line += QStringLiteral("。回改 %1 次，错字 %2 个。").arg(c.retypedCommits).arg(c.wrongCharacters);
    return line;
}

} // namespace

DlgSplitView::DlgSplitView(AppContext &ctx, SplitComparison comparison, QWidget *parent)
    : QDialog(parent), m_comparison(std::move(comparison))
{
    setObjectName(QStringLiteral("DlgSplitView"));
    setWindowTitle(QStringLiteral("分词对照"));

    auto *intro = new QLabel(QStringLiteral("您每次上屏的分词与理论最短击键路径的分词逐段对照：两边在同一处分开的地方"
                                            "为一段，多用键的段以红色标出。“[ ]”中的字未打，回改是退回后重打的上屏。"),
        this);
    intro->setWordWrap(true);
    lblTotals = new QLabel(totalsText(m_comparison), this);
    lblTotals->setObjectName(QStringLiteral("lblTotals"));
    lblTotals->setWordWrap(true);
    QFont bold = lblTotals->font();
    bold.setBold(true);
    lblTotals->setFont(bold);

    cboSort = new QComboBox(this);
    cboSort->setObjectName(QStringLiteral("cboSort"));
    cboSort->addItems({QStringLiteral("按文本顺序"), QStringLiteral("按多用键数")});
    chkOnlyExtra = new QCheckBox(QStringLiteral("只看多用键的段(&E)"), this);
    chkOnlyExtra->setObjectName(QStringLiteral("chkOnlyExtra"));

    tblSpans = new QTableWidget(0, ColumnCount, this);
    tblSpans->setObjectName(QStringLiteral("tblSpans"));
    tblSpans->setHorizontalHeaderLabels({QStringLiteral("序号"), QStringLiteral("文本"), QStringLiteral("您的分词"),
        QStringLiteral("您的键数"), QStringLiteral("最短路径分词"), QStringLiteral("编码与选择键"),
        QStringLiteral("路径键数"), QStringLiteral("多用键"), QStringLiteral("回改")});
    tblSpans->verticalHeader()->setVisible(false);
    tblSpans->setAlternatingRowColors(true);
    tblSpans->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblSpans->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The numbers as wide as they need, the texts share the rest.
    for (int c : {ColNumber, ColLearnerKeys, ColPathKeys, ColExtra})
        tblSpans->horizontalHeader()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    for (int c : {ColText, ColLearner, ColPath, ColCodes, ColRetyped})
        tblSpans->horizontalHeader()->setSectionResizeMode(c, QHeaderView::Stretch);
    QFont tableFont = tblSpans->font();
    tableFont.setPointSizeF(tableFont.pointSizeF() * 1.15);
    tblSpans->setFont(tableFont);

    cmdClose = new QPushButton(QStringLiteral("关   闭(&C)"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setMinimumSize(120, 34);

    auto *options = new QHBoxLayout;
    options->addWidget(new QLabel(QStringLiteral("排序："), this));
    options->addWidget(cboSort);
    options->addSpacing(16);
    options->addWidget(chkOnlyExtra);
    options->addStretch(1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(18, 16, 18, 14);
    outer->setSpacing(10);
    outer->addWidget(intro);
    outer->addWidget(lblTotals);
    outer->addLayout(options);
    outer->addWidget(tblSpans, 1);
    outer->addLayout(buttons);

    applyWindowPictures(this, ctx.folder);
    connect(cboSort, &QComboBox::currentIndexChanged, this, &DlgSplitView::fillTable);
    connect(chkOnlyExtra, &QCheckBox::toggled, this, &DlgSplitView::fillTable);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    fillTable();
    resize(980, 620);
    centerOnScreen(this);
}

void DlgSplitView::fillTable()
{
    std::vector<int> order;
    for (int i = 0; i < m_comparison.spans.size(); ++i)
        if (!chkOnlyExtra->isChecked() || m_comparison.spans[i].extraKeys() > 0)
            order.push_back(i);
    if (cboSort->currentIndex() == 1)
        std::stable_sort(order.begin(), order.end(),
            [this](int a, int b) { return m_comparison.spans[a].extraKeys() > m_comparison.spans[b].extraKeys(); });

    const QColor extraBackground(0xFF, 0xE4, 0xE1);
    const QColor extraText(0xB0, 0x00, 0x00);
    const QColor fewerText(0x00, 0x70, 0x20);
    tblSpans->setUpdatesEnabled(false);
    tblSpans->setRowCount(int(order.size()));
    for (int row = 0; row < int(order.size()); ++row) {
        const SplitSpan &s = m_comparison.spans[order[size_t(row)]];
        QTableWidgetItem *cells[ColumnCount] = {numberItem(order[size_t(row)] + 1), textItem(shown(s.text)),
            textItem(shown(s.learnerPieces)), numberItem(s.learnerKeys), textItem(shown(s.pathSplit())),
            textItem(s.pathCodes()), numberItem(s.pathKeys), numberItem(s.extraKeys(), true),
            textItem(shown(s.retyped))};
        if (s.wrongCharacters > 0) {
            cells[ColLearner]->setToolTip(QStringLiteral("错字 %1 个").arg(s.wrongCharacters));
            cells[ColLearner]->setForeground(extraText);
        }
        for (int c = 0; c < ColumnCount; ++c) {
            if (s.extraKeys() > 0)
                cells[c]->setBackground(extraBackground);
            tblSpans->setItem(row, c, cells[c]);
        }
        if (s.extraKeys() != 0) {
            QFont f = cells[ColExtra]->font();
            f.setBold(true);
            cells[ColExtra]->setFont(f);
            cells[ColExtra]->setForeground(s.extraKeys() > 0 ? extraText : fewerText);
        }
    }
    tblSpans->setUpdatesEnabled(true);
}

void showSplitView(AppContext &ctx, TestRun &run, QWidget *parent)
{
    const QVector<HistoryCommit> &commits = run.session().commits();
    const QString stretch = typedStretch(run.viewText(), commits);
    if (stretch.isEmpty()) {
        ctx.prompts->message(
            QStringLiteral("还没有打过字，没有可对照的分词。"), QStringLiteral("分词对照"), MessageIcon::Information);
        return;
    }
    // The test's own path of its stretch serves when both count the stretch alike, which they do
    // unless a commit ran past the furthest character compared.
    QString error;
    std::optional<KeyPath> path;
    if (stretch == run.viewText().left(run.counters.TypedStretch)) {
        if (const KeyPath *cached = run.stretchPath(&error))
            path = *cached;
    } else {
        if (const std::optional<KeyPathTable> table = loadInstalledKeyPathTable(ctx.folder, stretch, &error))
            path = table->shortestPath(stretch);
    }
    if (!path) {
        ctx.prompts->message(QStringLiteral("无法读取编码库，不能计算最短击键路径。"), QStringLiteral("分词对照"),
            MessageIcon::Exclamation);
        return;
    }
    DlgSplitView dialog(ctx, compareSplits(stretch, commits, *path), parent);
    dialog.exec();
}

} // namespace orvane
