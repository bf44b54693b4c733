#pragma once

#include "panel/panelview.h"

struct LiveReading;

// The control panel's display logic: turns each live reading into what the panel shows, and
// blinks MAX and MIN while the meter alternates them. Free of widgets, so every rule is
// testable; the panel window only draws the view.
class PanelDisplay
{
public:
    // What to do with the MAX/MIN blink timer after an update.
    enum class BlinkTimer { Keep, Start, Stop };

    // Updates the view from a reading and its displayed level (tenths of a dB), in the meter's
    // order: annunciators, clock, level digits, MAX/MIN, range and bar. blinkTimerRunning says
    // whether the blink timer runs now.
    BlinkTimer update(const LiveReading &reading, quint16 displayedLevel, bool blinkTimerRunning);

    // One tick of the blink timer: MAX and MIN appear and disappear together.
    void blinkTick();

    void setNoConnection(bool shown) { m_view.noConnection = shown; }
    void setLevelDigits(const std::array<int, 4> &digits) { m_view.levelDigits = digits; }

    const PanelView &view() const { return m_view; }
    quint8 lastClockSeconds() const { return m_lastClockSeconds; }
    bool blinkPhase() const { return m_blinkPhase; }

    // The pieces of the update, public for the panel's own use and for tests.
    static std::array<int, 4> levelDigitsFor(quint16 level);
    // The bar width for a range code; nothing for an unknown code.
    static std::optional<int> barWidthFor(quint8 range, quint16 level);

private:
    void updateClock(const LiveReading &reading);
    BlinkTimer updateMaxMin(const LiveReading &reading, bool blinkTimerRunning);
    void updateRange(quint8 range, quint16 level);

    PanelView m_view;
    quint8 m_lastClockSeconds = 0;
    bool m_blinkPhase = false;
};
