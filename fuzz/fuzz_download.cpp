// Arbitrary bytes as the meter's side of a logger memory download ('P', then 'p' until the
// memory is read, then 'q'). Byte 0 switches faults on: bit 0 the open fails, bit 1 setting the
// time-outs fails, bit 2 writing 'P' fails, bit 3 writing 'q' fails. Bytes 1-2 (big-endian)
// number the 'p' whose write fails, from 0 (0xFFFF: none). Every read after that is answered
// with the next 32 bytes: the first with the reply to 'P', the others with the blocks. When
// fewer than 32 bytes are left the read fails: a short reply when some are left, a time-out
// when none are.
// Checked: the result is one of the download's codes; the image is a whole number of 32-byte
// blocks, never more than the meter's 131,072 bytes, and exactly the replies that were read, in
// order (nothing when the 'P' reply did not come or is not framed); on success lastAddress is
// the one the 'P' reply carries and the image reaches it; every command goes out as a framed
// 7-byte report while the device is open, and a download that succeeds ends with 'q'; the
// progress starts at most once, only rises, and finishes once when it started.

#include "base/workprogress.h"
#include "logger/memorydownload.h"
#include "meter/meterlink.h"
#include "meter/meterusb.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int MemorySize = 131072;
constexpr int BlockSize = 32;

class FuzzedMeter : public MeterUsb
{
public:
    FuzzedMeter(const uint8_t *data, size_t size)
        : m_data(data)
        , m_size(size)
    {
        if (size >= 3) {
            m_faults = data[0];
            m_failingBlockWrite = data[1] << 8 | data[2];
            m_at = 3;
        } else {
            m_at = size;
        }
    }

    int UsbClose() override
    {
        m_open = false;
        return 0;
    }
    int UsbAfterWrite() override { return 0; }
    int UsbGetSerialNumber(int, char *, int) override { return 1; }
    int UsbOpen(quint16 vendorId, quint16 productId) override
    {
        if (vendorId != VendorId || productId != ProductId)
            std::abort();
        if (m_faults & 0x01)
            return 1;
        m_open = true;
        return 0;
    }
    int UsbSetTimeouts(int, int) override
    {
        if (!m_open)
            std::abort();
        return m_faults & 0x02 ? 1 : 0;
    }
    int UsbWriteReport(int length, const quint8 *buffer) override
    {
        if (!m_open || length != CommandFrame::Size || buffer[0] != CommandFrame::Start
            || buffer[6] != CommandFrame::End)
            std::abort();
        m_lastLetter = static_cast<char>(buffer[1]);
        switch (m_lastLetter) {
        case 'P':
            return m_faults & 0x04 ? 1 : 0;
        case 'p':
            return m_blockWrites++ == m_failingBlockWrite ? 1 : 0;
        case 'q':
            return m_faults & 0x08 ? 1 : 0;
        default:
            std::abort();
        }
    }
    int UsbWriteData(int, const quint8 *) override { std::abort(); }
    int UsbReadReport(int length, quint8 *buffer) override
    {
        if (!m_open || length != BlockSize)
            std::abort();
        const size_t left = m_size - m_at;
        const size_t n = std::min<size_t>(left, BlockSize);
        std::memcpy(buffer, m_data + m_at, n);
        m_at += n;
        if (n < BlockSize)
            return n == 0 ? 2 : 1;
        m_replied.append(reinterpret_cast<const char *>(buffer), BlockSize);
        return 0;
    }

    const QByteArray &replied() const { return m_replied; }
    char lastLetter() const { return m_lastLetter; }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_at = 0;
    quint8 m_faults = 0;
    int m_failingBlockWrite = 0xFFFF;
    int m_blockWrites = 0;
    bool m_open = false;
    char m_lastLetter = 0;
    QByteArray m_replied; // every whole reply handed out, in order
};

class CheckedProgress : public WorkProgress
{
public:
    void start(int bytes) override
    {
        if (started || bytes <= 0 || bytes > MemorySize)
            std::abort();
        started = true;
        total = bytes;
    }
    void progressed(int received) override
    {
        if (!started || finished || received <= done || received > total)
            std::abort();
        done = received;
    }
    void finish() override
    {
        if (!started || finished)
            std::abort();
        finished = true;
    }

    bool started = false;
    bool finished = false;
    int total = 0;
    int done = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedMeter meter(data, size);
    MeterLink link(meter);
    CheckedProgress progress;
    QByteArray image;
    int lastAddress = -1;
    const int result = MemoryDownload::ReadLoggerMemory(link, image, lastAddress, &progress);

    switch (result) {
    case MemoryDownload::OpenFailed:
    case MemoryDownload::TimeoutsFailed:
    case MemoryDownload::RequestWriteFailed:
    case MemoryDownload::RequestReadFailed:
    case MemoryDownload::RequestUnframed:
        if (!image.isEmpty() || progress.started)
            std::abort();
        return 0;
    case MemoryDownload::Done:
    case MemoryDownload::BlockWriteFailed:
    case MemoryDownload::BlockReadFailed:
    case MemoryDownload::EndWriteFailed:
    case MemoryDownload::BlockLoopFailed:
        break;
    default:
        std::abort();
    }
    if (image.isEmpty() || image.size() % BlockSize != 0 || image.size() > MemorySize
        || image != meter.replied() || progress.started != progress.finished)
        std::abort();
    if (result != MemoryDownload::Done)
        return 0;

    const auto byte = [&image](int i) {
        return int(quint8(image.at(i)));
    };
    if (lastAddress != (byte(11) << 16 | byte(12) << 8 | byte(13)) || meter.lastLetter() != 'q'
        || image.size() != MemoryDownload::totalFor(lastAddress) || progress.done != image.size()
        || (lastAddress >= 255 && lastAddress < MemorySize && image.size() <= lastAddress))
        std::abort();
    return 0;
}
