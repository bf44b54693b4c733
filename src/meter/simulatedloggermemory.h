#pragma once

#include "meter/commandframe.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

// The simulated meter's data logger memory: 131,072 bytes laid out as the meter keeps them.
//
// Header block, addresses 0-255 (every other byte 0):
//   0        0x04
//   9-10     number of data sets N, big-endian
//   11-13    last used address, big-endian 24-bit; 255 while the memory holds no data set
//   31       0x05
// Data sets from address 256 on, back to back. A set at address s:
//   s+0..1   start marker A5 5A
//   s+2      0
//   s+3..8   start: year within the century, month, day, hour, minute, second, each BCD
//   s+9      0
//   s+10     recording interval in seconds
//   s+11..13 number of readings n, big-endian
//   s+14     flags: bit 0 FAST (clear SLOW), bit 1 A weighting (clear C), bits 2-3 range 0-3
//   s+15     0
//   s+16..   n readings of 2 bytes, hi lo: the level in tenths of a dB in the low 12 bits
//   s+16+2n  end marker 5A A5; s+17+2n is the set's last byte and the memory's last used address
// The next set starts at s+18+2n. A reading's high byte is at most 0x05 (140.0 dB), so a reading
// never looks like an end marker.
//
// The set being recorded is kept complete after every reading (its count and end marker, N and
// the last used address), so the memory reads as a valid image at any moment.
class SimulatedLoggerMemory
{
public:
    static constexpr int Size = 131072;
    static constexpr int FirstSetAddress = 256;
    static constexpr int EmptyLastAddress = FirstSetAddress - 1;
    static constexpr int BlockSize = 32;
    static constexpr int SetOverhead = 18; // header and end marker
    static constexpr int MaxSets = 4000;

    // One data set as seed() writes it.
    struct SeededSet
    {
        int address; // of its start marker
        QDateTime start;
        int interval; // seconds
        quint8 flags;
        int count;
        int levelOffset; // tenths of a dB added to the room's level: quiet office, factory
        // A day by a road: the level follows the clock, loud by day, quieter in the evening,
        // quiet at night (on top of levelOffset).
        bool followsTheDay = false;
    };

    SimulatedLoggerMemory();

    // An empty memory: the framed header block, no data set.
    void clear();
    // Fills the memory with the data sets of seededSets(); the seed drives their readings.
    void seed(quint32 seed);
    // The seeded layout, the same for every seed: seven sets with intervals 1, 2, 10, 60, 5, 1
    // and 10 s, every combination of weighting and response, all four ranges, from 5 to 8640
    // readings; the fourth starts where its count's first byte is the last byte of a 256-byte
    // page (start + 11 = 255 modulo 256); the seventh is a whole day from 07:00, for the
    // periods of a day and its Lden.
    static QList<SeededSet> seededSets();
    // Replaces the memory with image, cut or padded with zeros to Size. Recording continues after
    // the image's last used address (a value below 255 counts as an empty memory's).
    void load(const QByteArray &image);

    const QByteArray &bytes() const { return m_bytes; }
    int setCount() const;
    int lastAddress() const;
    // The 32 bytes from address on; zeros beyond the end of the memory.
    ReplyReport block(int address) const;

    // True when another data set fits: fewer than MaxSets sets and room for one reading.
    bool canBeginSet() const;
    // Starts a data set with no readings after the last one. False when it does not fit.
    bool beginSet(const QDateTime &start, int interval, quint8 flags);
    // Appends one reading to the set being recorded; false when the memory is full (the set
    // stays complete without it) or no set is being recorded.
    bool appendReading(quint16 tenths);
    // Ends the set being recorded; it is complete already.
    void finishSet() { m_openSet = -1; }
    bool isRecording() const { return m_openSet >= 0; }
    int recordedCount() const { return m_openCount; }

private:
    int readBig(int address, int bytes) const;
    void writeBig(int address, int bytes, int value);
    void putByte(int address, int value);
    void writeSetEnd();

    QByteArray m_bytes;
    int m_nextSet = FirstSetAddress; // where the next set starts
    int m_openSet = -1; // the address of the set being recorded
    int m_openCount = 0;
};
