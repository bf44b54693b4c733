#include "meter/simulatedlevel.h"

#include <algorithm>
#include <cmath>

SimulatedLevel::SimulatedLevel(quint32 seed)
    : m_random(seed)
{
}

quint16 SimulatedLevel::step(bool weightingA, bool fast)
{
    // The background wanders slowly and is pulled back towards the middle of its band.
    const double drift = (m_random.generateDouble() - 0.5) * 24.0;
    m_background += drift + (650.0 - m_background) * 0.02;
    m_background = std::clamp(m_background, 400.0, 950.0);

    // About one reading in 80 starts a louder event, 10 to 30 dB over the background.
    if (m_event < 5.0 && m_random.bounded(80) == 0)
        m_event = 100.0 + m_random.generateDouble() * 200.0;
    else
        m_event *= 0.85;

    // C weighting lets the low-frequency rumble through: it reads a little higher.
    double level = m_background + m_event + (weightingA ? 0.0 : 25.0);
    m_slow += (level - m_slow) * 0.3;
    if (!fast)
        level = m_slow;

    m_last = static_cast<quint16>(std::lround(std::clamp(level, 250.0, 1400.0)));
    m_max = std::max(m_max, m_last);
    m_min = std::min(m_min, m_last);
    return m_last;
}

void SimulatedLevel::resetMaxMin()
{
    m_max = m_last;
    m_min = m_last;
}
