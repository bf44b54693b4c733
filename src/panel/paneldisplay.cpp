#include "panel/paneldisplay.h"

#include "meter/bcd.h"
#include "meter/livereading.h"

#include <optional>

namespace {
constexpr quint8 ClockNotSet = 0x5A;

struct RangeRow
{
    quint8 code;
    const char *low;
    const char *high;
    int floor; // tenths of a dB at the bar's left end
};
constexpr RangeRow Ranges[] = {
    { LiveReading::Range30To90, "30", "90", 300 },
    { LiveReading::Range50To110, "50", "110", 500 },
    { LiveReading::Range70To130, "70", "130", 700 },
    { LiveReading::Range30To130, "30", "130", 300 },
};

const RangeRow *findRange(quint8 code)
{
    for (const RangeRow &row : Ranges)
        if (row.code == code)
            return &row;
    return nullptr;
}
} // namespace

PanelDisplay::BlinkTimer PanelDisplay::update(const LiveReading &reading, quint16 displayedLevel,
                                              bool blinkTimerRunning)
{
    m_view.rec = reading.recording;
    m_view.dBA = reading.weightingA;
    m_view.dBC = !reading.weightingA;
    m_view.fastShown = reading.fast;
    m_view.slowShown = !reading.fast;
    m_view.under = reading.under;
    m_view.over = reading.over;
    m_view.full = reading.memoryFull;
    updateClock(reading);
    m_view.levelDigits = levelDigitsFor(displayedLevel);
    const BlinkTimer timer = updateMaxMin(reading, blinkTimerRunning);
    updateRange(reading.range, displayedLevel);
    return timer;
}

void PanelDisplay::updateClock(const LiveReading &reading)
{
    if (reading.clockSeconds == m_lastClockSeconds)
        return;
    if (reading.clockSeconds == ClockNotSet || reading.clockMinutes == ClockNotSet
        || reading.clockHours == ClockNotSet) {
        // The meter's clock is not set: nothing is drawn, and the clock is redrawn as soon as
        // a reading's seconds byte is not 2.
        m_lastClockSeconds = 2;
        return;
    }
    // Hours in LCDT3-4, minutes in LCDT5-6, seconds in LCDT7-8, tens first. A byte that is not
    // two decimal digits stops the drawing of the remaining digits.
    const quint8 bytes[] = { reading.clockHours, reading.clockMinutes, reading.clockSeconds };
    std::size_t slot = 2;
    for (const quint8 byte : bytes) {
        const std::optional<int> value = Bcd::toInt(byte);
        if (!value)
            break;
        m_view.clockDigits[slot++] = *value / 10;
        m_view.clockDigits[slot++] = *value % 10;
    }
    m_lastClockSeconds = reading.clockSeconds;
}

std::array<int, 4> PanelDisplay::levelDigitsFor(quint16 level)
{
    // The meter's ranges end at 130 dB; a level of 1000.0 dB or more would need a fifth digit,
    // so it shows as four dashes rather than a wrong number.
    if (level >= 10000)
        return { PanelView::DashDigit, PanelView::DashDigit, PanelView::DashDigit,
                 PanelView::DashDigit };
    const int thousands = level / 1000;
    return { thousands != 0 ? thousands : PanelView::BlankDigit, level % 1000 / 100,
             level % 100 / 10, level % 10 };
}

PanelDisplay::BlinkTimer PanelDisplay::updateMaxMin(const LiveReading &reading,
                                                    bool blinkTimerRunning)
{
    if (!reading.maxMinActive) {
        m_view.maxShown = false;
        m_view.minShown = false;
        return BlinkTimer::Stop;
    }
    switch (reading.maxMinState) {
    case LiveReading::MaxMinOff:
        return BlinkTimer::Stop;
    case LiveReading::MaxShown:
        m_view.maxShown = true;
        m_view.minShown = false;
        return BlinkTimer::Stop;
    case LiveReading::MinShown:
        m_view.maxShown = false;
        m_view.minShown = true;
        return BlinkTimer::Stop;
    case LiveReading::MaxMinAlternating:
        return blinkTimerRunning ? BlinkTimer::Keep : BlinkTimer::Start;
    default:
        return BlinkTimer::Keep;
    }
}

std::optional<int> PanelDisplay::barWidthFor(quint8 range, quint16 level)
{
    const RangeRow *row = findRange(range);
    if (!row)
        return std::nullopt;
    if (level <= row->floor)
        return 4;
    const int above = level - row->floor;
    // 60 dB ranges use 150 pixels for 600 tenths; the 100 dB range 150 pixels for 1000 tenths.
    if (range == LiveReading::Range30To130)
        return above * 3 / 20 + 4;
    return above / 4 + 4;
}

void PanelDisplay::updateRange(quint8 range, quint16 level)
{
    const RangeRow *row = findRange(range);
    if (!row)
        return; // an unknown range code keeps the limits and the bar
    m_view.rangeLow = QLatin1String(row->low);
    m_view.rangeHigh = QLatin1String(row->high);
    m_view.barWidth = *barWidthFor(range, level);
}

void PanelDisplay::blinkTick()
{
    m_blinkPhase = !m_blinkPhase;
    m_view.maxShown = m_blinkPhase;
    m_view.minShown = m_blinkPhase;
}
