// The history window "成绩记录": the kept tests newest first in a sortable table, charts of the
// speeds, 击键, 码长 and 打词率 over time, a filter by text, export to CSV and deleting selected
// tests after a question.
#pragma once

#include "history/historydb.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class QTabWidget;

namespace orvane {

struct AppContext;
class HistoryModel;

class HistoryWindow : public QDialog {
    Q_OBJECT
public:
    // Reads the history of ctx; when it cannot be opened the user has been told and the window
    // shows no tests.
    explicit HistoryWindow(AppContext &ctx, QWidget *parent = nullptr);
    ~HistoryWindow() override;

    // Reads the tests again (after a test ended or tests were deleted).
    void reload();
    // The tests shown, in the table's order.
    QVector<HistoryRecord> shownTests() const;

    void exportCsv();
    void deleteSelected();

    QComboBox *cboText = nullptr;
    QTableView *tblTests = nullptr;
    QTabWidget *tabCharts = nullptr;
    QLabel *lblCount = nullptr;
    QPushButton *cmdExport = nullptr;
    QPushButton *cmdDelete = nullptr;
    QPushButton *cmdClose = nullptr;

private:
    void filterChanged();
    void redrawCharts();

    AppContext &m_ctx;
    HistoryModel *m_model = nullptr;
    QSortFilterProxyModel *m_proxy = nullptr;
};

} // namespace orvane
