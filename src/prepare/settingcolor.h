// Colours are stored in the settings as 0x00BBGGRR: red in the lowest byte, blue in the third.
// The text views, the options dialog and the colour prompt convert with these two functions.
#pragma once

#include <QColor>

namespace orvane {

QColor colorFromSetting(quint32 ref);
quint32 settingFromColor(const QColor &color);

} // namespace orvane
