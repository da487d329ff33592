#include "prepare/frmdeffilter.h"

#include "core/workfiles.h"
#include "prepare/symbolfilters.h"
#include "shell/pictures.h"

#include <QApplication>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace orvane {

namespace {

// The description of an entry: what follows the blanks after its symbol.
QString filterDescription(const QString &entry)
{
    const qsizetype blank = entry.indexOf(QLatin1Char(' '));
    return blank < 0 ? QString() : entry.mid(blank).trimmed();
}

// Draws each entry as two columns, the symbol and its description, so that the descriptions line
// up whatever the width of the symbols (full-width marks, ASCII signs, several characters). The
// item text stays the entry as the file holds it.
class FilterEntryDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString entry = opt.text;
        opt.text.clear();
        const QWidget *widget = opt.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

        const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
        const int column = symbolColumnWidth(index.model(), opt.fontMetrics);
        const QPalette::ColorRole role =
            (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text;
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(role));
        const QRect symbolRect(text.left(), text.top(), column, text.height());
        const QRect descriptionRect(text.left() + column, text.top(), qMax(0, text.width() - column), text.height());
        const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
        painter->drawText(symbolRect, flags, opt.fontMetrics.elidedText(filterSymbol(entry), Qt::ElideRight, column));
        painter->drawText(descriptionRect, flags,
            opt.fontMetrics.elidedText(filterDescription(entry), Qt::ElideRight, descriptionRect.width()));
        painter->restore();
    }

    // The widest symbol of the list and a gap of two full-width characters.
    static int symbolColumnWidth(const QAbstractItemModel *model, const QFontMetrics &metrics)
    {
        int widest = metrics.horizontalAdvance(QStringLiteral("，"));
        for (int row = 0; model && row < model->rowCount(); ++row) {
            const QString entry = model->index(row, 0).data().toString();
            widest = qMax(widest, metrics.horizontalAdvance(filterSymbol(entry)));
        }
        return widest + 2 * metrics.horizontalAdvance(QStringLiteral("　"));
    }
};

} // namespace

frmDefFilter::frmDefFilter(AppContext &ctx, QWidget *parent)
    : QDialog(parent), listofFilters(new QListWidget(this)), txtSymbol(new QLineEdit(this)),
      txtSymbolSpe(new QLineEdit(this)), cmdAddFilter(new QPushButton(QStringLiteral("增加(&A)"), this)),
      cmdDelFilter(new QPushButton(QStringLiteral("删除(&D)"), this)),
      cmdOK(new QPushButton(QStringLiteral("确定(&O)"), this)),
      cmdCancel(new QPushButton(QStringLiteral("取消(&C)"), this)), m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmDefFilter"));
    setWindowTitle(QStringLiteral("自定义过滤符号"));
    listofFilters->setObjectName(QStringLiteral("listofFilters"));
    txtSymbol->setObjectName(QStringLiteral("txtSymbol"));
    txtSymbolSpe->setObjectName(QStringLiteral("txtSymbolSpe"));
    cmdAddFilter->setObjectName(QStringLiteral("cmdAddFilter"));
    cmdDelFilter->setObjectName(QStringLiteral("cmdDelFilter"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    txtSymbol->setMaxLength(4);
    txtSymbol->setToolTip(QStringLiteral("最多4个字符"));
    txtSymbolSpe->setMaxLength(6);
    txtSymbolSpe->setToolTip(QStringLiteral("最多6个字符"));
    QFont listFont = listofFilters->font();
    listFont.setPointSizeF(listFont.pointSizeF() * 1.15);
    listofFilters->setFont(listFont);
    listofFilters->setItemDelegate(new FilterEntryDelegate(listofFilters));

    auto *left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("已定义的过滤符号："), this));
    left->addWidget(listofFilters, 1);
    auto *form = new QGridLayout;
    form->addWidget(new QLabel(QStringLiteral("输入符号："), this), 0, 0);
    form->addWidget(txtSymbol, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("输入符号的说明："), this), 1, 0);
    form->addWidget(txtSymbolSpe, 1, 1);
    auto *right = new QVBoxLayout;
    right->addLayout(form);
    right->addSpacing(8);
    right->addWidget(cmdAddFilter);
    right->addWidget(cmdDelFilter);
    right->addStretch();
    right->addWidget(cmdOK);
    right->addWidget(cmdCancel);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addLayout(left, 3);
    layout->addSpacing(12);
    layout->addLayout(right, 2);
    resize(520, 380);

    connect(txtSymbol, &QLineEdit::textChanged, this, &frmDefFilter::txtSymbol_Change);
    connect(txtSymbolSpe, &QLineEdit::textChanged, this, &frmDefFilter::txtSymbol_Change);
    connect(listofFilters, &QListWidget::itemSelectionChanged, this, &frmDefFilter::listofFilters_Click);
    connect(cmdAddFilter, &QPushButton::clicked, this, &frmDefFilter::cmdAddFilter_Click);
    connect(cmdDelFilter, &QPushButton::clicked, this, &frmDefFilter::cmdDelFilter_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmDefFilter::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmDefFilter::cmdCancel_Click);

    applyWindowPictures(this, m_ctx.folder);
    Form_Load();
}

frmDefFilter::~frmDefFilter()
{
    Form_Unload();
}

QString frmDefFilter::listPath() const
{
    return m_ctx.folder.file(workfiles::filterList());
}

QString frmDefFilter::backupPath() const
{
    return m_ctx.folder.file(workfiles::filterBackup());
}

void frmDefFilter::Form_Load()
{
    centerOnScreen(this);
    // A missing list starts as the shipped one, so that the dialog never shows an empty list
    // that the user did not empty.
    QStringList entries;
    QString error;
    if (!ensureFilterFile(m_ctx.folder, &error))
        m_ctx.prompts->message(error + u'。', promptTitle(), MessageIcon::Exclamation);
    else if (!readFilterList(listPath(), &entries, &error))
        m_ctx.prompts->message(error, promptTitle(), MessageIcon::Exclamation);
    listofFilters->addItems(entries);
    txtSymbol_Change();
    cmdDelFilter->setEnabled(!listofFilters->selectedItems().isEmpty());
    // Without a backup "取消(&C)" cannot undo anything; an older backup (left by a program that
    // was killed) must not be restored in its place.
    if (QFile::exists(listPath()) && !copyFileOver(listPath(), backupPath(), &error)) {
        QFile::remove(backupPath());
        m_ctx.prompts->message(error + QStringLiteral("。\r\n在此对话框中所做的修改将不能取消。"), promptTitle(),
            MessageIcon::Exclamation);
    }
}

void frmDefFilter::Form_Unload()
{
    QFile::remove(backupPath());
}

void frmDefFilter::txtSymbol_Change()
{
    cmdAddFilter->setEnabled(!txtSymbol->text().isEmpty() && !txtSymbolSpe->text().isEmpty());
}

void frmDefFilter::listofFilters_Click()
{
    if (!listofFilters->selectedItems().isEmpty())
        cmdDelFilter->setEnabled(true);
}

void frmDefFilter::cmdAddFilter_Click()
{
    QStringList entries;
    for (int i = 0; i < listofFilters->count(); ++i)
        entries << listofFilters->item(i)->text();
    if (isDuplicateSymbol(entries, txtSymbol->text())) {
        m_ctx.prompts->message(QStringLiteral("你所输入的符号已定义！"), promptTitle(), MessageIcon::Exclamation);
    } else {
        const QString entry = filterEntry(txtSymbol->text(), txtSymbolSpe->text());
        QString error;
        if (addFilterEntry(listPath(), entry, &error))
            listofFilters->addItem(entry);
        else
            m_ctx.prompts->message(error, promptTitle(), MessageIcon::Critical);
    }
    txtSymbol->setFocus();
    txtSymbol->clear();
    txtSymbolSpe->clear();
}

void frmDefFilter::cmdDelFilter_Click()
{
    QListWidgetItem *item = listofFilters->currentItem();
    if (!item || !item->isSelected())
        return;
    QString error;
    if (!removeFilterLines(listPath(), item->text(), &error)) {
        m_ctx.prompts->message(error, promptTitle(), MessageIcon::Critical);
        return;
    }
    delete listofFilters->takeItem(listofFilters->row(item));
    listofFilters->clearSelection();
    cmdDelFilter->setEnabled(false);
}

void frmDefFilter::cmdOK_Click()
{
    accept();
}

void frmDefFilter::cmdCancel_Click()
{
    QString error;
    if (QFile::exists(backupPath()) && !copyFileOver(backupPath(), listPath(), &error)) {
        // The dialog stays open: the user can free the disk and cancel again, or keep the
        // changes with "确定(&O)".
        m_ctx.prompts->message(
            QStringLiteral("未能恢复原来的过滤符号。\r\n") + error + u'。', promptTitle(), MessageIcon::Critical);
        return;
    }
    reject();
}

} // namespace orvane
