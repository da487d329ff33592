#include "settings/frmoptions.h"

namespace orvane {

frmOptions::frmOptions(AppContext &ctx, OptionsTarget *target, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_target(target)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("选项设置"));
}

} // namespace orvane
