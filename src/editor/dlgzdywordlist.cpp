#include "editor/dlgzdywordlist.h"

#include "core/twips.h"
#include "editor/customwords.h"
#include "editor/dlgzdycode.h"
#include "prepare/externallibs.h"
#include "shell/pictures.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orvane {

namespace {

const QString kCategory = QStringLiteral("其它");
const QString kSource = QStringLiteral("来自分词软件");

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

// Enter and Space on the grid act like a click on the current row.
class GridKeys final : public QObject {
public:
    GridKeys(QTableWidget *grid, std::function<void(int)> enter) : QObject(grid), m_enter(std::move(enter)) { }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            auto *grid = static_cast<QTableWidget *>(parent());
            if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) && grid->currentRow() >= 0) {
                m_enter(grid->currentRow());
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(int)> m_enter;
};

} // namespace

dlgZdyWordList::dlgZdyWordList(AppContext &ctx, const QString &candidates, QWidget *parent)
    : QDialog(parent), Tag(candidates), m_ctx(ctx)
{
    setObjectName(QStringLiteral("dlgZdyWordList"));
    setWindowTitle(QStringLiteral("自定义词列表"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    Label1 = new QLabel(QStringLiteral("自定义词列表："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont labelFont = Label1->font();
    labelFont.setPointSize(11);
    labelFont.setBold(true);
    Label1->setFont(labelFont);
    Label1->setStyleSheet(QStringLiteral("QLabel { color: #1c3f86; background: transparent; }"));

    gridWordList = new QTableWidget(0, 2, this);
    gridWordList->setObjectName(QStringLiteral("gridWordList"));
    gridWordList->setToolTip(QStringLiteral("单击修改自定义编码"));
    gridWordList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridWordList->setSelectionBehavior(QAbstractItemView::SelectRows);
    gridWordList->setSelectionMode(QAbstractItemView::SingleSelection);
    gridWordList->verticalHeader()->setVisible(false);
    gridWordList->verticalHeader()->setDefaultSectionSize(28);
    gridWordList->horizontalHeader()->setHighlightSections(false);
    gridWordList->setAlternatingRowColors(true);
    QFont gridFont = gridWordList->font();
    gridFont.setPointSize(12);
    gridWordList->setFont(gridFont);
    QFont headerFont = gridFont;
    headerFont.setPointSize(10);
    headerFont.setBold(true);
    gridWordList->horizontalHeader()->setFont(headerFont);
    gridWordList->setStyleSheet(QStringLiteral(
        "QTableWidget { background: #fffdf6; alternate-background-color: #eef3fb; gridline-color: #b8c4d8;"
        " border: 1px solid #8a9bb8; selection-background-color: #3a6ab0; }"
        " QHeaderView::section { background: #dfe7f3; color: #1a2a4a; border: 1px solid #b8c4d8; padding: 3px; }"));

    OKButton = new QPushButton(QStringLiteral("确    定"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setMinimumSize(110, 34);
    OKButton->setDefault(true);
    QFont buttonFont = OKButton->font();
    buttonFont.setPointSize(10);
    buttonFont.setBold(true);
    OKButton->setFont(buttonFont);
    OKButton->setProperty("pictureButton", true); // a picture button like the cmd buttons

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->setSpacing(10);
    layout->addWidget(Label1);
    layout->addWidget(gridWordList, 1);
    layout->addLayout(buttons);
    resize(tw(2500) + tw(1500) + 40, 360);

    connect(OKButton, &QPushButton::clicked, this, &dlgZdyWordList::OKButton_Click);
    connect(gridWordList, &QTableWidget::cellClicked, this, [this](int row, int) { gridWordList_EnterCell(row); });
    gridWordList->installEventFilter(new GridKeys(gridWordList, [this](int row) { gridWordList_EnterCell(row); }));
    applyWindowPictures(this, m_ctx.folder);
    Form_Load();
}

void dlgZdyWordList::Form_Load()
{
    centerOnScreen(this);
    CandidateWords = Tag.split(QLatin1Char(' '));

    gridWordList->setHorizontalHeaderLabels({QStringLiteral("文      字"), QStringLiteral("自定义编码")});
    gridWordList->setColumnWidth(0, tw(2500));
    gridWordList->setColumnWidth(1, tw(1500));
    gridWordList->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    gridWordList->horizontalHeader()->setStretchLastSection(true);

    for (const QString &word : distinctCandidates(Tag)) {
        const int row = gridWordList->rowCount();
        gridWordList->insertRow(row);
        gridWordList->setItem(row, 0, cell(word));
        gridWordList->setItem(row, 1, cell(m_ctx.libs ? m_ctx.libs->convertAdaptor(word, 0) : QString()));
    }
    gridWordList->setCurrentCell(-1, -1);
}

int dlgZdyWordList::rowCount() const
{
    return gridWordList->rowCount();
}

QString dlgZdyWordList::wordAt(int row) const
{
    const QTableWidgetItem *item = gridWordList->item(row, 0);
    return item ? item->text() : QString();
}

QString dlgZdyWordList::codeAt(int row) const
{
    const QTableWidgetItem *item = gridWordList->item(row, 1);
    return item ? item->text() : QString();
}

void dlgZdyWordList::gridWordList_EnterCell(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    gridWordList->selectRow(row);
    Tag = wordAt(row);
    {
        dlgZdyCode dialog(m_ctx, Tag, codeAt(row), this);
        dialog.exec();
    }
    if (!Tag.isEmpty())
        gridWordList->item(row, 1)->setText(Tag);
}

void dlgZdyWordList::OKButton_Click()
{
    if (!m_ctx.libs) {
        m_ctx.prompts->message(
            QStringLiteral("词库程序库未能加载，无法加入自定义词！"), promptTitle(), MessageIcon::Critical);
        return;
    }
    // A word for which the code library has no code (it holds a character without one) cannot
    // go into the dictionary: the user gives it a code or leaves it out.
    QStringList uncoded;
    for (int row = 0; row < rowCount(); ++row) {
        if (codeAt(row).isEmpty())
            uncoded << QStringLiteral("\"%1\"").arg(wordAt(row));
    }
    if (!uncoded.isEmpty()) {
        const QString question = QStringLiteral("%1 没有自定义编码，不能加入自定义词库。\n单击该词可以输入编码。\n\n"
                                                "是否不加这些词，只加入其余的自定义词？")
                                     .arg(uncoded.join(QStringLiteral("、")));
        if (m_ctx.prompts->message(question, promptTitle(), MessageIcon::Question, MessageButtons::YesNo)
            != MessageAnswer::Yes)
            return;
    }
    int added = 0;
    for (int row = 0; row < rowCount(); ++row) {
        const QString word = wordAt(row);
        const QString code = codeAt(row);
        if (code.isEmpty())
            continue;
        const int result = m_ctx.libs->addProfessionWord(word, code, kCategory, kSource);
        if (result == 1) {
            ++added;
            continue;
        }
        if (result == 0)
            continue; // already a custom word (added by an earlier press): nothing to do
        m_ctx.prompts->message(QString::number(result), programTitle(), MessageIcon::None);
        m_ctx.prompts->message(
            QStringLiteral("打开专业词库失败，无法加入自定义词！"), promptTitle(), MessageIcon::Critical);
        if (added > 0 && m_ctx.customWordsChanged)
            m_ctx.customWordsChanged();
        return;
    }
    m_ctx.prompts->message(QString::number(added) + QStringLiteral(" 条自定义词成功加入专业词库自定义词库！"),
        promptTitle(), MessageIcon::Information);
    Tag.clear();
    if (added > 0 && m_ctx.customWordsChanged)
        m_ctx.customWordsChanged();
    accept();
}

} // namespace orvane
