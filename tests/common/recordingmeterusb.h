#pragma once

#include "meter/meterusb.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Wraps a transport and records every call with its bytes and result, so that tests can check
// an exchange call by call and frame by frame.
class RecordingMeterUsb : public MeterUsb
{
public:
    struct Call
    {
        QString name; // "Close", "AfterWrite", "Open", "SetTimeouts", "Write", "Read", "WriteData",
                      // "Serial"
        QByteArray bytes; // what was written, or what was read into the buffer
        int a = 0; // first argument (time-out, length, vendor id)
        int b = 0; // second argument
        int result = 0;
    };

    explicit RecordingMeterUsb(MeterUsb &inner)
        : m_inner(inner)
    {
    }

    int UsbClose() override;
    int UsbAfterWrite() override;
    int UsbGetSerialNumber(int deviceIndex, char *buffer, int size) override;
    int UsbOpen(quint16 vendorId, quint16 productId) override;
    int UsbReadReport(int length, quint8 *buffer) override;
    int UsbSetTimeouts(int readTimeoutMs, int writeTimeoutMs) override;
    int UsbWriteReport(int length, const quint8 *buffer) override;
    int UsbWriteData(int length, const quint8 *buffer) override;

    const QList<Call> &calls() const { return m_calls; }
    // The names of the calls in order, e.g. "Close Open SetTimeouts Write AfterWrite Read Close".
    QString sequence() const;
    // The command frames written, in order.
    QList<QByteArray> writes() const;
    void clear() { m_calls.clear(); }

private:
    MeterUsb &m_inner;
    QList<Call> m_calls;
};
