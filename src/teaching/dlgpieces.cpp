#include "teaching/dlgpieces.h"

#include "teaching/testlessons.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orvane {

namespace {

QTableWidgetItem *cell(const QVariant &value)
{
    auto *item = new QTableWidgetItem;
    item->setData(Qt::DisplayRole, value); // numbers sort as numbers
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

DlgPieces::DlgPieces(const QVector<HistoryPiece> &given, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("分段输入的词"));
    setObjectName(QStringLiteral("DlgPieces"));
    QVector<HistoryPiece> pieces = given;
    sortPiecesByKeysLost(pieces);

    int lost = 0;
    for (const HistoryPiece &p : pieces)
        lost += std::max(0, p.keysLost());
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);
    lblSummary->setText(pieces.isEmpty()
            ? QStringLiteral("本次测试中，码表里有词码的词都是整词输入的。")
            : QStringLiteral(
                "本次测试中有 %1 个词分几次输入，而码表里有它们的整词编码%2。整词输入这些词可以省键、提速。")
                  .arg(pieces.size())
                  .arg(lost > 0 ? QStringLiteral("，共多用 %1 键").arg(lost) : QString()));

    tblPieces = new QTableWidget(int(pieces.size()), 7, this);
    tblPieces->setObjectName(QStringLiteral("tblPieces"));
    tblPieces->setHorizontalHeaderLabels(
        {QStringLiteral("词"), QStringLiteral("全码"), QStringLiteral("简码"), QStringLiteral("你的分法"),
            QStringLiteral("你的键数"), QStringLiteral("整词键数"), QStringLiteral("多用键数")});
    tblPieces->verticalHeader()->hide();
    tblPieces->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblPieces->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int row = 0; row < pieces.size(); ++row) {
        const HistoryPiece &p = pieces[row];
        const QVariantList values = {p.word, p.standardCode, p.shortCode.isEmpty() ? QStringLiteral("—") : p.shortCode,
            p.split, p.keys, p.idealKeys, p.keysLost()};
        for (int column = 0; column < values.size(); ++column)
            tblPieces->setItem(row, column, cell(values[column]));
    }
    tblPieces->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tblPieces->horizontalHeader()->setStretchLastSection(true);
    tblPieces->setSortingEnabled(true);
    tblPieces->sortItems(6, Qt::DescendingOrder);
    tblPieces->setVisible(!pieces.isEmpty());

    cmdClose = new QPushButton(QStringLiteral("关闭"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblSummary);
    layout->addWidget(tblPieces, 1);
    layout->addLayout(buttons);
    resize(620, pieces.isEmpty() ? 140 : 360);
}

} // namespace orvane
