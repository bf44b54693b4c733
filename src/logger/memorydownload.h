#pragma once

#include <QByteArray>

class MeterLink;
class WorkProgress;

// Reads the whole logger memory from the meter: 'P' answers with the first 32 bytes (framed
// 0x04 ... 0x05, lastAddress in bytes 11-13), each 'p' with the next 32 bytes, and 'q' ends the
// transfer. The progress (bytes received of the total) is reported through a WorkProgress.

namespace MemoryDownload {

enum Result {
    Done = 0,
    OpenFailed = 117,
    TimeoutsFailed = 118,
    RequestWriteFailed = 119, // writing 'P'
    RequestReadFailed = 120, // reading the reply to 'P'
    RequestUnframed = 121, // the reply to 'P' is not framed by 0x04 and 0x05
    BlockWriteFailed = 123, // writing a 'p'
    BlockReadFailed = 124, // reading a block
    EndWriteFailed = 125, // writing 'q'
    BlockLoopFailed = 126, // the block loop failed while fewer bytes had come than remained
};

// The bytes to read for a lastAddress: lastAddress + 1, or the whole 131072 bytes when that is
// above 131072 or below 256, rounded up to a multiple of 32.
int totalFor(int lastAddress);

// ReadLoggerMemory: appends every 32-byte reply to image in order and sets lastAddress.
// Returns Done or one of the codes above. progress may be null.
int ReadLoggerMemory(MeterLink &link, QByteArray &image, int &lastAddress, WorkProgress *progress);

} // namespace MemoryDownload
