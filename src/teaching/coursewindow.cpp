#include "teaching/coursewindow.h"

#include "history/historydb.h"
#include "prepare/codedictionary.h"
#include "teaching/mistakebook.h"
#include "teaching/weakdrill.h"

#include <QColor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orvane {

namespace {

enum Column { ColNumber, ColTitle, ColGoal, ColState, ColBest, ColTests, ColumnCount };

QString itemsPreview(const Lesson &lesson)
{
    QStringList texts;
    for (const DrillItem &item : lesson.items)
        texts << item.text;
    return QStringLiteral("第%1课 %2（%3项）：%4")
        .arg(lesson.number)
        .arg(lesson.title)
        .arg(lesson.items.size())
        .arg(texts.join(QStringLiteral(" ")));
}

} // namespace

CourseWindow::CourseWindow(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("CourseWindow"));
    setWindowTitle(QStringLiteral("课程"));

    auto *intro =
        new QLabel(QStringLiteral("从最常用的简码字到常用词，一课一课地练。每课达到目标（正确率与速度）即通过，"
                                  "下一课随之开放。"),
            this);
    intro->setWordWrap(true);

    lstLessons = new QTableWidget(0, ColumnCount, this);
    lstLessons->setObjectName(QStringLiteral("lstLessons"));
    lstLessons->setHorizontalHeaderLabels({QStringLiteral("课次"), QStringLiteral("内容"), QStringLiteral("目标"),
        QStringLiteral("状态"), QStringLiteral("最好成绩"), QStringLiteral("测试次数")});
    lstLessons->verticalHeader()->setVisible(false);
    lstLessons->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstLessons->setSelectionMode(QAbstractItemView::SingleSelection);
    lstLessons->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstLessons->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    lstLessons->horizontalHeader()->setSectionResizeMode(ColTitle, QHeaderView::Stretch);

    lblItems = new QLabel(this);
    lblItems->setObjectName(QStringLiteral("lblItems"));
    lblItems->setWordWrap(true);
    lblItems->setMinimumHeight(lblItems->fontMetrics().height() * 3);
    lblItems->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    cmdStart = new QPushButton(QStringLiteral("开始练习"), this);
    cmdStart->setObjectName(QStringLiteral("cmdStart"));
    cmdDrill = new QPushButton(QStringLiteral("练习薄弱项"), this);
    cmdDrill->setObjectName(QStringLiteral("cmdDrill"));
    cmdClose = new QPushButton(QStringLiteral("关闭"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdStart->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdStart);
    buttons->addWidget(cmdDrill);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(lstLessons, 1);
    layout->addWidget(lblItems);
    layout->addLayout(buttons);
    resize(720, 520);

    connect(cmdStart, &QPushButton::clicked, this, &CourseWindow::cmdStart_Click);
    connect(cmdDrill, &QPushButton::clicked, this, &CourseWindow::cmdDrill_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(lstLessons, &QTableWidget::itemSelectionChanged, this, &CourseWindow::selectionChanged);
    connect(lstLessons, &QTableWidget::cellDoubleClicked, this, [this] {
        if (cmdStart->isEnabled())
            cmdStart_Click();
    });

    if (m_ctx.requireCodes())
        m_lessons = buildCourse(courseSource(m_ctx.codes()));
    cmdDrill->setEnabled(bool(m_ctx.practiseWeakItems));
    refresh();
}

void CourseWindow::refresh(bool keepSelection)
{
    QVector<HistoryRecord> tests;
    if (HistoryDb *db = m_ctx.history())
        tests = db->tests();
    m_progress = courseProgress(m_lessons, tests);

    const int selected = lstLessons->currentRow();
    lstLessons->setRowCount(int(m_lessons.size()));
    int firstOpen = -1;
    for (int row = 0; row < m_lessons.size(); ++row) {
        const Lesson &lesson = m_lessons[row];
        const LessonProgress &p = m_progress[row];
        if (firstOpen < 0 && p.state == LessonState::Open)
            firstOpen = row;
        const QStringList cells = {QString::number(lesson.number), lesson.title, goalText(lesson.goal),
            lessonStateText(p.state), bestText(p), QString::number(p.tests)};
        for (int col = 0; col < ColumnCount; ++col) {
            auto *item = new QTableWidgetItem(cells[col]);
            if (col != ColTitle)
                item->setTextAlignment(Qt::AlignCenter);
            if (p.state == LessonState::Locked)
                item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
            else if (col == ColState && p.state == LessonState::Passed)
                item->setForeground(QColor(0x1a, 0x7f, 0x37));
            lstLessons->setItem(row, col, item);
        }
    }
    const int row = keepSelection && selected >= 0 ? selected : (firstOpen >= 0 ? firstOpen : 0);
    if (!m_lessons.isEmpty())
        lstLessons->selectRow(row);
    selectionChanged();
}

void CourseWindow::selectionChanged()
{
    const int row = lstLessons->currentRow();
    const bool valid = row >= 0 && row < m_lessons.size();
    cmdStart->setEnabled(valid && bool(m_ctx.showPracticeText) && m_progress[row].state != LessonState::Locked);
    lblItems->setText(valid ? itemsPreview(m_lessons[row]) : QString());
}

void CourseWindow::cmdStart_Click()
{
    const int row = lstLessons->currentRow();
    if (row < 0 || row >= m_lessons.size() || m_progress[row].state == LessonState::Locked || !m_ctx.showPracticeText)
        return;
    const bool wasPassed = m_progress[row].state == LessonState::Passed;
    m_ctx.showPracticeText(this, m_lessons[row].text());
    // A lesson just passed moves the selection on to the lesson it opened.
    refresh(true);
    if (!wasPassed && m_progress[row].state == LessonState::Passed && row + 1 < m_lessons.size())
        lstLessons->selectRow(row + 1);
}

void CourseWindow::cmdDrill_Click()
{
    if (m_ctx.practiseWeakItems)
        m_ctx.practiseWeakItems(this);
    refresh(true);
}

void practiseWeakItems(AppContext &ctx, QWidget *parent)
{
    if (!ctx.showPracticeText)
        return;
    HistoryDb *db = ctx.history();
    if (!db)
        return;
    QString error;
    const MistakeBook book = loadMistakeBook(*db, &error);
    if (!error.isEmpty()) {
        ctx.prompts->message(error, promptTitle(), MessageIcon::Exclamation);
        return;
    }
    const QVector<DrillItem> items = weakItems(book);
    const OpenedText drill = weakItemsDrill(items, quint32(ctx.clock->now().toSecsSinceEpoch()));
    if (drill.text.isEmpty()) {
        ctx.prompts->message(nothingToPractise(), promptTitle(), MessageIcon::Information);
        return;
    }
    ctx.showPracticeText(parent, drill);
}

} // namespace orvane
