#include "meter/hidmeterusb.h"

#include <QString>

#include <algorithm>
#include <array>
#include <vector>

HidApiTable HidApiTable::system()
{
    return { &hid_init,  &hid_open,         &hid_close,
             &hid_write, &hid_read_timeout, &hid_get_serial_number_string };
}

HidMeterUsb::HidMeterUsb(HidApiTable api)
    : m_api(api)
{
}

HidMeterUsb::~HidMeterUsb()
{
    UsbClose();
}

int HidMeterUsb::UsbClose()
{
    if (m_device)
        m_api.close(m_device);
    m_device = nullptr;
    return 0;
}

int HidMeterUsb::UsbOpen(quint16 vendorId, quint16 productId)
{
    if (m_device)
        return 0;
    if (!m_initialised) {
        if (m_api.init() != 0)
            return DeviceError;
        m_initialised = true;
    }
    m_device = m_api.open(vendorId, productId, nullptr);
    return m_device ? 0 : DeviceError;
}

int HidMeterUsb::UsbSetTimeouts(int readTimeoutMs, int writeTimeoutMs)
{
    if (!m_device)
        return NotOpen;
    m_readTimeoutMs = std::max(0, readTimeoutMs);
    m_writeTimeoutMs = std::max(0, writeTimeoutMs);
    return 0;
}

int HidMeterUsb::writeReport(int length, const quint8 *buffer)
{
    if (!m_device)
        return NotOpen;
    if (length <= 0)
        return DeviceError;
    std::vector<unsigned char> report(static_cast<std::size_t>(length) + 1, 0);
    std::copy_n(buffer, length, report.begin() + 1); // report[0] = 0: unnumbered report
    const int written = m_api.write(m_device, report.data(), report.size());
    return written == static_cast<int>(report.size()) ? 0 : DeviceError;
}

int HidMeterUsb::UsbWriteReport(int length, const quint8 *buffer)
{
    return writeReport(length, buffer);
}

int HidMeterUsb::UsbWriteData(int length, const quint8 *buffer)
{
    return writeReport(length, buffer);
}

int HidMeterUsb::UsbReadReport(int length, quint8 *buffer)
{
    if (!m_device)
        return NotOpen;
    if (length <= 0)
        return 0;
    std::array<unsigned char, 64> report {};
    QElapsedTimer elapsed;
    elapsed.start();
    int received = 0;
    while (received < length) {
        const int remaining = m_readTimeoutMs - static_cast<int>(elapsed.elapsed());
        if (remaining <= 0 && received > 0)
            break;
        const int n
            = m_api.readTimeout(m_device, report.data(), report.size(), std::max(remaining, 0));
        if (n < 0)
            return DeviceError;
        if (n == 0)
            break; // the time-out ran out
        const int take = std::min(n, length - received);
        std::copy_n(report.begin(), take, buffer + received);
        received += take;
        if (remaining <= 0)
            break;
    }
    if (received == length)
        return 0;
    return received == 0 ? ReadNone : ReadShort;
}

int HidMeterUsb::UsbGetSerialNumber(int deviceIndex, char *buffer, int size)
{
    Q_UNUSED(deviceIndex); // one device at a time
    if (!buffer || size <= 0)
        return DeviceError;
    buffer[0] = '\0';
    if (!m_device)
        return NotOpen;
    std::vector<wchar_t> text(static_cast<std::size_t>(size), L'\0');
    if (m_api.getSerialNumber(m_device, text.data(), text.size()) != 0)
        return DeviceError;
    const QByteArray latin = QString::fromWCharArray(text.data()).toLatin1();
    const int n = std::min(static_cast<int>(latin.size()), size - 1);
    std::copy_n(latin.constData(), n, buffer);
    buffer[n] = '\0';
    return 0;
}
