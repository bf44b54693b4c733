#include "common/recordingmeterusb.h"

#include <QStringList>

namespace {
QByteArray bytesOf(const quint8 *buffer, int length)
{
    return QByteArray(reinterpret_cast<const char *>(buffer), length);
}
} // namespace

int RecordingMeterUsb::UsbClose()
{
    const int r = m_inner.UsbClose();
    m_calls.append({ QStringLiteral("Close"), {}, 0, 0, r });
    return r;
}

int RecordingMeterUsb::UsbAfterWrite()
{
    const int r = m_inner.UsbAfterWrite();
    m_calls.append({ QStringLiteral("AfterWrite"), {}, 0, 0, r });
    return r;
}

int RecordingMeterUsb::UsbGetSerialNumber(int deviceIndex, char *buffer, int size)
{
    const int r = m_inner.UsbGetSerialNumber(deviceIndex, buffer, size);
    m_calls.append({ QStringLiteral("Serial"), QByteArray(buffer), deviceIndex, size, r });
    return r;
}

int RecordingMeterUsb::UsbOpen(quint16 vendorId, quint16 productId)
{
    const int r = m_inner.UsbOpen(vendorId, productId);
    m_calls.append({ QStringLiteral("Open"), {}, vendorId, productId, r });
    return r;
}

int RecordingMeterUsb::UsbReadReport(int length, quint8 *buffer)
{
    const int r = m_inner.UsbReadReport(length, buffer);
    m_calls.append({ QStringLiteral("Read"), bytesOf(buffer, length), length, 0, r });
    return r;
}

int RecordingMeterUsb::UsbSetTimeouts(int readTimeoutMs, int writeTimeoutMs)
{
    const int r = m_inner.UsbSetTimeouts(readTimeoutMs, writeTimeoutMs);
    m_calls.append({ QStringLiteral("SetTimeouts"), {}, readTimeoutMs, writeTimeoutMs, r });
    return r;
}

int RecordingMeterUsb::UsbWriteReport(int length, const quint8 *buffer)
{
    const int r = m_inner.UsbWriteReport(length, buffer);
    m_calls.append({ QStringLiteral("Write"), bytesOf(buffer, length), length, 0, r });
    return r;
}

int RecordingMeterUsb::UsbWriteData(int length, const quint8 *buffer)
{
    const int r = m_inner.UsbWriteData(length, buffer);
    m_calls.append({ QStringLiteral("WriteData"), bytesOf(buffer, length), length, 0, r });
    return r;
}

QString RecordingMeterUsb::sequence() const
{
    QStringList names;
    for (const Call &call : m_calls)
        names << call.name;
    return names.join(QLatin1Char(' '));
}

QList<QByteArray> RecordingMeterUsb::writes() const
{
    QList<QByteArray> frames;
    for (const Call &call : m_calls)
        if (call.name == QLatin1String("Write"))
            frames << call.bytes;
    return frames;
}
