// The one source of time in the program: a millisecond tick that only moves forward (for input
// bursts) and the time of day to the second (for the test clock). Tests drive ScriptedClock.
#pragma once

#include <QDateTime>
#include <QElapsedTimer>

namespace orvane {

class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 tickMs() const = 0;
    // Local time of day, whole seconds.
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    SystemClock();
    qint64 tickMs() const override;
    QDateTime now() const override;

private:
    QElapsedTimer m_timer;
};

// A clock that stands still until the test moves it.
class ScriptedClock final : public Clock {
public:
    explicit ScriptedClock(QDateTime start = QDateTime(QDate(2026, 1, 5), QTime(9, 0, 0)));
    qint64 tickMs() const override { return m_tick; }
    QDateTime now() const override;

    void advanceMs(qint64 ms);
    void advanceSeconds(qint64 s) { advanceMs(s * 1000); }
    void setNow(const QDateTime &when);

private:
    qint64 m_tick = 0;
    QDateTime m_now;
};

} // namespace orvane
