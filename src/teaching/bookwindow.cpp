#include "teaching/bookwindow.h"

#include "context/appcontext.h"
#include "core/prompts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orvane {

namespace {

enum Column {
    ColText,
    ColKind,
    ColStandard,
    ColShort,
    ColMisses,
    ColWrong,
    ColSlow,
    ColPieces,
    ColLastMiss,
    ColClean,
    ColCount
};

// The index of the item in the book, kept on the first cell of its row.
constexpr int kIndexRole = Qt::UserRole + 1;

// The value a cell sorts by: numbers as numbers, dates by time, a dash before any number.
constexpr int kSortRole = Qt::UserRole + 2;

class Cell final : public QTableWidgetItem {
public:
    Cell(const QString &text, const QVariant &sortKey)
    {
        setText(text);
        setData(kSortRole, sortKey);
        setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    bool operator<(const QTableWidgetItem &other) const override
    {
        const QVariant a = data(kSortRole);
        const QVariant b = other.data(kSortRole);
        if (a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString)
            return a.toString() < b.toString();
        return a.toDouble() < b.toDouble();
    }
};

QString orDash(const QString &s)
{
    return s.isEmpty() ? QStringLiteral("—") : s;
}

} // namespace

BookWindow::BookWindow(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx)
{
    setWindowTitle(QStringLiteral("错题本"));
    setObjectName(QStringLiteral("BookWindow"));

    lblCounts = new QLabel(this);
    lblCounts->setObjectName(QStringLiteral("lblCounts"));
    lblCounts->setWordWrap(true);

    tblBook = new QTableWidget(0, ColCount, this);
    tblBook->setObjectName(QStringLiteral("tblBook"));
    tblBook->setHorizontalHeaderLabels({QStringLiteral("字词"), QStringLiteral("类别"), QStringLiteral("全码"),
        QStringLiteral("简码"), QStringLiteral("出错"), QStringLiteral("打错"), QStringLiteral("太慢"),
        QStringLiteral("分段"), QStringLiteral("最近出错"), QStringLiteral("此后打对")});
    tblBook->verticalHeader()->hide();
    tblBook->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblBook->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblBook->setSelectionMode(QAbstractItemView::SingleSelection);
    tblBook->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tblBook->horizontalHeader()->setStretchLastSection(true);
    // First shown as the book orders it: the most misses first (the sort keeps the book's order,
    // the most recently missed first, among equal counts).
    tblBook->horizontalHeader()->setSortIndicator(ColMisses, Qt::DescendingOrder);

    auto *hint =
        new QLabel(QStringLiteral("打错、太慢（超过本次测试每字中位用时的两倍）或把有词码的词分段输入，都记入错题本。"
                                  "在正文测试中（练习不算）连续正确、不慢、整词打出 %1 次后自动移出。")
                       .arg(kCleanTypingsToLeave),
            this);
    hint->setWordWrap(true);

    cmdRemove = new QPushButton(QStringLiteral("移出错题本…"), this);
    cmdRemove->setObjectName(QStringLiteral("cmdRemove"));
    cmdClose = new QPushButton(QStringLiteral("关闭"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    connect(cmdRemove, &QPushButton::clicked, this, &BookWindow::removeSelected);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdRemove);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblCounts);
    layout->addWidget(tblBook, 1);
    layout->addWidget(hint);
    layout->addLayout(buttons);
    resize(760, 480);

    reload();
}

void BookWindow::reload()
{
    m_book = {};
    if (HistoryDb *db = m_ctx.history()) {
        QString error;
        m_book = loadMistakeBook(*db, &error);
        if (!error.isEmpty())
            m_ctx.prompts->message(error, promptTitle(), MessageIcon::Exclamation);
    }

    int characters = 0, words = 0, wrong = 0, slow = 0, pieces = 0;
    tblBook->setSortingEnabled(false);
    tblBook->setRowCount(0);
    tblBook->setRowCount(int(m_book.items.size()));
    for (int row = 0; row < m_book.items.size(); ++row) {
        const BookItem &b = m_book.items[row];
        (b.word ? words : characters) += 1;
        wrong += b.wrong;
        slow += b.slow;
        pieces += b.pieces;
        const auto number = [](int n) { return new Cell(QString::number(n), double(n)); };
        const auto text = [](const QString &t) { return new Cell(t, t); };
        const QList<QTableWidgetItem *> cells = {text(b.text),
            text(b.word ? QStringLiteral("词") : QStringLiteral("字")), text(orDash(b.standardCode)),
            text(orDash(b.shortCodes)), number(b.misses), number(b.wrong), number(b.slow),
            b.word ? number(b.pieces) : new Cell(QStringLiteral("—"), -1.0),
            new Cell(b.lastMiss.toString(QStringLiteral("yyyy-MM-dd HH:mm")), double(b.lastMiss.toSecsSinceEpoch())),
            number(b.cleanSince)};
        cells[ColText]->setData(kIndexRole, row);
        for (int column = 0; column < cells.size(); ++column)
            tblBook->setItem(row, column, cells[column]);
    }
    tblBook->setSortingEnabled(true);
    lblCounts->setText(m_book.items.isEmpty()
            ? QStringLiteral("错题本是空的：还没有打错、太慢或分段输入的字词。")
            : QStringLiteral("错题本中有 %1 个字、%2 个词：打错 %3 次，太慢 %4 次，分段输入 %5 次。")
                  .arg(characters)
                  .arg(words)
                  .arg(wrong)
                  .arg(slow)
                  .arg(pieces));
    cmdRemove->setEnabled(!m_book.items.isEmpty());
}

QVector<BookItem> BookWindow::shownItems() const
{
    QVector<BookItem> out;
    for (int row = 0; row < tblBook->rowCount(); ++row)
        out.push_back(m_book.items[tblBook->item(row, ColText)->data(kIndexRole).toInt()]);
    return out;
}

void BookWindow::removeSelected()
{
    const QList<QTableWidgetItem *> selected = tblBook->selectedItems();
    if (selected.isEmpty()) {
        m_ctx.prompts->message(QStringLiteral("请先在表中选择要移出的字词。"), promptTitle(), MessageIcon::Information);
        return;
    }
    const BookItem item = m_book.items[tblBook->item(selected.front()->row(), ColText)->data(kIndexRole).toInt()];
    if (m_ctx.prompts->message(QStringLiteral("确实要把“%1”移出错题本吗？以后再打错时它会重新记入。").arg(item.text),
            promptTitle(), MessageIcon::Question, MessageButtons::YesNo)
        != MessageAnswer::Yes)
        return;
    HistoryDb *db = m_ctx.history();
    QString error;
    if (!db || !db->removeFromBook(item.text, item.word, &error)) {
        if (db)
            m_ctx.prompts->message(error, promptTitle(), MessageIcon::Exclamation);
        return;
    }
    reload();
}

} // namespace orvane
