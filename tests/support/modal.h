// Acting on modal windows from a test: exec() blocks, so the action is queued before the call
// that opens the window and runs as soon as the window is shown.
#pragma once

#include <QWidget>
#include <functional>

namespace orvane::test {

// Runs action on the next modal window that becomes active (within timeoutMs). Returns at once.
void onNextModal(std::function<void(QWidget *)> action, int timeoutMs = 5000);

// True if onNextModal's last action ran.
bool lastModalHandled();

} // namespace orvane::test
