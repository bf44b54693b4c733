#include "logger/memorydownload.h"

#include "base/workprogress.h"
#include "meter/meterlink.h"
#include "meter/meterusb.h"

// The download on the wire, on the main window's command buffer (bytes 0, 1 and 6 set for each
// letter, the others as the buffer last held them) and reply buffer:
//
//   'P'  -> 32 bytes: memory addresses 0-31, framed 0x04 (byte 0) ... 0x05 (byte 31), with the
//           last used address in bytes 11-13, big-endian
//   'p'  -> the next 32 bytes of the memory; not checked
//   'q'     ends the transfer; no reply
//
// Only 'P' is followed by UsbAfterWrite. On success the device is left open; the next exchange
// closes it before it opens it again.

namespace {
constexpr int MemorySize = 131072;
constexpr int HeaderBlockSize = 256;
constexpr int BlockSize = 32;
constexpr int TimeoutMs = 1000;
constexpr quint8 HeaderStart = 0x04;
constexpr quint8 HeaderEnd = 0x05;

void append(QByteArray &image, const ReplyReport &reply)
{
    image.append(reinterpret_cast<const char *>(reply.data()), BlockSize);
}
} // namespace

int MemoryDownload::totalFor(int lastAddress)
{
    // 64 bits: lastAddress + 1 must not overflow for any int a caller passes.
    qint64 total = static_cast<qint64>(lastAddress) + 1;
    if (total > MemorySize || total < HeaderBlockSize)
        total = MemorySize;
    return static_cast<int>((total + BlockSize - 1) / BlockSize * BlockSize);
}

int MemoryDownload::ReadLoggerMemory(MeterLink &link, QByteArray &image, int &lastAddress,
                                     WorkProgress *progress)
{
    MeterUsb &usb = link.usb();
    usb.UsbClose();
    if (usb.UsbOpen(MeterUsb::VendorId, MeterUsb::ProductId) != 0)
        return OpenFailed;
    if (usb.UsbSetTimeouts(TimeoutMs, TimeoutMs) != 0)
        return TimeoutsFailed;

    if (link.writeCommand('P') != 0)
        return RequestWriteFailed;
    usb.UsbAfterWrite();
    if (link.readReply() != 0)
        return RequestReadFailed;
    const ReplyReport &reply = link.reply();
    if (reply[0] != HeaderStart || reply[31] != HeaderEnd)
        return RequestUnframed;

    lastAddress = (reply[11] << 16) | (reply[12] << 8) | reply[13];
    const int total = totalFor(lastAddress);
    if (progress)
        progress->start(total);
    int received = BlockSize;
    int remaining = total - BlockSize;
    image.reserve(image.size() + total);
    append(image, reply);

    int result = Done;
    while (remaining != 0) {
        if (link.writeCommand('p') != 0) {
            usb.UsbClose();
            result = BlockWriteFailed;
            break;
        }
        if (link.readReply() != 0) {
            usb.UsbClose();
            result = BlockReadFailed;
            break;
        }
        remaining -= BlockSize;
        received += BlockSize;
        append(image, reply);
        if (progress)
            progress->progressed(received);
    }
    if (result == Done && link.writeCommand('q') != 0)
        result = EndWriteFailed;

    if (progress)
        progress->finish();
    // A loop that failed in its first half counts as a failed loop rather than a failed block.
    if ((result == BlockWriteFailed || result == BlockReadFailed) && received < remaining)
        result = BlockLoopFailed;
    return result;
}
