#include "files/measurementjournal.h"

#include <QtEndian>

#include <cmath>
#include <cstring>

namespace MeasurementJournal {

namespace {

constexpr char Magic[8] = { 'A', 'U', 'D', 'X', 'J', 'R', 'N', '1' };
constexpr quint16 Version = 1;

quint16 crc(const char *data, qsizetype size)
{
    return qChecksum(QByteArrayView(data, size), Qt::ChecksumIso3309);
}

template<typename T> void put(char *at, T value)
{
    if constexpr (std::is_floating_point_v<T>) {
        using Bits = std::conditional_t<sizeof(T) == 8, quint64, quint32>;
        Bits bits;
        std::memcpy(&bits, &value, sizeof bits);
        qToLittleEndian(bits, at);
    } else {
        qToLittleEndian(value, at);
    }
}

template<typename T> T get(const char *at)
{
    if constexpr (std::is_floating_point_v<T>) {
        using Bits = std::conditional_t<sizeof(T) == 8, quint64, quint32>;
        const Bits bits = qFromLittleEndian<Bits>(at);
        T value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    } else {
        return qFromLittleEndian<T>(at);
    }
}

// Ends a record: its sequence number and the check of everything before the check.
void seal(QByteArray &record, quint32 sequence)
{
    char *d = record.data();
    const qsizetype n = record.size();
    put<quint16>(d + n - 4, quint16(sequence & 0xFFFF));
    put<quint16>(d + n - 2, crc(d, n - 2));
}

bool sealed(const char *record, qsizetype size, quint32 sequence)
{
    return get<quint16>(record + size - 4) == quint16(sequence & 0xFFFF)
        && get<quint16>(record + size - 2) == crc(record, size - 2);
}

} // namespace

int recordSize(Kind kind)
{
    return kind == Kind::Leq ? LeqRecordSize : RealTimeRecordSize;
}

QByteArray headerBytes(const Header &header)
{
    QByteArray bytes(HeaderSize, '\0');
    char *d = bytes.data();
    std::memcpy(d, Magic, sizeof Magic);
    put<quint16>(d + 8, Version);
    put<quint16>(d + 10, quint16(header.kind));
    put<quint32>(d + 12, quint32(recordSize(header.kind)));
    put<double>(d + 16, header.start);
    put<double>(d + 24, header.parameter);
    put<quint32>(d + 32, header.planned);
    put<quint16>(d + 46, crc(d, 46));
    return bytes;
}

QByteArray recordBytes(const Point &point, quint32 sequence)
{
    QByteArray record(RealTimeRecordSize, '\0');
    put<double>(record.data(), point.x);
    put<float>(record.data() + 8, point.level);
    seal(record, sequence);
    return record;
}

QByteArray recordBytes(const Second &second, quint32 sequence)
{
    QByteArray record(LeqRecordSize, '\0');
    put<double>(record.data(), second.time);
    put<float>(record.data() + 8, second.spl);
    put<float>(record.data() + 12, second.leq);
    put<quint16>(record.data() + 16, second.readings);
    seal(record, sequence);
    return record;
}

ReadResult read(const QByteArray &bytes)
{
    const char *d = bytes.constData();
    if (bytes.size() < HeaderSize || std::memcmp(d, Magic, sizeof Magic) != 0)
        return { std::nullopt, QStringLiteral("it is not a measurement journal") };
    if (get<quint16>(d + 46) != crc(d, 46))
        return { std::nullopt, QStringLiteral("its header is damaged") };
    if (get<quint16>(d + 8) != Version)
        return { std::nullopt, QStringLiteral("it was written by another version of Audexa") };
    const quint16 kind = get<quint16>(d + 10);
    if (kind != quint16(Kind::RealTime) && kind != quint16(Kind::Leq))
        return { std::nullopt, QStringLiteral("it holds an unknown kind of measurement") };
    Contents c;
    c.header.kind = Kind(kind);
    const int size = recordSize(c.header.kind);
    if (get<quint32>(d + 12) != quint32(size))
        return { std::nullopt, QStringLiteral("its records have an unknown size") };
    c.header.start = get<double>(d + 16);
    c.header.parameter = get<double>(d + 24);
    c.header.planned = get<quint32>(d + 32);
    if (!std::isfinite(c.header.start) || !std::isfinite(c.header.parameter))
        return { std::nullopt, QStringLiteral("its header is damaged") };

    qsizetype at = HeaderSize;
    quint32 sequence = 0;
    while (bytes.size() - at >= size && sealed(d + at, size, sequence)) {
        const char *r = d + at;
        // The word after an LEQ record's readings is always written as zero; a record with
        // anything else there was not written by this program, and ends the journal like a
        // torn one, so that what is recovered is exactly what was written.
        if (c.header.kind == Kind::Leq && get<quint16>(r + 18) != 0)
            break;
        if (c.header.kind == Kind::RealTime)
            c.points.push_back({ get<double>(r), get<float>(r + 8) });
        else
            c.seconds.push_back(
                { get<double>(r), get<float>(r + 8), get<float>(r + 12), get<quint16>(r + 16) });
        at += size;
        ++sequence;
    }
    c.droppedBytes = bytes.size() - at;
    return { std::move(c), {} };
}

} // namespace MeasurementJournal
