// The key filter of numeric fields: a key passes when its character is among the allowed ones
// (letter case ignored) or it is Backspace and Backspace is allowed; any other key beeps and is
// dropped (result 0).
#pragma once

#include <QString>
#include <functional>

namespace orvane {

int FilterKey(int keyCode, const QString &allowed, bool allowBackspace, const std::function<void()> &beep = {});

} // namespace orvane
