#pragma once

#include "base/clock.h"

// A clock that stands still until a test steps it; waits return at once and step it.
class FakeClock : public Clock
{
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 12, 8), QTime(10, 30, 0)))
        : m_now(std::move(start))
    {
    }
    QDateTime now() const override { return m_now.addMSecs(m_ticks); }
    qint64 tickCountMs() const override { return m_ticks; }
    void spinWait(int ms) override
    {
        m_waited += ms;
        m_ticks += ms;
    }
    void advanceMs(qint64 ms) { m_ticks += ms; }
    qint64 waitedMs() const { return m_waited; }

private:
    QDateTime m_now;
    qint64 m_ticks = 0;
    qint64 m_waited = 0;
};
