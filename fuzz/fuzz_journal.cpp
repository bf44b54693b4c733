// Arbitrary bytes as a measurement journal, read as the start-up recovery reads one.
// Checked: bytes that are refused give a reason; accepted ones give whole records only, and
// the records read, those skipped and the dropped end add up to the bytes after the header;
// gaps stand only for skipped records; when none was skipped, writing the records read back
// gives exactly the bytes they were read from.

#include "files/measurementjournal.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const MeasurementJournal::ReadResult read = MeasurementJournal::read(bytes);
    if (!read.contents) {
        if (read.error.isEmpty())
            std::abort();
        return 0;
    }
    const MeasurementJournal::Contents &c = *read.contents;
    const bool realTime = c.header.kind == MeasurementJournal::Kind::RealTime;
    const qsizetype records = qsizetype(realTime ? c.points.size() : c.seconds.size());
    if ((realTime ? c.seconds.size() : c.points.size()) != 0)
        std::abort();
    const qsizetype recordSize = MeasurementJournal::recordSize(c.header.kind);
    const qsizetype skipped = c.damaged + c.misplaced;
    if (c.gaps < 0 || c.gaps > skipped || c.records() != records - c.gaps || c.droppedBytes < 0
        || c.droppedBytes >= recordSize
        || MeasurementJournal::HeaderSize + (c.records() + skipped) * recordSize + c.droppedBytes
            != bytes.size())
        std::abort();
    if (skipped > 0)
        return 0;
    QByteArray rewritten = bytes.left(MeasurementJournal::HeaderSize);
    for (qsizetype i = 0; i < records; ++i)
        rewritten += realTime
            ? MeasurementJournal::recordBytes(c.points[std::size_t(i)], quint32(i))
            : MeasurementJournal::recordBytes(c.seconds[std::size_t(i)], quint32(i));
    if (bytes.left(rewritten.size()) != rewritten)
        std::abort();
    return 0;
}
