#include "history/historywindow.h"

#include "context/appcontext.h"
#include "core/prompts.h"
#include "core/savefile.h"
#include "history/historymodel.h"

#include <QAbstractTableModel>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <functional>

namespace orvane {

namespace {

const QString kAllTexts = QStringLiteral("全部文章");

// One chart over the start times of the tests: a line for each figure, the points of the tests
// that have it.
struct Line {
    QString name;
    std::function<std::optional<double>(const HistoryRecord &)> value;
};

QChartView *chartView(QWidget *parent)
{
    auto *view = new QChartView(new QChart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->chart()->legend()->setAlignment(Qt::AlignBottom);
    view->setMinimumHeight(260);
    return view;
}

void drawChart(QChartView *view, const QString &title, const QVector<HistoryRecord> &oldestFirst,
    const QList<Line> &lines, const QString &labelFormat)
{
    QChart *chart = view->chart();
    chart->removeAllSeries(); // deletes them
    // A removed axis is handed back to us, not deleted: each redraw would leak the last ones.
    for (QAbstractAxis *axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    auto *time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("MM-dd"));
    time->setTitleText(QStringLiteral("测试时间"));
    auto *values = new QValueAxis;
    values->setLabelFormat(labelFormat);
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(values, Qt::AlignLeft);
    double low = 0, high = 0;
    qint64 first = 0, last = 0;
    bool any = false;
    for (const Line &line : lines) {
        QList<QPointF> points;
        for (const HistoryRecord &r : oldestFirst) {
            const std::optional<double> v = line.value(r);
            if (!v)
                continue;
            const qint64 x = r.start.toMSecsSinceEpoch();
            points.append(QPointF(double(x), *v));
            if (!any) {
                low = high = *v;
                first = last = x;
                any = true;
            }
            low = std::min(low, *v);
            high = std::max(high, *v);
            first = std::min(first, x);
            last = std::max(last, x);
        }
        auto *series = new QLineSeries;
        series->setName(line.name);
        series->replace(points);
        series->setPointsVisible(points.size() <= 60);
        chart->addSeries(series);
        series->attachAxis(time);
        series->attachAxis(values);
    }
    chart->setTitle(any ? title : title + QStringLiteral("（暂无数据）"));
    if (!any) {
        const QDateTime now = QDateTime::currentDateTime();
        time->setRange(now.addDays(-7), now);
        values->setRange(0, 1);
        values->setTickCount(2); // whole-number labels would otherwise repeat 0 and 1
        return;
    }
    // A single test still gets an hour of room on either side. Tests of a few days are told
    // apart by their hour: the date alone would label every tick of a short span alike.
    if (last - first < 3600000) {
        first -= 3600000;
        last += 3600000;
    }
    time->setRange(QDateTime::fromMSecsSinceEpoch(first), QDateTime::fromMSecsSinceEpoch(last));
    if (last - first > 400LL * 86400000)
        time->setFormat(QStringLiteral("yyyy-MM"));
    else if (last - first <= 3LL * 86400000)
        time->setFormat(QStringLiteral("MM-dd HH:mm"));
    else
        time->setFormat(QStringLiteral("MM-dd"));
    const double margin = high > low ? (high - low) * 0.1 : std::max(1.0, high * 0.1);
    values->setRange(std::max(0.0, low - margin), high + margin);
    values->applyNiceNumbers();
}

} // namespace

HistoryWindow::HistoryWindow(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("HistoryWindow"));
    setWindowTitle(QStringLiteral("成绩记录"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    resize(900, 680);

    cboText = new QComboBox(this);
    cboText->setObjectName(QStringLiteral("cboText"));
    cboText->setMinimumContentsLength(20);
    lblCount = new QLabel(this);
    lblCount->setObjectName(QStringLiteral("lblCount"));

    m_model = new HistoryModel(this);
    m_proxy = new QSortFilterProxyModel(this);
    m_proxy->setSourceModel(m_model);
    m_proxy->setSortRole(HistoryModel::SortRole);
    m_proxy->setFilterKeyColumn(HistoryModel::TextColumn);
    tblTests = new QTableView(this);
    tblTests->setObjectName(QStringLiteral("tblTests"));
    tblTests->setModel(m_proxy);
    tblTests->setSortingEnabled(true);
    tblTests->sortByColumn(HistoryModel::StartColumn, Qt::DescendingOrder);
    tblTests->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblTests->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tblTests->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblTests->verticalHeader()->setVisible(false);
    tblTests->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    tblTests->horizontalHeader()->setStretchLastSection(true);
    tblTests->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    tblTests->setColumnWidth(
        HistoryModel::StartColumn, fontMetrics().horizontalAdvance(QStringLiteral("2026-12-31 23:59")) + 28);

    tabCharts = new QTabWidget(this);
    tabCharts->setObjectName(QStringLiteral("tabCharts"));
    tabCharts->addTab(chartView(tabCharts), QStringLiteral("速度"));
    tabCharts->addTab(chartView(tabCharts), QStringLiteral("击键"));
    tabCharts->addTab(chartView(tabCharts), QStringLiteral("码长"));
    tabCharts->addTab(chartView(tabCharts), QStringLiteral("打词率"));

    cmdExport = new QPushButton(QStringLiteral("导出CSV(&E)…"), this);
    cmdExport->setObjectName(QStringLiteral("cmdExport"));
    cmdDelete = new QPushButton(QStringLiteral("删除所选(&D)…"), this);
    cmdDelete->setObjectName(QStringLiteral("cmdDelete"));
    cmdClose = new QPushButton(QStringLiteral("关   闭(&X)"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("文章："), this));
    top->addWidget(cboText);
    top->addStretch(1);
    top->addWidget(lblCount);
    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(tabCharts);
    split->addWidget(tblTests);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setSizes({380, 240});
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdExport);
    buttons->addWidget(cmdDelete);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);

    connect(cboText, &QComboBox::currentIndexChanged, this, &HistoryWindow::filterChanged);
    connect(cmdExport, &QPushButton::clicked, this, &HistoryWindow::exportCsv);
    connect(cmdDelete, &QPushButton::clicked, this, &HistoryWindow::deleteSelected);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

    reload();
}

HistoryWindow::~HistoryWindow() = default;

void HistoryWindow::reload()
{
    QVector<HistoryRecord> tests;
    if (HistoryDb *db = m_ctx.history()) {
        QString error;
        tests = db->tests(&error);
        if (!error.isEmpty())
            m_ctx.prompts->message(error, promptTitle(), MessageIcon::Exclamation);
    }
    QStringList names;
    QSet<QString> seen;
    for (const HistoryRecord &r : tests)
        if (!seen.contains(r.textName)) {
            seen.insert(r.textName);
            names << r.textName;
        }
    names.sort();
    const QString current = cboText->currentIndex() > 0 ? cboText->currentText() : QString();
    {
        const QSignalBlocker quiet(cboText);
        cboText->clear();
        cboText->addItem(kAllTexts);
        for (const QString &name : names)
            cboText->addItem(name.isEmpty() ? QStringLiteral("（无名）") : name, name);
        const int again = current.isEmpty() ? 0 : cboText->findText(current);
        cboText->setCurrentIndex(std::max(0, again));
    }
    m_model->setTests(std::move(tests));
    filterChanged();
}

void HistoryWindow::filterChanged()
{
    if (cboText->currentIndex() <= 0)
        m_proxy->setFilterRegularExpression(QRegularExpression());
    else
        m_proxy->setFilterRegularExpression(QRegularExpression(
            QLatin1Char('^') + QRegularExpression::escape(cboText->currentData().toString()) + QLatin1Char('$')));
    lblCount->setText(QStringLiteral("共 %1 次测试").arg(m_proxy->rowCount()));
    redrawCharts();
}

QVector<HistoryRecord> HistoryWindow::shownTests() const
{
    QVector<HistoryRecord> out;
    out.reserve(m_proxy->rowCount());
    for (int row = 0; row < m_proxy->rowCount(); ++row)
        out.push_back(m_model->test(m_proxy->mapToSource(m_proxy->index(row, 0)).row()));
    return out;
}

void HistoryWindow::redrawCharts()
{
    QVector<HistoryRecord> tests = shownTests();
    std::sort(tests.begin(), tests.end(), [](const HistoryRecord &a, const HistoryRecord &b) {
        return a.start < b.start || (a.start == b.start && a.id < b.id);
    });
    auto view = [this](int i) { return static_cast<QChartView *>(tabCharts->widget(i)); };
    drawChart(view(0), QStringLiteral("速度（字/分）"), tests,
        {{QStringLiteral("输入速度"), [](const HistoryRecord &r) { return std::optional<double>(r.speed); }},
            {QStringLiteral("有效速度"),
                [](const HistoryRecord &r) { return std::optional<double>(r.effectiveSpeed); }}},
        QStringLiteral("%.0f"));
    drawChart(view(1), QStringLiteral("击键（键/秒）"), tests,
        {{QStringLiteral("击键"), [](const HistoryRecord &r) { return r.keysPerSecond; }}}, QStringLiteral("%.1f"));
    drawChart(view(2), QStringLiteral("码长（键/字）"), tests,
        {{QStringLiteral("码长"), [](const HistoryRecord &r) { return r.codeLength; }},
            {QStringLiteral("理论码长"), [](const HistoryRecord &r) { return r.idealCodeLength; }}},
        QStringLiteral("%.2f"));
    auto percent = [](const std::optional<double> &v) { return v ? std::optional<double>(*v * 100) : v; };
    drawChart(view(3), QStringLiteral("打词率（%）"), tests,
        {{QStringLiteral("打词率"), [percent](const HistoryRecord &r) { return percent(r.wordShare); }},
            {QStringLiteral("理想打词率"), [percent](const HistoryRecord &r) { return percent(r.idealWordShare); }}},
        QStringLiteral("%.0f"));
}

void HistoryWindow::exportCsv()
{
    const QString path = m_ctx.prompts->saveFile(QStringLiteral("导出成绩记录"),
        QDir::homePath() + QStringLiteral("/成绩记录.csv"), QStringLiteral("CSV 文件(*.csv)"));
    if (path.isEmpty())
        return;
    QVector<HistoryRecord> tests = shownTests();
    std::sort(tests.begin(), tests.end(), [](const HistoryRecord &a, const HistoryRecord &b) {
        return a.start < b.start || (a.start == b.start && a.id < b.id);
    });
    // The byte-order mark lets spreadsheet programs read the Chinese headers as UTF-8.
    QString error;
    if (!saveFile(path, QByteArray("\xEF\xBB\xBF") + historyCsv(tests).toUtf8(), &error))
        m_ctx.prompts->message(error, promptTitle(), MessageIcon::Exclamation);
}

void HistoryWindow::deleteSelected()
{
    QVector<qint64> ids;
    for (const QModelIndex &index : tblTests->selectionModel()->selectedRows())
        ids.push_back(m_model->test(m_proxy->mapToSource(index).row()).id);
    if (ids.isEmpty()) {
        m_ctx.prompts->message(QStringLiteral("请先在表中选择要删除的测试。"), promptTitle(), MessageIcon::Information);
        return;
    }
    if (m_ctx.prompts->message(QStringLiteral("确实要删除所选的 %1 次测试吗？删除后无法恢复。").arg(ids.size()),
            promptTitle(), MessageIcon::Question, MessageButtons::YesNo)
        != MessageAnswer::Yes)
        return;
    HistoryDb *db = m_ctx.history();
    QString error;
    if (!db || !db->remove(ids, &error)) {
        if (db)
            m_ctx.prompts->message(error, promptTitle(), MessageIcon::Exclamation);
        return;
    }
    reload();
}

} // namespace orvane
