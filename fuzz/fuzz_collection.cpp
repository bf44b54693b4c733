// Arbitrary bytes as a data set collection file (".rec"), through the path audexa-cli takes:
// the collection reader's checks, lastAddress from bytes 11-13, the decoder, and the companion's
// "sets" and "readings" output with the ISO times it prints for every data set and reading.
// Checked: a file is accepted exactly when it holds 14 bytes or more (and is not too large), and
// then whole and unchanged; lastAddress is a 24-bit address; the decoder returns one of its
// codes, leaves the model empty on codes 31 and 32, and otherwise keeps the model's invariants
// with one entry per data set the file's set count names and never more readings than the file
// has room for; every start time, and the time of every set's last reading, is a date-time the
// companion can print; "sets" and "readings" agree with the decoder on the code and print one
// line per data set and per reading.

#include "base/datetimedays.h"
#include "cli/clicommands.h"
#include "decoderchecks.h"
#include "files/datasetfile.h"
#include "logger/loggerdata.h"
#include "logger/memorydecoder.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool printable(double days)
{
    return DateTimeDays::isoText(days) != QLatin1String("invalid");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const FixedClock clock;
    const QByteArray file(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    const DataSetFile::ReadResult read = DataSetFile::collectionFromBytes(file);
    const bool fits = size >= 14 && size <= size_t(DataSetFile::MaximumCollectionSize);
    if (read.memory.has_value() != fits)
        std::abort();
    if (read.memory ? (*read.memory != file || !read.error.isEmpty()) : read.error.isEmpty())
        std::abort();
    const std::optional<int> lastAddress = DataSetFile::lastAddressOf(file);
    if (lastAddress.has_value() != (size >= 14)
        || (lastAddress && (*lastAddress < 0 || *lastAddress > 0xFFFFFF)))
        std::abort();
    if (!read.memory)
        return 0;

    LoggerData model;
    if (!replacedModel(
            MemoryDecoder::DecodeLoggerMemory(*read.memory, *lastAddress, clock, model))) {
        if (!(model == LoggerData())
            || CliCommands::sets(*read.memory, clock).status != CliCommands::NotDecoded)
            std::abort();
        return 0;
    }
    const int sets = data[9] << 8 | data[10];
    if (!model.invariantsHold() || model.setCount() != sets || model.levels.size() > size / 2)
        std::abort();
    for (int i = 0; i < sets; ++i) {
        const std::size_t s = std::size_t(i);
        const int count = model.setCounts[s];
        if (!printable(model.setStartTimes[s])
            || (count > 0
                && !printable(model.levelTimes[std::size_t(model.setOffset(i) + count - 1)])))
            std::abort();
    }
    const CliCommands::Output listed = CliCommands::sets(*read.memory, clock);
    // The result line and the header come before the sets.
    if (listed.status != CliCommands::Decoded || listed.out.count(QLatin1Char('\n')) != sets + 2
        || listed.out.contains(QLatin1String("invalid")))
        std::abort();
    // The readings' text only for smaller files: a full memory takes long to print, and the
    // decoder's side of those is checked above.
    if (model.levels.size() <= 4096) {
        const CliCommands::Output readings = CliCommands::readings(*read.memory, clock);
        if (readings.status != CliCommands::Decoded
            || readings.out.count(QLatin1Char('\n')) != qsizetype(model.levels.size()) + 1)
            std::abort();
    }
    return 0;
}
