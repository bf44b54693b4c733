#pragma once

#include "base/clock.h"
#include "logger/memorydecoder.h"

#include <cstdlib>

// What the targets that run the decoder share: a clock that stands still, so a start time that
// falls back on "now" is the same every run, and the decoder's result codes.

class FixedClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 8), QTime(10, 30, 0)); }
    qint64 tickCountMs() const override { return 0; }
    void spinWait(int) override { }
};

// True when the decoder replaced the model (codes 0, 33, 34, 35), false when it must have left it
// alone (31, 32); any other code aborts.
inline bool replacedModel(int result)
{
    switch (result) {
    case MemoryDecoder::NoDataSets:
    case MemoryDecoder::TooManySets:
        return false;
    case MemoryDecoder::Decoded:
    case MemoryDecoder::BadMarker:
    case MemoryDecoder::BeyondLastAddress:
    case MemoryDecoder::StartTimeFailed:
        return true;
    default:
        std::abort();
    }
}
