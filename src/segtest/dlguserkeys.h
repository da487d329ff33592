// "用户输入内容键数统计": the key counts of the four input modes for the stretch of text the user
// typed in the last test, laid out like the whole-text counts.
#pragma once

#include "segtest/dlgkeys.h"

namespace orvane {

class DlgUserKeys final : public KeyCountsDialog {
    Q_OBJECT
public:
    explicit DlgUserKeys(AppContext &ctx, QWidget *parent = nullptr);

    // Analyses TypedText the first time after a test (segmentation and code lookups), then
    // counts from the kept analysis into UserKeyCounts and shows the figures.
    void Form_Load();
};

} // namespace orvane
