// Arbitrary bytes as a graph file (".ghf"), read as opening one does: the length field and the
// block it frames, then the block loaded into a chart that already holds a graph.
// Checked: a file shorter than 4 bytes or than its length field says is refused with the read
// error ("Stream read error" and its reason) and nothing else; an accepted file hands over exactly the bytes after the length field
// that it names, whatever follows them; a block the chart refuses leaves the chart exactly as
// it was and says why.

#include "chartfixture.h"
#include "files/graphfile.h"
#include "chart/chartblock.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const ChartModel original = ChartFixture::filledChart();
    const QByteArray file(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    const GraphFile::ReadResult read = GraphFile::fromBytes(file);
    std::uint64_t length = 0;
    if (size >= 4)
        length = std::uint64_t(data[0]) | std::uint64_t(data[1]) << 8 | std::uint64_t(data[2]) << 16
            | std::uint64_t(data[3]) << 24;
    const bool whole = size >= 4 && length <= size - 4;
    if (read.block.has_value() != whole)
        std::abort();
    if (!read.block) {
        if (!read.error.startsWith(QLatin1String("Stream read error")))
            std::abort();
        return 0;
    }
    if (!read.error.isEmpty() || *read.block != file.mid(4, qsizetype(length)))
        std::abort();

    ChartModel chart = original;
    QString error;
    if (!ChartBlock::load(*read.block, chart, &error)
        && (error.isEmpty() || !ChartFixture::unchanged(chart, original)))
        std::abort();
    return 0;
}
