// A window timer that tests can hold still: it keeps its enabled state and interval like a
// form's timer, and ticks by itself only when the context runs real timers. Tests call the
// window's timer handler themselves, driven by the scripted clock.
#pragma once

#include <QObject>
#include <QTimer>

namespace orvane {

class FormTimer final : public QObject {
    Q_OBJECT
public:
    FormTimer(bool ticksByItself, QObject *parent) : QObject(parent), m_ticks(ticksByItself)
    {
        connect(&m_timer, &QTimer::timeout, this, &FormTimer::timeout);
    }

    void setInterval(int ms) { m_timer.setInterval(ms); }
    int interval() const { return m_timer.interval(); }

    void setEnabled(bool on)
    {
        m_enabled = on;
        if (on && m_ticks)
            m_timer.start(); // enabling restarts the count, as a form's timer does
        else
            m_timer.stop();
    }
    bool isEnabled() const { return m_enabled; }

Q_SIGNALS:
    void timeout();

private:
    QTimer m_timer;
    bool m_ticks;
    bool m_enabled = false;
};

} // namespace orvane
