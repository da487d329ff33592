#include "editor/dlgaddword.h"

namespace orvane {

DlgAddWord::DlgAddWord(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("DlgAddWord"));
    setWindowTitle(QStringLiteral("添加自定义词"));
}

} // namespace orvane
