// Arbitrary logger memory images, with an arbitrary lastAddress, through the decoder: the first
// four input bytes are lastAddress (little-endian, so negative and huge values occur), the rest
// is the image. The decoder must never read outside the image, must keep the model's invariants,
// must leave the model alone on codes 31 and 32, and must never hold more readings than the
// image has room for.

#include "decoderchecks.h"
#include "logger/loggerdata.h"
#include "logger/memorydecoder.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

LoggerData previousModel()
{
    LoggerData data;
    data.setStartTimes = { 39156.4375 };
    data.setIntervals = { 1 };
    data.setCounts = { 3 };
    data.setFlags = { 0x02 };
    data.setHeaderOffsets = { 256 };
    data.setEndOffsets = { 279 };
    data.setMaxIndex = { 2 };
    data.setMinIndex = { 0 };
    data.setAverages = { 30.1 };
    data.levels = { 30.0f, 30.1f, 30.2f };
    data.levelTimes = { 39156.4375, 39156.4375 + 1 / 86400.0, 39156.4375 + 2 / 86400.0 };
    return data;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const FixedClock clock;
    static const LoggerData before = previousModel();
    if (!before.invariantsHold())
        std::abort();

    std::int32_t lastAddress = 0;
    const size_t head = size < 4 ? size : 4;
    std::uint32_t raw = 0;
    for (size_t i = 0; i < head; ++i)
        raw |= std::uint32_t(data[i]) << (8 * i);
    std::memcpy(&lastAddress, &raw, sizeof lastAddress);
    const QByteArray image(reinterpret_cast<const char *>(data + head),
                           static_cast<qsizetype>(size - head));

    LoggerData model = before;
    if (!replacedModel(MemoryDecoder::DecodeLoggerMemory(image, lastAddress, clock, model))) {
        if (!(model == before))
            std::abort();
        return 0;
    }
    if (!model.invariantsHold() || model.setCount() < 1 || model.setCount() > 4000
        || model.levels.size() > size_t(image.size()) / 2)
        std::abort();
    return 0;
}
