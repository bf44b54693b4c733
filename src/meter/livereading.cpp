#include "meter/livereading.h"

namespace {
quint16 word(const ReplyReport &reply, std::size_t high)
{
    return static_cast<quint16>((reply[high] << 8) | reply[high + 1]);
}
bool bit(quint8 byte, int n)
{
    return (byte >> n) & 1;
}
} // namespace

bool LiveReading::isFramed(const ReplyReport &reply)
{
    return reply[0] == CommandFrame::Start && reply[31] == CommandFrame::End;
}

LiveReading LiveReading::decode(const ReplyReport &reply)
{
    LiveReading r;
    const quint8 flags = reply[1];
    r.recording = bit(flags, 0);
    r.maxMinActive = bit(flags, 2);
    r.weightingA = bit(flags, 3);
    r.fast = bit(flags, 4);
    r.under = bit(flags, 6);
    r.over = bit(flags, 7);
    r.memoryFull = bit(reply[2], 4);
    r.range = reply[3];
    r.maxMinState = reply[4];
    r.level = word(reply, 5);
    r.maxLevel = word(reply, 11);
    r.minLevel = word(reply, 13);
    r.clockSeconds = reply[15];
    r.clockMinutes = reply[16];
    r.clockHours = reply[17];
    r.dateMonth = reply[19];
    r.dateDay = reply[20];
    r.dateYear = reply[21];
    return r;
}

quint16 LiveReading::displayedLevel() const
{
    if (maxMinActive && maxMinState == MaxShown)
        return maxLevel;
    if (maxMinActive && maxMinState == MinShown)
        return minLevel;
    return level;
}
