#include "shell/keyfilter.h"

namespace orvane {

int FilterKey(int keyCode, const QString &allowed, bool allowBackspace, const std::function<void()> &beep)
{
    QString set = allowed.toUpper();
    if (allowBackspace)
        set += QChar(8);
    if (keyCode > 0 && keyCode <= 0xFFFF) {
        const QString key = QString(QChar(static_cast<char16_t>(keyCode))).toUpper();
        if (set.contains(key, Qt::CaseInsensitive))
            return keyCode;
    }
    if (beep)
        beep();
    return 0;
}

} // namespace orvane
