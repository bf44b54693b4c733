#pragma once

#include "meter/hidapitable.h"
#include "meter/meterusb.h"

#include <QElapsedTimer>

// The meter transport on hidapi (the hidraw backend on Linux).
//
// Report framing on the HID interface:
//   - The meter's reports are unnumbered. A 7-byte command goes out as one output report:
//     report id 0x00 followed by the 7 command bytes (8 bytes handed to hid_write).
//   - A 32-byte data block (the clock) goes out the same way: 0x00 and the 32 bytes.
//   - A 32-byte reply is read as input reports of whatever size the device uses, appended in
//     order until 32 bytes have come or the read time-out has run out. The read returns 0 when
//     all 32 bytes came, 1 when only some came (the buffer holds them, the rest is untouched),
//     2 when none came, 3 on a device error. Bytes beyond 32 in a report are dropped.
//   - Time-outs: the read time-out bounds the whole 32-byte read; hidraw writes do not block
//     long, so the write time-out is kept but not needed.
//   - UsbAfterWrite has nothing to do on this transport.
class HidMeterUsb : public MeterUsb
{
public:
    explicit HidMeterUsb(HidApiTable api = HidApiTable::system());
    ~HidMeterUsb() override;
    HidMeterUsb(const HidMeterUsb &) = delete;
    HidMeterUsb &operator=(const HidMeterUsb &) = delete;

    int UsbClose() override;
    int UsbAfterWrite() override { return 0; }
    int UsbGetSerialNumber(int deviceIndex, char *buffer, int size) override;
    int UsbOpen(quint16 vendorId, quint16 productId) override;
    int UsbReadReport(int length, quint8 *buffer) override;
    int UsbSetTimeouts(int readTimeoutMs, int writeTimeoutMs) override;
    int UsbWriteReport(int length, const quint8 *buffer) override;
    int UsbWriteData(int length, const quint8 *buffer) override;

    static constexpr int ReadNone = 2;
    static constexpr int ReadShort = 1;
    static constexpr int DeviceError = 3;
    static constexpr int NotOpen = 4;

private:
    int writeReport(int length, const quint8 *buffer);

    HidApiTable m_api;
    hid_device *m_device = nullptr;
    bool m_initialised = false;
    int m_readTimeoutMs = 1000;
    int m_writeTimeoutMs = 1000;
};
