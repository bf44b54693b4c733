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

    // Each record has its place; one that does not check out is skipped alone. Those between
    // two records read become gaps, their times shared out evenly between the two.
    const bool leq = c.header.kind == Kind::Leq;
    qsizetype at = HeaderSize;
    int skippedInRow = 0;
    bool anyRead = false;
    for (quint32 place = 0; bytes.size() - at >= size; ++place, at += size) {
        const char *r = d + at;
        // The word after an LEQ record's readings is always written as zero; a record with
        // anything else there was not written by this program, even when its check fits.
        if (get<quint16>(r + size - 2) != crc(r, size - 2) || (leq && get<quint16>(r + 18) != 0)) {
            ++c.damaged;
            ++skippedInRow;
            continue;
        }
        if (get<quint16>(r + size - 4) != quint16(place & 0xFFFF)) {
            ++c.misplaced;
            ++skippedInRow;
            continue;
        }
        const double time = get<double>(r);
        if (anyRead && skippedInRow > 0) {
            const double before = leq ? c.seconds.back().time : c.points.back().x;
            for (int k = 1; k <= skippedInRow; ++k) {
                const double between = before + (time - before) * k / (skippedInRow + 1);
                if (leq)
                    c.seconds.push_back({ between, 0.0f, 0.0f, 0 });
                else
                    c.points.push_back({ between, NoLevel });
            }
            c.gaps += skippedInRow;
        }
        skippedInRow = 0;
        anyRead = true;
        if (leq)
            c.seconds.push_back(
                { time, get<float>(r + 8), get<float>(r + 12), get<quint16>(r + 16) });
        else
            c.points.push_back({ time, get<float>(r + 8) });
    }
    c.droppedBytes = bytes.size() - at;
    return { std::move(c), {} };
}

int Contents::records() const
{
    return int(header.kind == Kind::Leq ? seconds.size() : points.size()) - gaps;
}

QString skippedText(const Contents &contents)
{
    const int skipped = contents.damaged + contents.misplaced;
    if (skipped == 0)
        return {};
    if (contents.misplaced == 0)
        return skipped == 1
            ? QStringLiteral("1 damaged record of its journal was left out.")
            : QStringLiteral("%1 damaged records of its journal were left out.").arg(skipped);
    if (contents.damaged == 0)
        return skipped == 1
            ? QStringLiteral("1 record of its journal was out of place and was left out.")
            : QStringLiteral("%1 records of its journal were out of place and were left out.")
                  .arg(skipped);
    return QStringLiteral("%1 records of its journal were left out: %2 damaged, %3 out of place.")
        .arg(skipped)
        .arg(contents.damaged)
        .arg(contents.misplaced);
}

} // namespace MeasurementJournal
