#include "meter/metersetup.h"

#include "meter/bcd.h"
#include "meter/meterusb.h"

#include <QLocale>

#include <algorithm>

namespace {

constexpr int TimeoutMs = 1000;
// Where the memory's data ends; the free space is counted in readings of two bytes.
constexpr int MemoryEnd = 0x1F500;

QString hex2(quint8 byte)
{
    return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
}

QString noResponse(int code)
{
    return QStringLiteral("no response from device, error code=") + QString::number(code);
}

} // namespace

// Closes and opens the device with 1 s time-outs: 0, openCode, or openCode + 1.
int MeterSetup::open(int openCode)
{
    m_usb.UsbClose();
    if (m_usb.UsbOpen(MeterUsb::VendorId, MeterUsb::ProductId) != 0)
        return openCode;
    if (m_usb.UsbSetTimeouts(TimeoutMs, TimeoutMs) != 0)
        return openCode + 1;
    return 0;
}

// Writes the command buffer and reads the reply: 0, writeCode or readCode.
int MeterSetup::exchange(int writeCode, int readCode)
{
    if (m_usb.UsbWriteReport(CommandFrame::Size, m_command.data()) != 0)
        return writeCode;
    m_usb.UsbAfterWrite();
    if (m_usb.UsbReadReport(int(m_reply.size()), m_reply.data()) != 0)
        return readCode;
    return 0;
}

int MeterSetup::setClock(const QDateTime &now)
{
    if (const int code = open(201))
        return code;
    m_command.setCommand('t');
    m_command.setByte(2, 'c');
    m_command.setByte(3, 0);
    if (m_usb.UsbWriteReport(CommandFrame::Size, m_command.data()) != 0)
        return 203;
    m_usb.UsbAfterWrite();
    const QDate date = now.date();
    const QTime time = now.time();
    m_reply[0] = Bcd::fromInt(time.second());
    m_reply[1] = Bcd::fromInt(time.minute());
    m_reply[2] = Bcd::fromInt(time.hour());
    m_reply[3] = Bcd::fromInt(date.day());
    m_reply[4] = Bcd::fromInt(date.month());
    m_reply[6] = Bcd::fromInt(date.year() % 100);
    m_reply[7] = 0;
    if (m_usb.UsbWriteData(int(m_reply.size()), m_reply.data()) != 0)
        return 205;
    return 0;
}

int MeterSetup::setInterval(int seconds)
{
    int code = open(703);
    for (int step = 0; code == 0 && step < 2; ++step) {
        m_command.setCommand('W');
        m_command.setAddress(step == 0 ? 14 : 15);
        m_command.setByte5(quint8(step == 0 ? 0 : seconds));
        code = exchange(step == 0 ? 705 : 708, step == 0 ? 706 : 709);
        if (code == 0 && (m_reply[0] != m_command.bytes()[0] || m_reply[1] != m_command.bytes()[1]))
            code = 707;
    }
    m_usb.UsbClose();
    return code;
}

int MeterSetup::eraseMemory()
{
    if (const int code = open(803))
        return code;
    m_command = CommandFrame::erase();
    if (const int code = exchange(805, 806))
        return code;
    if (!std::equal(m_command.bytes().begin(), m_command.bytes().end(), m_reply.begin()))
        return 807;
    return 0; // the device is left open
}

int MeterSetup::readInformation(Information &information)
{
    information = {};
    if (const int code = open(903))
        return code;
    m_command = CommandFrame::information();
    if (const int code = exchange(905, 906))
        return code;
    char serial[65] = {};
    m_usb.UsbGetSerialNumber(0, serial, 64);
    information = decodeInformation(m_reply, QString::fromLatin1(serial));
    return 0; // the device is left open
}

int MeterSetup::writeEeprom(int address, int data)
{
    int code = open(703);
    if (code == 0) {
        m_command.setCommand('W');
        m_command.setAddress(quint32(address) & 0xFFFFFF);
        m_command.setByte5(quint8(data & 0xFF));
        code = exchange(708, 709);
        if (code == 0
            && !std::equal(m_command.bytes().begin(), m_command.bytes().end(), m_reply.begin()))
            code = 707;
    }
    m_usb.UsbClose();
    return code;
}

int MeterSetup::readEeprom(int address, int &data)
{
    int code = open(703);
    if (code == 0) {
        m_command.setCommand('r');
        m_command.setAddress(quint32(address) & 0xFFFFFF);
        code = exchange(708, 709);
        if (code == 0 && (m_reply[0] != m_command.bytes()[0] || m_reply[1] != m_command.bytes()[1]))
            code = 707;
        if (code == 0)
            data = m_reply[6];
    }
    m_usb.UsbClose();
    return code;
}

std::optional<int> MeterSetup::intervalSeconds(const QString &minutes, const QString &seconds)
{
    bool minutesOk = false;
    bool secondsOk = false;
    const int m = minutes.trimmed().toInt(&minutesOk);
    const int s = seconds.trimmed().toInt(&secondsOk);
    if (!minutesOk || !secondsOk || m < 0 || s < 0)
        return std::nullopt;
    const int interval = m * 60 + s;
    if (interval < 1 || interval > 60)
        return std::nullopt;
    return interval;
}

MeterSetup::Information MeterSetup::decodeInformation(const ReplyReport &r,
                                                      const QString &serialNumber)
{
    const QLocale locale = QLocale::system();
    Information i;
    i.dataSets = QString::number(r[9] * 256 + r[10]);
    const int address = (r[11] << 16) | (r[12] << 8) | r[13];
    i.memoryAvailable = QString::number((MemoryEnd - address) / 2);
    i.interval = QString::number(r[15]);
    i.cal94 = locale.toString(qint8(r[18]) * 0.1, 'f', 1);
    const int cal70 = r[19] * 256 + r[20];
    i.cal70 = locale.toString(cal70 / 256.0, 'f', 2) + QStringLiteral("  (")
        + QString::number(cal70) + QLatin1Char(')');
    i.meterTime = hex2(r[26]) + QLatin1Char('/') + hex2(r[27]) + QStringLiteral("/20") + hex2(r[25])
        + QStringLiteral("   ") + hex2(r[28]) + QLatin1Char(':') + hex2(r[29]) + QLatin1Char(':')
        + hex2(r[30]);
    i.version = locale.toString(r[31] * 0.01, 'f', 2);
    i.serialNumber = serialNumber;
    return i;
}

QString MeterSetup::clockMessage(int code)
{
    return code == 0 ? QStringLiteral("Meter time updated successfully \n")
                     : QStringLiteral("Meter time updated fail");
}

QString MeterSetup::intervalMessage(int code)
{
    switch (code) {
    case 0:
        return QStringLiteral("Recording Interval Setup Successfully, turn off and turn on the "
                              "meter to effective ");
    case 701:
        return QStringLiteral("Invalid Input");
    case 703:
        return QStringLiteral("fail to open device");
    case 704:
        return QStringLiteral("fail to set timeout");
    case 705:
    case 708:
        return QStringLiteral("fail to write command to device");
    default:
        return noResponse(code);
    }
}

QString MeterSetup::eraseMessage(int code)
{
    switch (code) {
    case 0:
        return QStringLiteral("erase memory successfully");
    case 803:
        return QStringLiteral("fail to open device");
    case 804:
        return QStringLiteral("fail to set timeout");
    case 805:
        return QStringLiteral("fail to write command to device");
    default:
        // 806 (no reply) and 807 (no echo): an erase the user asked for that did not happen
        // must be seen.
        return noResponse(code);
    }
}

QString MeterSetup::informationMessage(int code)
{
    switch (code) {
    case 0:
        return QStringLiteral("read data successfully");
    case 903:
        return QStringLiteral("fail to open device");
    case 904:
        return QStringLiteral("fail to set timeout");
    case 905:
        return QStringLiteral("fail to write command to device");
    default:
        return noResponse(code); // 906: without a reply the fields stay empty; say why
    }
}
