#include "meter/meterlink.h"

#include "meter/meterusb.h"

bool MeterLink::openWithTimeouts(int timeoutMs)
{
    m_usb.UsbClose();
    if (m_usb.UsbOpen(MeterUsb::VendorId, MeterUsb::ProductId) != 0)
        return false;
    return m_usb.UsbSetTimeouts(timeoutMs, timeoutMs) == 0;
}

int MeterLink::writeCommand(char letter)
{
    m_command.setCommand(letter);
    return m_usb.UsbWriteReport(CommandFrame::Size, m_command.data());
}

int MeterLink::readReply()
{
    return m_usb.UsbReadReport(static_cast<int>(m_reply.size()), m_reply.data());
}

bool MeterLink::QueryMeter(char letter)
{
    if (!openWithTimeouts(QueryTimeoutMs))
        return false;
    writeCommand(letter); // a failed write shows up as a missing reply; not tested
    m_usb.UsbAfterWrite();
    if (readReply() != 0)
        return false;
    m_usb.UsbClose();
    return true;
}

bool MeterLink::SendMeterKey(char letter)
{
    if (!openWithTimeouts(KeyTimeoutMs))
        return false;
    writeCommand(letter); // not tested: a key sent to nowhere is not an error
    m_usb.UsbClose();
    return true;
}

bool MeterLink::PollLiveReading()
{
    if (!openWithTimeouts(QueryTimeoutMs))
        return false;
    m_command.setByte5(m_sequence.next());
    writeCommand('A');
    m_usb.UsbAfterWrite();
    m_reply.fill(0);
    const bool read = readReply() == 0;
    if (m_reply[30] != m_sequence.value())
        writeCommand('Q'); // byte 5 still holds the counter; no reply is read
    m_usb.UsbClose();
    return read;
}

void MeterLink::openForMeasurement()
{
    m_usb.UsbClose();
    m_usb.UsbOpen(MeterUsb::VendorId, MeterUsb::ProductId);
    m_usb.UsbSetTimeouts(MeasurementTimeoutMs, MeasurementTimeoutMs);
}

bool MeterLink::readLiveReadingOnOpenDevice()
{
    writeCommand('A');
    m_usb.UsbAfterWrite();
    m_reply.fill(0);
    return readReply() == 0;
}

bool MeterLink::replyIdentifiesMeter() const
{
    return m_reply[23] == '5' && m_reply[24] == '1' && m_reply[25] == '9';
}
