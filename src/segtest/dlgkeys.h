// The key counts of the four input modes: "全文键数统计" for the whole text (DlgKeys) and, with
// the same layout, "用户输入内容键数统计" for the stretch the user typed (DlgUserKeys).
#pragma once

#include "context/appcontext.h"
#include "segtest/statsdata.h"

#include <QDialog>
#include <array>

class QLabel;
class QPushButton;

namespace orvane {

class TestRun;

// The layout both key dialogs share: frames "单字输入" and "词组输入", each with a frame for
// the standard codes and one for the short codes, listing its slots; the exit button.
class KeyCountsDialog : public QDialog {
    Q_OBJECT
public:
    std::array<QLabel *, 24> lblkeys{};
    QPushButton *OKButton = nullptr;

    void OKButton_Click();

    // Sets every value label to text.
    void clearFigures(const QString &text);
    // Shows slot i in lblkeys(i) as a decimal integer.
    void showFigures(const KeyCountSlots &figures);

protected:
    KeyCountsDialog(AppContext &ctx, TestRun &run, const QString &objectName, const QString &title,
        const QString &exitCaption, QWidget *parent);
    AppContext &m_ctx;
    TestRun &m_run;
};

class DlgKeys final : public KeyCountsDialog {
    Q_OBJECT
public:
    DlgKeys(AppContext &ctx, TestRun &run, QWidget *parent = nullptr);

    // Shows the key counts of the whole text.
    void Form_Load();
};

// A value label of the statistics dialogs: a sunken, right-aligned figure.
QLabel *statsFigureLabel(const QString &objectName, QWidget *parent);

} // namespace orvane
