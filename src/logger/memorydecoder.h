#pragma once

#include <QByteArray>

class Clock;
struct LoggerData;

// Decodes the logger memory image into data sets.
namespace MemoryDecoder {

enum Result {
    Decoded = 0, // every data set decoded without fault
    NoDataSets = 31, // the set count is 0; nothing changed
    TooManySets = 32, // the set count is above 4000; nothing changed
    BadMarker = 33, // a set's start or end marker is wrong; decoding went on
    BeyondLastAddress = 34, // a set ends beyond lastAddress; decoding went on
    StartTimeFailed = 35, // a start time could not be stored; now was used; decoding went on
};

// DecodeLoggerMemory: on Decoded, BadMarker, BeyondLastAddress and StartTimeFailed replaces the
// whole of out; on NoDataSets and TooManySets leaves it as it was. Never reads outside image.
// clock gives "now" for the fallbacks of unreadable start times.
int DecodeLoggerMemory(const QByteArray &image, int lastAddress, const Clock &clock,
                       LoggerData &out);

} // namespace MemoryDecoder
