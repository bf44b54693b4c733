#pragma once

#include "meter/commandframe.h"
#include "meter/sequencecounter.h"

class MeterUsb;

// The main window's exchanges with the meter: one command buffer, one reply buffer and the
// sequence counter. Each exchange opens the device, sets the time-outs, writes, reads at most
// one reply and closes the device again, on the calling (user-interface) thread.
class MeterLink
{
public:
    static constexpr int QueryTimeoutMs = 1000;
    static constexpr int KeyTimeoutMs = 500;
    static constexpr int MeasurementTimeoutMs = 100;

    explicit MeterLink(MeterUsb &usb)
        : m_usb(usb)
    {
    }

    // Sends letter and reads the reply into reply(); true when a reply was read. Used with 'K'.
    bool QueryMeter(char letter);
    // Sends a key letter without reading a reply; true when the device opened.
    bool SendMeterKey(char letter);
    // Sends 'A' with the next sequence counter and reads the reply into reply() (zeros when
    // the read fails). A reply that does not echo the counter is answered with 'Q' in the same
    // exchange. True when the reply was read.
    bool PollLiveReading();

    // An LEQ measurement keeps the device open: closes it, opens it again and sets 100 ms
    // time-outs. The results are not checked: a read that then fails is counted as failed.
    void openForMeasurement();
    // Sends 'A' on the device as it was left open (the sequence counter is not advanced) and
    // reads the reply into reply() (zeros when the read fails); true when a reply was read.
    bool readLiveReadingOnOpenDevice();

    // True when the last reply identifies the meter ('5', '1', '9' in bytes 23-25).
    bool replyIdentifiesMeter() const;

    // Steps of the longer exchanges (the memory download), on the device as the caller left it.
    // Sets bytes 0, 1 and 6 of the command buffer for letter and writes the buffer; returns
    // UsbWriteReport's result.
    int writeCommand(char letter);
    // Reads one 32-byte reply into reply(); returns UsbReadReport's result.
    int readReply();

    const ReplyReport &reply() const { return m_reply; }
    const CommandFrame &command() const { return m_command; }
    quint8 sequence() const { return m_sequence.value(); }
    MeterUsb &usb() { return m_usb; }

private:
    bool openWithTimeouts(int timeoutMs);

    MeterUsb &m_usb;
    CommandFrame m_command;
    ReplyReport m_reply {};
    SequenceCounter m_sequence;
};
