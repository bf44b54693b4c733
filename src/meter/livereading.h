#pragma once

#include "meter/commandframe.h"

// The live reply to 'A', 32 bytes framed by 0x02 (byte 0) and 0x03 (byte 31):
//   byte 1       bit 0 REC, bit 2 MAX/MIN mode, bit 3 A weighting (0 = C), bit 4 FAST (0 = SLOW),
//                bit 6 under range, bit 7 over range
//   byte 2       bit 4 memory full
//   byte 3       range: 0x11 30-90 dB, 0x22 50-110 dB, 0x44 70-130 dB, 0x88 30-130 dB
//   byte 4       MAX/MIN state: 0x00 off, 0x11 MAX, 0x22 MIN, 0x44 MAX and MIN alternating
//   bytes 5-6    level, tenths of a dB, high byte first
//   bytes 11-12  MAX level;  bytes 13-14  MIN level
//   bytes 15-17  the meter's clock: seconds, minutes, hours (BCD)
//   bytes 19-21  the meter's date: month, day, year within 2000-2099 (BCD)
//   byte 30      the sequence counter of the request
struct LiveReading
{
    static constexpr quint8 Range30To90 = 0x11;
    static constexpr quint8 Range50To110 = 0x22;
    static constexpr quint8 Range70To130 = 0x44;
    static constexpr quint8 Range30To130 = 0x88;
    static constexpr quint8 MaxMinOff = 0x00;
    static constexpr quint8 MaxShown = 0x11;
    static constexpr quint8 MinShown = 0x22;
    static constexpr quint8 MaxMinAlternating = 0x44;

    bool recording = false;
    bool maxMinActive = false;
    bool weightingA = false;
    bool fast = false;
    bool under = false;
    bool over = false;
    bool memoryFull = false;
    quint8 range = 0;
    quint8 maxMinState = 0;
    quint16 level = 0; // tenths of a dB
    quint16 maxLevel = 0;
    quint16 minLevel = 0;
    quint8 clockSeconds = 0; // BCD
    quint8 clockMinutes = 0;
    quint8 clockHours = 0;
    quint8 dateMonth = 0; // BCD
    quint8 dateDay = 0;
    quint8 dateYear = 0;

    // True when the reply is framed as a live reply (0x02 first, 0x03 last).
    static bool isFramed(const ReplyReport &reply);
    // The fields of a reply; the caller checks the framing first.
    static LiveReading decode(const ReplyReport &reply);

    // The level the meter displays: MAX in MAX mode, MIN in MIN mode, the level otherwise.
    quint16 displayedLevel() const;
    // The program's live level in dB: the displayed level times 0.1.
    float currentLevel() const { return static_cast<float>(displayedLevel()) * 0.1f; }
};
