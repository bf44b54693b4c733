// Arbitrary bytes as what hidapi hands the meter transport while it assembles 32-byte replies
// from input reports. Byte 0: bit 0 hid_init fails, bit 1 hid_open finds no meter. Then one
// round per reply: a control byte (bits 0-1 the read time-out: 1000 ms, 0 ms, 1 ms, or -5 ms;
// bits 2-7 the reply length asked for, 1 to 32, with 0 and above 32 meaning 32), then the input
// reports until the reply is read: a size byte, 0 for a time-out, 0xFF for a device error,
// otherwise a report of that many bytes that follow (cut, as hidapi does, to the read buffer,
// so that reports longer than 32 bytes come). A used-up input times out.
// Checked: the documented results (0 all came, 1 some, 2 none, 3 device error, 4 not open; an
// open that fails says so); the reply holds the reports' bytes in order; nothing beyond the length
// asked for is written (the reply lies inside a larger buffer of guard bytes); no report is read
// once the reply is whole, so none is taken from the next reply; the time-out handed to hidapi
// is never negative nor longer than the one set.

#include "meter/hidapitable.h"
#include "meter/hidmeterusb.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int ReplySize = 32;
constexpr int Guard = 64;
constexpr quint8 Untouched = 0xA7;
constexpr int TimeoutsMs[] = { 1000, 0, 1, -5 };

// The input and the round being read, for the functions in the table.
struct Input
{
    const uint8_t *data = nullptr;
    size_t size = 0;
    size_t at = 0;
    bool initFails = false;
    bool openFails = false;
    int timeoutMs = 0; // as set, never below 0
    int length = 0; // the reply length asked for in this round
    QByteArray handed; // the report bytes handed out in this round
    bool error = false; // a read of this round reported a device error
};
Input input;

alignas(16) unsigned char deviceMemory[16];
hid_device *device()
{
    return reinterpret_cast<hid_device *>(deviceMemory);
}

int fuzzInit()
{
    return input.initFails ? -1 : 0;
}

hid_device *fuzzOpen(unsigned short, unsigned short, const wchar_t *)
{
    return input.openFails ? nullptr : device();
}

void fuzzClose(hid_device *d)
{
    if (d != device())
        std::abort();
}

int fuzzWrite(hid_device *, const unsigned char *, size_t length)
{
    return static_cast<int>(length);
}

int fuzzReadTimeout(hid_device *d, unsigned char *data, size_t length, int milliseconds)
{
    if (d != device() || length == 0 || input.handed.size() >= input.length || input.error
        || milliseconds < 0 || milliseconds > input.timeoutMs)
        std::abort();
    if (input.at >= input.size)
        return 0;
    const uint8_t reportSize = input.data[input.at++];
    if (reportSize == 0)
        return 0;
    if (reportSize == 0xFF) {
        input.error = true;
        return -1;
    }
    const size_t n = std::min({ size_t(reportSize), length, input.size - input.at });
    std::memcpy(data, input.data + input.at, n);
    input.handed.append(reinterpret_cast<const char *>(input.data + input.at), qsizetype(n));
    input.at += n;
    return static_cast<int>(n);
}

int fuzzSerialNumber(hid_device *, wchar_t *, size_t)
{
    return -1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    input = Input();
    input.data = data;
    input.size = size;
    input.at = 1;
    input.initFails = data[0] & 0x01;
    input.openFails = data[0] & 0x02;

    HidMeterUsb usb(
        { &fuzzInit, &fuzzOpen, &fuzzClose, &fuzzWrite, &fuzzReadTimeout, &fuzzSerialNumber });
    const int opened = usb.UsbOpen(MeterUsb::VendorId, MeterUsb::ProductId);
    const bool open = !input.initFails && !input.openFails;
    if ((opened == 0) != open)
        std::abort();

    while (input.at < input.size) {
        const uint8_t control = input.data[input.at++];
        const int timeoutMs = TimeoutsMs[control & 0x03];
        const int asked = control >> 2;
        input.length = asked == 0 || asked > ReplySize ? ReplySize : asked;
        input.timeoutMs = std::max(0, timeoutMs);
        input.handed.clear();
        input.error = false;
        if (usb.UsbSetTimeouts(timeoutMs, timeoutMs) != (open ? 0 : HidMeterUsb::NotOpen))
            std::abort();

        std::array<quint8, Guard + ReplySize + Guard> buffer;
        buffer.fill(Untouched);
        const int result = usb.UsbReadReport(input.length, buffer.data() + Guard);
        if (!open) {
            if (result != HidMeterUsb::NotOpen)
                std::abort();
            continue;
        }

        // What came lands at the start of the reply; the rest of it, and everything around
        // it, keeps its bytes. After a device error only the bytes around the reply count.
        const qsizetype received = std::min<qsizetype>(input.handed.size(), input.length);
        int expected = HidMeterUsb::ReadNone;
        if (input.error)
            expected = HidMeterUsb::DeviceError;
        else if (received == input.length)
            expected = 0;
        else if (received > 0)
            expected = HidMeterUsb::ReadShort;
        std::array<quint8, Guard + ReplySize + Guard> reply;
        reply.fill(Untouched);
        std::memcpy(reply.data() + Guard, input.handed.constData(), size_t(received));
        const auto first = std::size_t(Guard);
        const auto end = std::size_t(Guard + input.length);
        const auto differs = [&](std::size_t from, std::size_t to) {
            return !std::equal(buffer.begin() + from, buffer.begin() + to, reply.begin() + from);
        };
        if (result != expected || differs(0, first) || differs(end, buffer.size())
            || (!input.error && differs(first, end)))
            std::abort();
    }
    usb.UsbClose();
    return 0;
}
