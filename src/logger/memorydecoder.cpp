// The data logger memory, as the meter hands it over (offsets from the start of the image):
//
//   offset  size  meaning
//   9       2     number of data sets N, big-endian
//   11      3     last used address, big-endian (the caller passes it as lastAddress)
//   256     ...   the first data set; each further set follows the previous one directly
//
// A data set at offset s:
//
//   s + 0        2   start marker A5 5A
//   s + 2        1   not used
//   s + 3..8     6   start year (2000 + value), month, day, hour, minute, second, each BCD
//   s + 9        1   not used
//   s + 10       1   recording interval in seconds; above 60 means 2
//   s + 11       3   number of readings n, big-endian
//   s + 14       1   flags: bit 0 FAST, bit 1 A weighting, bits 2-3 range
//   s + 15       1   not used
//   s + 16       2n  readings: level = ((hi & 0x0F) * 256 + lo) * 0.1 dB; outside 20.0 to
//                    140.0 dB a level counts as 0
//   s + 16 + 2n  2   end marker 5A A5; its second byte is the set's end offset e
//
// The next set starts at e + 1. When the count's first byte is the last byte of a 256-byte page
// ((s + 11) mod 256 = 255) the count field is not used: the end is found by scanning for the end
// marker. A header count whose end marker is not where it says is corrected the same way. The
// scan looks at s + 16, s + 18, ... up to lastAddress.
//
// A start time byte that is not two decimal digits takes the current time's component; an
// impossible date or time gives the current time whole. The current time is read from the clock
// once per decoding, and only when a start time needs it.
//
// Bytes outside the image. The positions the rules compute (an end from a header count, the next
// set's start, a scan up to lastAddress) are not bounded by the image's length, and lastAddress
// may be anything at all. The decoder never reads outside the image; instead:
//  - A byte beyond the image reads as 0, as in the temporary file, whose unsourced bytes are
//    zeros. A marker byte there is therefore wrong (code 33), a scan finds nothing there and
//    stops at the image's end, and a set header beyond the image gives a set with no readings,
//    interval 0, flags 0 and the current time (its month reads as 0, an impossible date).
//  - A set's readings stop at the image's end: its count is cut to the readings that lie wholly
//    inside the image, so that the model never holds a reading the image does not have and
//    memory is never allocated from a header count. Its end offset stays where the header puts
//    it, so the set still reports 33 (its end marker is missing) and, beyond lastAddress, 34;
//    the following sets start beyond the image and appear as empty sets. The model keeps one
//    entry per data set in every per-set list, N entries.
//  - An image shorter than 11 bytes holds no set count: N reads as 0 (code 31).
//  - Bytes at 1 GiB and beyond count as outside the image, so that every offset fits an int.
//
// The scans cost one pass over the image at most: the result of the last scan is kept for each
// parity, and since sets only move forward a later scan starting before the marker found (or
// after a scan that found nothing) has the same answer.
//
// Code 35 (storing a start time failed) cannot occur here: a start time is a double built from a
// valid date and time, and appending it cannot fail. The code stays defined for the callers.

#include "logger/memorydecoder.h"

#include "base/clock.h"
#include "base/datetimedays.h"
#include "logger/loggerdata.h"
#include "meter/bcd.h"

#include <algorithm>
#include <optional>

namespace {

constexpr int MaxSets = 4000;
constexpr qint64 FirstSet = 256;
constexpr qint64 HeaderSize = 16;
constexpr qint64 MaxImageBytes = qint64(1) << 30;
constexpr quint8 StartMarker0 = 0xA5;
constexpr quint8 StartMarker1 = 0x5A;
constexpr quint8 EndMarker0 = 0x5A;
constexpr quint8 EndMarker1 = 0xA5;

class Memory
{
public:
    Memory(const QByteArray &image, int lastAddress)
        : m_data(reinterpret_cast<const quint8 *>(image.constData()))
        , m_size(std::min<qint64>(image.size(), MaxImageBytes))
        , m_scanLast(std::min<qint64>(lastAddress, m_size - 2))
    {
    }

    qint64 size() const { return m_size; }
    const quint8 *data() const { return m_data; }
    quint8 at(qint64 p) const { return p >= 0 && p < m_size ? m_data[p] : 0; }
    qint64 count24(qint64 p) const
    {
        return qint64(at(p)) << 16 | qint64(at(p + 1)) << 8 | at(p + 2);
    }
    bool endMarkerAt(qint64 e) const { return at(e - 1) == EndMarker0 && at(e) == EndMarker1; }

    // The first p = from, from + 2, ... up to lastAddress with an end marker at p, p + 1; -1 when
    // there is none.
    qint64 findEndMarker(qint64 from)
    {
        Scan &last = m_scans[from & 1];
        if (last.from >= 0 && from >= last.from && (last.found < 0 || from <= last.found))
            return last.found;
        qint64 found = -1;
        for (qint64 p = from; p <= m_scanLast; p += 2) {
            if (m_data[p] == EndMarker0 && m_data[p + 1] == EndMarker1) {
                found = p;
                break;
            }
        }
        last = { from, found };
        return found;
    }

private:
    struct Scan
    {
        qint64 from = -1;
        qint64 found = -1;
    };
    const quint8 *m_data;
    qint64 m_size;
    qint64 m_scanLast;
    Scan m_scans[2];
};

// The current local time, read from the clock the first time a start time needs it.
class Now
{
public:
    explicit Now(const Clock &clock)
        : m_clock(clock)
    {
    }
    const QDateTime &get()
    {
        if (!m_now)
            m_now = m_clock.now();
        return *m_now;
    }

private:
    const Clock &m_clock;
    std::optional<QDateTime> m_now;
};

// The start time of the set whose header is at s. A BCD byte that is not two decimal digits takes
// the current time's component; an impossible date or time gives the current time whole.
double startTime(const Memory &memory, qint64 s, Now &now)
{
    int value[6];
    for (int field = 0; field < 6; ++field) {
        const std::optional<int> bcd = Bcd::toInt(memory.at(s + 3 + field));
        if (bcd) {
            value[field] = *bcd + (field == 0 ? 2000 : 0);
            continue;
        }
        const QDateTime &current = now.get();
        switch (field) {
        case 0:
            value[field] = current.date().year();
            break;
        case 1:
            value[field] = current.date().month();
            break;
        case 2:
            value[field] = current.date().day();
            break;
        case 3:
            value[field] = current.time().hour();
            break;
        case 4:
            value[field] = current.time().minute();
            break;
        default:
            value[field] = current.time().second();
            break;
        }
    }
    if (!QDate::isValid(value[0], value[1], value[2])
        || !QTime::isValid(value[3], value[4], value[5]))
        return DateTimeDays::fromDateTime(now.get());
    return DateTimeDays::fromDateTime(QDate(value[0], value[1], value[2]),
                                      QTime(value[3], value[4], value[5]));
}

// Where set s ends (the offset of its end marker's second byte) and how many readings it has,
// before the count is cut to the image.
struct SetBounds
{
    qint64 end;
    qint64 count;
};

SetBounds setBounds(Memory &memory, qint64 s, int lastAddress)
{
    const auto countTo = [s](qint64 end) {
        return std::max<qint64>(0, (end - s - 17) / 2);
    };
    if ((s + 11) % 256 == 255) {
        const qint64 p = memory.findEndMarker(s + HeaderSize);
        const qint64 end = p >= 0 ? p + 1 : s + HeaderSize;
        return { end, countTo(end) };
    }
    const qint64 n = memory.count24(s + 11);
    const qint64 end = s + 17 + 2 * n;
    if (end <= lastAddress && memory.endMarkerAt(end))
        return { end, n };
    const qint64 p = memory.findEndMarker(s + HeaderSize);
    if (p >= 0)
        return { p + 1, countTo(p + 1) };
    return { end, n };
}

// The first pass: every set's bounds, start time, flags and interval, and the result code.
int decodeSets(Memory &memory, int sets, int lastAddress, const Clock &clock, LoggerData &out)
{
    Now now(clock);
    int result = MemoryDecoder::Decoded;
    qint64 s = FirstSet;
    for (int i = 0; i < sets; ++i) {
        const SetBounds bounds = setBounds(memory, s, lastAddress);
        const qint64 inImage = std::max<qint64>(0, (memory.size() - s - HeaderSize) / 2);
        const qint64 count = std::min(bounds.count, inImage);
        const qint64 e = bounds.end;

        out.setCounts.push_back(static_cast<int>(count));
        out.setHeaderOffsets.push_back(static_cast<int>(s));
        out.setEndOffsets.push_back(static_cast<int>(e));

        if (memory.at(s) != StartMarker0 || memory.at(s + 1) != StartMarker1
            || !memory.endMarkerAt(e))
            result = MemoryDecoder::BadMarker;
        if (e > lastAddress)
            result = MemoryDecoder::BeyondLastAddress;

        out.setStartTimes.push_back(startTime(memory, s, now));
        out.setFlags.push_back(memory.at(s + 14));
        const int interval = memory.at(s + 10);
        out.setIntervals.push_back(interval > 60 ? 2 : interval);
        s = e + 1;
    }
    return result;
}

// The second pass: every set's readings, their times, and the set's maximum, minimum and average.
void decodeReadings(const Memory &memory, LoggerData &out)
{
    qint64 total = 0;
    for (const int count : out.setCounts)
        total += count;
    out.levels.resize(std::size_t(total));
    out.levelTimes.resize(std::size_t(total));

    const quint8 *data = memory.data();
    float *levels = out.levels.data();
    double *times = out.levelTimes.data();
    for (std::size_t i = 0; i < out.setCounts.size(); ++i) {
        const int count = out.setCounts[i];
        const double start = out.setStartTimes[i];
        const double step = out.setIntervals[i] / DateTimeDays::SecondsPerDay;
        // A set with readings lies inside the image; an empty one may start beyond it.
        const quint8 *reading = count > 0 ? data + out.setHeaderOffsets[i] + HeaderSize : data;
        float highest = -99999.0f;
        float lowest = 99999.0f;
        int maxIndex = 0;
        int minIndex = 0;
        double sum = 0.0;
        for (int k = 0; k < count; ++k, reading += 2) {
            const int raw = (reading[0] & 0x0F) << 8 | reading[1];
            const float level = raw < 200 || raw > 1400 ? 0.0f : static_cast<float>(raw * 0.1);
            levels[k] = level;
            times[k] = start + k * step;
            sum += level;
            if (level > highest) {
                highest = level;
                maxIndex = k;
            }
            if (level < lowest) {
                lowest = level;
                minIndex = k;
            }
        }
        levels += count;
        times += count;
        out.setMaxIndex.push_back(maxIndex);
        out.setMinIndex.push_back(minIndex);
        out.setAverages.push_back(count != 0 ? sum / count : sum);
    }
}

void clearForSets(LoggerData &out, int sets)
{
    const auto reset = [sets](auto &list) {
        list.clear();
        list.reserve(std::size_t(sets));
    };
    reset(out.setStartTimes);
    reset(out.setIntervals);
    reset(out.setCounts);
    reset(out.setFlags);
    reset(out.setHeaderOffsets);
    reset(out.setEndOffsets);
    reset(out.setMaxIndex);
    reset(out.setMinIndex);
    reset(out.setAverages);
    out.levels.clear();
    out.levelTimes.clear();
}

} // namespace

namespace MemoryDecoder {

int DecodeLoggerMemory(const QByteArray &image, int lastAddress, const Clock &clock,
                       LoggerData &out)
{
    Memory memory(image, lastAddress);
    const int sets = memory.at(9) << 8 | memory.at(10);
    if (sets == 0)
        return NoDataSets;
    if (sets > MaxSets)
        return TooManySets;

    // From here on the decoding always replaces the model, so it is built in place.
    clearForSets(out, sets);
    const int result = decodeSets(memory, sets, lastAddress, clock, out);
    decodeReadings(memory, out);
    return result;
}

} // namespace MemoryDecoder
