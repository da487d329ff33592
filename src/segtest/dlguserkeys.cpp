#include "segtest/dlguserkeys.h"

#include "prepare/codedictionary.h"
#include "segtest/userkeys.h"
#include "shell/pictures.h"

namespace orvane {

DlgUserKeys::DlgUserKeys(AppContext &ctx, QWidget *parent)
    : KeyCountsDialog(ctx, QStringLiteral("DlgUserKeys"), QStringLiteral("用户输入内容键数统计"),
                      QStringLiteral("退 出(&X)"), parent)
{
    Form_Load();
}

void DlgUserKeys::Form_Load()
{
    adjustSize();
    centerOnScreen(this);
    clearFigures(QStringLiteral("0"));
    TestDocument &doc = m_ctx.doc;
    if (doc.TypedText.isEmpty())
        return;
    if (!doc.UserKeysDone) {
        CodeDictionary dict(m_ctx.libs);
        openStatsDictionary(m_ctx, dict);
        QString error;
        if (!AnalyzeTypedText(m_ctx.stats, doc.TypedText, m_ctx.libs, dict, &error)) {
            // Without the segmentation there is nothing to count; the next showing tries again.
            m_ctx.prompts->message(error, promptTitle(), MessageIcon::Critical);
            return;
        }
        doc.UserKeysDone = true;
    }
    m_ctx.stats.UserKeyCounts = CountUserKeys(m_ctx.stats);
    showFigures(m_ctx.stats.UserKeyCounts);
}

} // namespace orvane
