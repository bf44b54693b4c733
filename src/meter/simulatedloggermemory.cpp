#include "meter/simulatedloggermemory.h"

#include "meter/bcd.h"
#include "meter/simulatedlevel.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int SetCountAddress = 9;
constexpr int LastAddressAddress = 11;
constexpr quint8 HeaderStart = 0x04;
constexpr quint8 HeaderEnd = 0x05;
constexpr quint8 MarkerA5 = 0xA5;
constexpr quint8 Marker5A = 0x5A;
constexpr int ReadingBytes = 2;
// The readings' levels stay where the meter can measure: 25.0 to 140.0 dB.
constexpr int LowestTenths = 250;
constexpr int HighestTenths = 1400;

// The index of the set whose count's first byte must be the last byte of a 256-byte page; the
// count of the set before it is chosen to put it there.
constexpr int PageBoundarySet = 3;

QDateTime at(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}
// What a day by a road adds to the room's level at an hour of the day, in tenths of a dB: the
// traffic by day (07:00 to 19:00), less of it in the evening, little at night.
int byTheClock(int hour)
{
    if (hour >= 7 && hour < 19)
        return -100;
    if (hour >= 19 && hour < 23)
        return -160;
    return -230;
}
} // namespace

SimulatedLoggerMemory::SimulatedLoggerMemory()
{
    clear();
}

void SimulatedLoggerMemory::clear()
{
    m_bytes = QByteArray(Size, '\0');
    putByte(0, HeaderStart);
    putByte(BlockSize - 1, HeaderEnd);
    writeBig(SetCountAddress, 2, 0);
    writeBig(LastAddressAddress, 3, EmptyLastAddress);
    m_nextSet = FirstSetAddress;
    m_openSet = -1;
    m_openCount = 0;
}

QList<SimulatedLoggerMemory::SeededSet> SimulatedLoggerMemory::seededSets()
{
    // A quiet office, an hour of traffic, a factory floor (its count puts the next set on a page
    // boundary), a night, a few readings, a long loud run, a day by a road.
    QList<SeededSet> sets {
        { 0, at(2007, 3, 15, 10, 30, 0), 1, 0x03, 600, -100 }, // FAST, A, 30-90 dB
        { 0, at(2007, 3, 15, 14, 0, 0), 2, 0x06, 1800, 0 }, // SLOW, A, 50-110 dB
        { 0, at(2007, 3, 16, 8, 0, 0), 10, 0x09, 360, 250 }, // FAST, C, 70-130 dB
        { 0, at(2007, 3, 17, 22, 0, 0), 60, 0x0C, 480, -150 }, // SLOW, C, 30-130 dB
        { 0, at(2007, 4, 2, 9, 15, 30), 5, 0x0F, 5, 0 }, // FAST, A, 30-130 dB
        { 0, at(2007, 4, 2, 12, 0, 0), 1, 0x0A, 3000, 200 }, // SLOW, A, 70-130 dB
        { 0, at(2007, 4, 3, 7, 0, 0), 10, 0x02, 8640, 0, true }, // SLOW, A, 30-90 dB
    };
    int address = FirstSetAddress;
    for (int i = 0; i < sets.size(); ++i) {
        SeededSet &set = sets[i];
        set.address = address;
        if (i + 1 == PageBoundarySet) {
            while ((address + SetOverhead + ReadingBytes * set.count + 11) % 256 != 255)
                ++set.count;
        }
        address += SetOverhead + ReadingBytes * set.count;
    }
    return sets;
}

void SimulatedLoggerMemory::seed(quint32 seed)
{
    clear();
    SimulatedLevel level(seed);
    for (const SeededSet &set : seededSets()) {
        beginSet(set.start, set.interval, set.flags);
        const bool fast = set.flags & 0x01;
        const bool weightingA = set.flags & 0x02;
        for (int k = 0; k < set.count; ++k) {
            const int hour = set.start.time().hour() + k * set.interval / 3600;
            const int tenths = level.step(weightingA, fast) + set.levelOffset
                + (set.followsTheDay ? byTheClock(hour % 24) : 0);
            appendReading(static_cast<quint16>(std::clamp(tenths, LowestTenths, HighestTenths)));
        }
        finishSet();
    }
}

void SimulatedLoggerMemory::load(const QByteArray &image)
{
    m_bytes = QByteArray(Size, '\0');
    std::memcpy(m_bytes.data(), image.constData(),
                static_cast<std::size_t>(std::min<qsizetype>(image.size(), Size)));
    m_openSet = -1;
    m_openCount = 0;
    m_nextSet = std::max(lastAddress() + 1, static_cast<int>(FirstSetAddress));
}

int SimulatedLoggerMemory::setCount() const
{
    return readBig(SetCountAddress, 2);
}

int SimulatedLoggerMemory::lastAddress() const
{
    return readBig(LastAddressAddress, 3);
}

ReplyReport SimulatedLoggerMemory::block(int address) const
{
    ReplyReport reply {};
    for (int i = 0; i < BlockSize; ++i) {
        const int at = address + i;
        if (at >= 0 && at < Size)
            reply[static_cast<std::size_t>(i)] = static_cast<quint8>(m_bytes[at]);
    }
    return reply;
}

bool SimulatedLoggerMemory::canBeginSet() const
{
    return setCount() < MaxSets && m_nextSet <= Size - SetOverhead - ReadingBytes;
}

bool SimulatedLoggerMemory::beginSet(const QDateTime &start, int interval, quint8 flags)
{
    finishSet();
    if (!canBeginSet())
        return false;
    const int s = m_nextSet;
    const QDate date = start.date();
    const QTime time = start.time();
    putByte(s, MarkerA5);
    putByte(s + 1, Marker5A);
    putByte(s + 2, 0);
    putByte(s + 3, Bcd::fromInt(date.year() % 100));
    putByte(s + 4, Bcd::fromInt(date.month()));
    putByte(s + 5, Bcd::fromInt(date.day()));
    putByte(s + 6, Bcd::fromInt(time.hour()));
    putByte(s + 7, Bcd::fromInt(time.minute()));
    putByte(s + 8, Bcd::fromInt(time.second()));
    putByte(s + 9, 0);
    putByte(s + 10, interval);
    putByte(s + 14, flags);
    putByte(s + 15, 0);
    m_openSet = s;
    m_openCount = 0;
    writeBig(SetCountAddress, 2, setCount() + 1);
    writeSetEnd();
    return true;
}

bool SimulatedLoggerMemory::appendReading(quint16 tenths)
{
    if (!isRecording())
        return false;
    const int p = m_openSet + 16 + ReadingBytes * m_openCount;
    if (p + ReadingBytes + 2 > Size)
        return false; // the reading and the end marker after it do not fit
    putByte(p, (tenths >> 8) & 0x0F);
    putByte(p + 1, tenths & 0xFF);
    ++m_openCount;
    writeSetEnd();
    return true;
}

// The open set's count, its end marker after the last reading, and the header block's last used
// address; the next set starts after the marker.
void SimulatedLoggerMemory::writeSetEnd()
{
    const int end = m_openSet + 16 + ReadingBytes * m_openCount;
    writeBig(m_openSet + 11, 3, m_openCount);
    putByte(end, Marker5A);
    putByte(end + 1, MarkerA5);
    writeBig(LastAddressAddress, 3, end + 1);
    m_nextSet = end + 2;
}

int SimulatedLoggerMemory::readBig(int address, int bytes) const
{
    int value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | static_cast<quint8>(m_bytes[address + i]);
    return value;
}

void SimulatedLoggerMemory::writeBig(int address, int bytes, int value)
{
    for (int i = bytes - 1; i >= 0; --i) {
        putByte(address + i, value & 0xFF);
        value >>= 8;
    }
}

void SimulatedLoggerMemory::putByte(int address, int value)
{
    m_bytes[address] = static_cast<char>(static_cast<quint8>(value));
}
