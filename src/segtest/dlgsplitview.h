// "分词对照": where the keys of the last test went. The typed stretch, span by span, as the learner
// split it (their commits) beside the shortest key path, with the extra keys of each span marked;
// in text order or by extra keys, and a line of totals. The dialog only shows the comparison it is
// given (splitcompare.h).
#pragma once

#include "context/appcontext.h"
#include "segtest/keypath.h"
#include "segtest/splitcompare.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace orvane {

class TestRun;

class DlgSplitView final : public QDialog {
    Q_OBJECT
public:
    DlgSplitView(AppContext &ctx, SplitComparison comparison, QWidget *parent = nullptr);

    // The table's columns.
    enum Column {
        ColNumber,
        ColText,
        ColLearner,
        ColLearnerKeys,
        ColPath,
        ColCodes,
        ColPathKeys,
        ColExtra,
        ColRetyped,
        ColumnCount
    };

    QLabel *lblTotals = nullptr;
    QComboBox *cboSort = nullptr;      // 0: text order, 1: by extra keys
    QCheckBox *chkOnlyExtra = nullptr; // only the spans with extra keys
    QTableWidget *tblSpans = nullptr;
    QPushButton *cmdClose = nullptr;

    const SplitComparison &comparison() const { return m_comparison; }
    // Fills the table in the chosen order, with the chosen spans.
    void fillTable();

private:
    SplitComparison m_comparison;
};

// The split view of the run's last test over parent, modally. Tells the user instead when no test
// was typed or the code database cannot be read.
void showSplitView(AppContext &ctx, TestRun &run, QWidget *parent);

} // namespace orvane
