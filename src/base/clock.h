#pragma once

#include <QDateTime>
#include <QElapsedTimer>

// Every "now" of the program goes through a Clock, so that tests can fix the time and step it.
class Clock
{
public:
    virtual ~Clock() = default;
    // The local wall-clock time.
    virtual QDateTime now() const = 0;
    // A monotonic tick count in milliseconds, for waits and time-outs.
    virtual qint64 tickCountMs() const = 0;
    // Blocks the calling thread for ms milliseconds without processing window messages.
    virtual void spinWait(int ms) = 0;
};

class SystemClock : public Clock
{
public:
    SystemClock() { m_ticks.start(); }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    qint64 tickCountMs() const override { return m_ticks.elapsed(); }
    void spinWait(int ms) override
    {
        const qint64 end = tickCountMs() + ms;
        while (tickCountMs() < end) { }
    }

private:
    QElapsedTimer m_ticks;
};
