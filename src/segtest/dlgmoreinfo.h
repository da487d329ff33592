// The details of a finished test ("详细信息"): the word tables of the text and the figures of
// the user's typing, with the key counts of the whole text and of the typed stretch.
#pragma once

#include "context/appcontext.h"

#include <QDialog>
#include <QString>
#include <array>
#include <functional>

class QLabel;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QTableWidget;
class QWidget;

namespace orvane {

class TestRun;

class DlgMoreInfo final : public QDialog {
    Q_OBJECT
public:
    DlgMoreInfo(AppContext &ctx, TestRun &run, QWidget *parent = nullptr);

    QTabBar *tspWords = nullptr;
    std::array<QTableWidget *, 5> fgwords{}; // classes 1..5: single characters .. long words
    QStackedWidget *gridStack = nullptr;     // fgwords stacked; the current one is in front
    QPushButton *cmdKeys = nullptr;
    QLabel *lblTotalWord = nullptr;
    std::array<QLabel *, 5> lblWordLen{};
    QLabel *lblUserKeys = nullptr;
    QLabel *lblAvrKeys = nullptr;
    QPushButton *cmdUserKeys = nullptr;
    QPushButton *cmdOk = nullptr;

    // Fills the grids from the word table and the user figures from the typing details.
    void Form_Load();
    // Brings the grid of tab index (0-based) to the front.
    void tspWords_Click(int index);
    void cmdKeys_Click();
    void cmdUserKeys_Click();
    void cmdOk_Click();

private:
    AppContext &m_ctx;
    TestRun &m_run;
};

// The "更多信息" step of the result dialog: has the run compute the character and word tables
// when this text has none yet (showing waiting(true) during the work and waiting(false) after
// the details are closed), then shows the details dialog modally over parent.
void showMoreInfo(AppContext &ctx, TestRun &run, QWidget *parent, const std::function<void(bool)> &waiting);

} // namespace orvane
