#pragma once

#include "meter/commandframe.h"

#include <QDateTime>
#include <QString>

#include <optional>

class MeterUsb;

// The setup exchanges of the "Data Logger Setup" dialog, each returning its code (0 for
// success), on a command buffer and a 32-byte reply buffer of their own. The reply buffer is also
// the data block of the clock setting, whose bytes the block does not name keep what the last
// reply left there.
//
// Clock: 't' (byte 2 'c', byte 3 0), then a 32-byte block: byte 0 seconds, 1 minutes, 2 hours,
//   3 day, 4 month, 6 year modulo 100 (BCD), 7 = 0. Codes 201 open, 202 time-outs, 203 write
//   the command, 205 write the block.
// Interval: 'W' address 14 := 0, then 'W' address 15 := seconds; each reply echoes bytes 0-1.
//   Codes 703 open, 704 time-outs, 705 / 708 write, 706 / 709 read, 707 no echo.
// Erase: the frame 0x02 "erase" 0x03, whose reply echoes all seven bytes. Codes 803, 804, 805,
//   806 (no reply), 807 (no echo).
// Information: 'Y'. Codes 903, 904, 905, 906. Reply: bytes 9-10 data sets, 11-13 next memory
//   address, 15 interval (s), 18 94 dB calibration (signed, tenths), 19-20 70 dB calibration
//   (/256), 25-30 clock year, month, day, hour, minute, second (BCD), 31 firmware (/100).
// EEPROM: 'W' (bytes 2-4 address, byte 5 data, the reply echoes bytes 0-6) and 'r' (the reply
//   echoes bytes 0-1 and holds the byte in 6). Codes 703, 704, 708, 709, 707.
class MeterSetup
{
public:
    // The information group's texts.
    struct Information
    {
        QString version, meterTime, interval, dataSets, memoryAvailable, serialNumber, cal94, cal70;
    };

    explicit MeterSetup(MeterUsb &usb)
        : m_usb(usb)
    {
    }

    int setClock(const QDateTime &now);
    int setInterval(int seconds);
    int eraseMemory();
    int readInformation(Information &information);
    int writeEeprom(int address, int data);
    int readEeprom(int address, int &data);

    // The interval of the minutes and seconds fields: 1 to 60 seconds, nothing otherwise (a field
    // that is no number, more than a minute, or 00:00, which would stamp every reading of a set
    // with its start).
    static std::optional<int> intervalSeconds(const QString &minutes, const QString &seconds);
    // The information a 'Y' reply and the device's serial number give.
    static Information decodeInformation(const ReplyReport &reply, const QString &serialNumber);

    // The messages of each command by code; empty where the command shows none.
    static QString clockMessage(int code);
    static QString intervalMessage(int code);
    static QString eraseMessage(int code);
    static QString informationMessage(int code);

    const ReplyReport &reply() const { return m_reply; }
    const CommandFrame &command() const { return m_command; }

private:
    int open(int openCode);
    int exchange(int writeCode, int readCode);

    MeterUsb &m_usb;
    CommandFrame m_command;
    ReplyReport m_reply {};
};
