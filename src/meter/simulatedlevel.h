#pragma once

#include <QRandomGenerator>

// The sound level the simulated meter measures: a slow random walk between about 40 and
// 95 dB with an occasional louder event (a door, a passing truck) that rises fast and decays.
// One step per reading; deterministic for a given seed. Levels are in tenths of a dB.
class SimulatedLevel
{
public:
    explicit SimulatedLevel(quint32 seed);

    // Advances by one reading and returns the level for the given weightings.
    quint16 step(bool weightingA, bool fast);

    quint16 maxLevel() const { return m_max; }
    quint16 minLevel() const { return m_min; }
    // Starts MAX and MIN anew from the current level.
    void resetMaxMin();

private:
    QRandomGenerator m_random;
    double m_background = 620.0; // tenths of a dB
    double m_event = 0.0; // the extra level of a loud event, decaying
    double m_slow = 620.0; // the SLOW time weighting's smoothed level
    quint16 m_last = 620;
    quint16 m_max = 620;
    quint16 m_min = 620;
};
