#pragma once

#include <QtGlobal>

// The transport to the meter: one device at a time and one open handle, held inside. Every
// operation returns 0 for success; callers treat any other value as failure.
//
// Every exchange calls, in this order: UsbClose (release a device left open), UsbOpen,
// UsbSetTimeouts, UsbWriteReport with the 7-byte command, UsbAfterWrite, then UsbReadReport for
// the 32-byte reply (or UsbWriteData with a 32-byte block), and mostly UsbClose.
class MeterUsb
{
public:
    // The meter's USB identity, passed to every open.
    static constexpr quint16 VendorId = 0x04D9;
    static constexpr quint16 ProductId = 0xE000;

    virtual ~MeterUsb() = default;

    // Closes the device if it is open; harmless when it is not.
    virtual int UsbClose() = 0;
    // Called after each command write; the result is ignored.
    virtual int UsbAfterWrite() = 0;
    // Writes the meter's serial number as zero-terminated text into buffer (at most size bytes).
    virtual int UsbGetSerialNumber(int deviceIndex, char *buffer, int size) = 0;
    // Opens the device by vendor and product id.
    virtual int UsbOpen(quint16 vendorId, quint16 productId) = 0;
    // Reads one reply of length bytes; non-zero when fewer bytes or none came within the
    // read time-out.
    virtual int UsbReadReport(int length, quint8 *buffer) = 0;
    virtual int UsbSetTimeouts(int readTimeoutMs, int writeTimeoutMs) = 0;
    // Writes one command report of length (7) bytes.
    virtual int UsbWriteReport(int length, const quint8 *buffer) = 0;
    // Writes one data block of length (32) bytes.
    virtual int UsbWriteData(int length, const quint8 *buffer) = 0;
};
