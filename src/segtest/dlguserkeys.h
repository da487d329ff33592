// "用户输入内容键数统计": the key counts of the four input modes for the stretch of text the user
// typed in the last test, laid out like the whole-text counts.
#pragma once

#include "segtest/dlgkeys.h"

namespace orvane {

class DlgUserKeys final : public KeyCountsDialog {
    Q_OBJECT
public:
    DlgUserKeys(AppContext &ctx, TestRun &run, QWidget *parent = nullptr);

    // Shows the key counts of the typed stretch; zeros when nothing was typed, and zeros after
    // telling why when the stretch could not be segmented.
    void Form_Load();
};

} // namespace orvane
