#include "editor/dlgcustomwords.h"

#include "shell/pictures.h"
#include "shell/windowhelpers.h"

#include "orvane/codes/customdict.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orvane {

namespace {

QString fromU16(const std::u16string &s)
{
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

} // namespace

dlgCustomWords::dlgCustomWords(AppContext &ctx, const QString &path, QWidget *parent)
    : QDialog(parent), m_ctx(ctx),
      m_path(path.isEmpty() ? QString::fromStdString(codes::CustomDictionary::defaultPath()) : path)
{
    setObjectName(QStringLiteral("dlgCustomWords"));
    setWindowTitle(QStringLiteral("自定义词管理"));

    lblCount = new QLabel(this);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    gridWords = new QTableWidget(0, 2, this);
    gridWords->setObjectName(QStringLiteral("gridWords"));
    gridWords->setHorizontalHeaderLabels({QStringLiteral("自定义词"), QStringLiteral("编码")});
    gridWords->setToolTip(QStringLiteral("选择要删除的自定义词（可按住Ctrl或Shift多选）"));
    gridWords->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridWords->setSelectionBehavior(QAbstractItemView::SelectRows);
    gridWords->setSelectionMode(QAbstractItemView::ExtendedSelection);
    gridWords->verticalHeader()->setVisible(false);
    gridWords->horizontalHeader()->setStretchLastSection(true);
    gridWords->setColumnWidth(0, 200);
    gridWords->setAlternatingRowColors(true);
    QFont gridFont = gridWords->font();
    gridFont.setPointSize(12);
    gridWords->setFont(gridFont);

    cmdRemove = new QPushButton(QStringLiteral("删除所选(&D)"), this);
    cmdRemove->setObjectName(QStringLiteral("cmdRemove"));
    cmdClose = new QPushButton(QStringLiteral("关闭(&C)"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdRemove->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdRemove);
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->addWidget(lblCount);
    layout->addWidget(gridWords, 1);
    layout->addLayout(buttons);
    resize(380, 420);

    connect(cmdRemove, &QPushButton::clicked, this, &dlgCustomWords::cmdRemove_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(gridWords, &QTableWidget::itemSelectionChanged, this,
        [this] { cmdRemove->setEnabled(!gridWords->selectionModel()->selectedRows().isEmpty()); });
    applyWindowPictures(this, m_ctx.folder);
    centerOnScreen(this);
    loadWords();
}

void dlgCustomWords::loadWords()
{
    codes::CustomDictionary dict(m_path.toStdString());
    dict.refresh();
    gridWords->setRowCount(0);
    for (const auto &[word, code] : dict.words()) {
        const int row = gridWords->rowCount();
        gridWords->insertRow(row);
        gridWords->setItem(row, 0, cell(fromU16(word)));
        gridWords->setItem(row, 1, cell(QString::fromStdString(code)));
    }
    lblCount->setText(dict.words().empty() ? QStringLiteral("还没有自定义词。")
                                           : QStringLiteral("共有 %1 条自定义词：").arg(dict.words().size()));
    cmdRemove->setEnabled(false);
}

void dlgCustomWords::cmdRemove_Click()
{
    QStringList words;
    std::vector<std::u16string> toRemove;
    for (const QModelIndex &index : gridWords->selectionModel()->selectedRows()) {
        const QString word = gridWords->item(index.row(), 0)->text();
        words << word;
        toRemove.emplace_back(reinterpret_cast<const char16_t *>(word.utf16()), std::size_t(word.size()));
    }
    if (words.isEmpty())
        return;
    const QString question = QStringLiteral("确定要删除自定义词“%1”吗？").arg(words.join(QStringLiteral("”、“")));
    if (m_ctx.prompts->message(question, promptTitle(), MessageIcon::Question, MessageButtons::YesNo)
        != MessageAnswer::Yes)
        return;
    codes::CustomDictionary dict(m_path.toStdString());
    std::string error;
    const int removed = dict.remove(toRemove, &error);
    loadWords();
    if (removed < 0) {
        m_ctx.prompts->message(QStringLiteral("删除自定义词失败：%1").arg(QString::fromStdString(error)), promptTitle(),
            MessageIcon::Critical);
        return;
    }
    if (removed > 0 && m_ctx.customWordsChanged)
        m_ctx.customWordsChanged();
}

} // namespace orvane
