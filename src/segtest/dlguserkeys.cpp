#include "segtest/dlguserkeys.h"

#include "segtest/testrun.h"
#include "shell/pictures.h"

namespace orvane {

DlgUserKeys::DlgUserKeys(AppContext &ctx, TestRun &run, QWidget *parent)
    : KeyCountsDialog(ctx, run, QStringLiteral("DlgUserKeys"), QStringLiteral("用户输入内容键数统计"),
        QStringLiteral("退 出(&X)"), parent)
{
    Form_Load();
}

void DlgUserKeys::Form_Load()
{
    adjustSize();
    centerOnScreen(this);
    clearFigures(QStringLiteral("0"));
    QString error;
    const KeyCountSlots *counts = m_run.userKeyCounts(m_ctx.libs, &error);
    if (counts) {
        showFigures(*counts);
        return;
    }
    // Without the segmentation there is nothing to count; the next showing tries again.
    if (!error.isEmpty())
        m_ctx.prompts->message(error, promptTitle(), MessageIcon::Critical);
}

} // namespace orvane
