#include "segtest/dlgmoreinfo.h"

#include <QDialog>

namespace orvane {

void showMoreInfo(AppContext &ctx, const QString &viewText, QWidget *parent, const std::function<void(bool)> &waiting)
{
    (void)ctx;
    (void)viewText;
    (void)waiting;
    QDialog details(parent);
    details.setObjectName(QStringLiteral("DlgMoreInfo"));
    details.setWindowTitle(QStringLiteral("详细信息"));
    details.exec();
}

} // namespace orvane
