#pragma once

#include "meter/commandframe.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <vector>

// A timed Leq of the meter's live reading. The readings are grouped by the second each row
// shows: the meter's clock, or the computer's time when the meter's clock names no date and time
// (an unset clock sends 0x5A in its time bytes, which never change). Each completed second gives
// its mean level (SPL) and the running Leq since the start, in double precision:
//   Leq(1) = SPL(1),  Leq(n) = 10 log10( (n - 1)/n x 10^(Leq(n-1)/10) + 1/n x 10^(SPL(n)/10) )
// where n counts the completed seconds, empty ones included. A second in which no reading
// arrived (the meter's clock stepped on by two to MaxGapSeconds) is empty: n advances and the
// Leq stays.
// Every successful reading counts in the second it belongs to, the one that opens a second
// included. More than MaxFailedReads failed reads since the start end the measurement.
//
// The caller does the exchange and hands each tick its reply (none when the read failed) and
// the computer's time, which stands in for a meter clock that names no date and time.
class LeqMeasurement
{
public:
    static constexpr int MaxFailedReads = 50;
    // The longest step of the meter's clock whose seconds between count as empty ones.
    static constexpr int MaxGapSeconds = 10;

    struct Second
    {
        QDate date; // the meter's date and time of the second
        QTime time;
        int readings = 0; // 0 for an empty second
        double spl = 0.0; // dB, the mean of its readings
        double leq = 0.0; // dB, the running Leq after it
    };

    enum class End { None, TimeUp, Failed };

    // What one tick did.
    struct Tick
    {
        bool read = false; // a reading arrived; its date, time and level follow
        QDate date;
        QTime time;
        double level = 0.0; // dB
        int completed = 0; // seconds completed by this tick: the last ones of seconds()
        End end = End::None;
    };

    // Starts a measurement of durationSeconds completed seconds, forgetting the last one.
    void start(int durationSeconds);
    Tick tick(const ReplyReport *reply, const QDateTime &now);
    void stop() { m_running = false; }
    // A stopped measurement made of seconds taken earlier (from a journal).
    void restore(std::vector<Second> seconds);

    bool running() const { return m_running; }
    int secondsLeft() const { return m_secondsLeft; }
    int failedReads() const { return m_failedReads; }
    double runningLeq() const { return m_runningLeq; }
    // Readings in the last completed second that had any.
    int lastRate() const { return m_lastRate; }
    const std::vector<Second> &seconds() const { return m_seconds; }

    // Hours, minutes and seconds without leading zeros: 3725 s is "1:2:5".
    static QString timeLeftText(int seconds);

private:
    void complete(QDate date, QTime time, int readings, qint64 sum);
    void completeEmpty(QDate date, QTime time);

    bool m_running = false;
    bool m_started = false;
    int m_secondsLeft = 0;
    int m_failedReads = 0;
    QDate m_lastDate; // of the second being collected
    QTime m_lastTime;
    int m_count = 0;
    qint64 m_sum = 0; // tenths of a dB
    double m_runningLeq = 0.0;
    int m_lastRate = 0;
    std::vector<Second> m_seconds;
};
