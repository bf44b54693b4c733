#pragma once

#include <QString>

#include <array>

// What the control panel shows: the state of every element of the meter's display, as the
// panel draws it. Digit entries are indices into the digit picture tables; -1 is empty.
struct PanelView
{
    static constexpr int BlankDigit = 10; // slot of the blank level digit
    static constexpr int DashDigit = 11; // slot of the dash
    static constexpr int FullBarWidth = 156;

    bool rec = false;
    bool dBA = true;
    bool dBC = false;
    bool fastShown = true;
    bool slowShown = false;
    bool under = false;
    bool over = false;
    bool full = false;
    bool maxShown = false;
    bool minShown = false;
    bool noConnection = false;
    // LCDT1 ... LCDT8; LCDT1 and LCDT2 are never drawn.
    std::array<int, 8> clockDigits { -1, -1, -1, -1, -1, -1, -1, -1 };
    // MainD1 ... MainD4.
    std::array<int, 4> levelDigits { 1, 8, 8, 8 };
    QString rangeLow = QStringLiteral("30");
    QString rangeHigh = QStringLiteral("130");
    int barWidth = FullBarWidth;
};
