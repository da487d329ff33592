// The key counts of the four input modes: "全文键数统计" for the whole text (DlgKeys) and, with
// the same layout, "用户输入内容键数统计" for the stretch the user typed (DlgUserKeys).
#pragma once

#include "shell/appcontext.h"

#include <QDialog>
#include <array>

class QLabel;
class QPushButton;

namespace orvane {

class CodeDictionary;

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
    KeyCountsDialog(AppContext &ctx, const QString &objectName, const QString &title, const QString &exitCaption,
                    QWidget *parent);
    AppContext &m_ctx;
};

class DlgKeys final : public KeyCountsDialog {
    Q_OBJECT
public:
    explicit DlgKeys(AppContext &ctx, QWidget *parent = nullptr);

    // Counts the whole text into TextKeyCounts and shows the figures; sets KeyCountsDone.
    void Form_Load();
};

// A value label of the statistics dialogs: a sunken, right-aligned figure.
QLabel *statsFigureLabel(const QString &objectName, QWidget *parent);

// Opens jtdb.dat of the program folder for a statistics build; when it cannot be opened, tells
// the user once that the codes will be missing (the build goes on without them).
void openStatsDictionary(AppContext &ctx, CodeDictionary &dict);

} // namespace orvane
