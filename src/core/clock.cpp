#include "core/clock.h"

namespace orvane {

namespace {
QDateTime toWholeSeconds(const QDateTime &t)
{
    QDateTime r = t;
    r.setTime(QTime(t.time().hour(), t.time().minute(), t.time().second()));
    return r;
}
} // namespace

SystemClock::SystemClock()
{
    m_timer.start();
}

qint64 SystemClock::tickMs() const
{
    return m_timer.elapsed();
}

QDateTime SystemClock::now() const
{
    return toWholeSeconds(QDateTime::currentDateTime());
}

ScriptedClock::ScriptedClock(QDateTime start) : m_now(std::move(start)) { }

QDateTime ScriptedClock::now() const
{
    return toWholeSeconds(m_now);
}

void ScriptedClock::advanceMs(qint64 ms)
{
    m_tick += ms;
    m_now = m_now.addMSecs(ms);
}

void ScriptedClock::setNow(const QDateTime &when)
{
    m_now = when;
}

} // namespace orvane
