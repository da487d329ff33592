#include "modal.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <memory>

namespace orvane::test {

namespace {
bool g_handled = false; // test-process bookkeeping only
}

void onNextModal(std::function<void(QWidget *)> action, int timeoutMs)
{
    g_handled = false;
    auto *timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QWidget *before = QApplication::activeModalWidget();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, before, timeoutMs, action] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal != before && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            g_handled = true;
            action(modal);
            return;
        }
        if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

bool lastModalHandled()
{
    return g_handled;
}

} // namespace orvane::test
