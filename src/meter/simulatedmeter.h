#pragma once

#include "meter/commandframe.h"
#include "meter/meterusb.h"
#include "meter/simulatedlevel.h"

#include <QDateTime>

#include <optional>

class Clock;

// Fault switches of the simulated meter, for tests.
struct SimulatedMeterFaults
{
    bool openFails = false;
    bool setTimeoutsFails = false;
    bool writeFails = false; // a write returns non-zero and the meter sees nothing
    bool readTimesOut = false; // no reply comes
    bool shortReply = false; // only the first 16 bytes of a reply come
    bool unframedReply = false; // the reply's first byte is not 0x02
    bool wrongSequence = false; // the live reply echoes another sequence byte
    bool wrongIdentity = false; // the 'K' reply lacks '5', '1', '9'
    // Opens that succeed before the meter is unplugged (negative: never unplugged).
    int unplugAfterOpens = -1;
};

// A model of the meter behind the same transport as the real one: it identifies itself,
// answers live readings with the echoed sequence byte, its own running BCD clock and a level
// that moves like a room's noise, and its keys change its state as the meter's keys do.
class SimulatedMeter : public MeterUsb
{
public:
    struct State
    {
        bool recording = false;
        bool weightingA = true;
        bool fast = true;
        bool maxMinActive = false;
        quint8 maxMinState = 0x00;
        quint8 range = 0x88;
        bool memoryFull = false;
    };

    SimulatedMeter(const Clock &clock, quint32 seed);

    int UsbClose() override;
    int UsbAfterWrite() override { return 0; }
    int UsbGetSerialNumber(int deviceIndex, char *buffer, int size) override;
    int UsbOpen(quint16 vendorId, quint16 productId) override;
    int UsbReadReport(int length, quint8 *buffer) override;
    int UsbSetTimeouts(int readTimeoutMs, int writeTimeoutMs) override;
    int UsbWriteReport(int length, const quint8 *buffer) override;
    int UsbWriteData(int length, const quint8 *buffer) override;

    SimulatedMeterFaults &faults() { return m_faults; }
    const State &state() const { return m_state; }
    State &state() { return m_state; }
    SimulatedLevel &levels() { return m_level; }
    bool isOpen() const { return m_open; }
    int readTimeoutMs() const { return m_readTimeoutMs; }
    // Plugs the meter back in after an unplug fault.
    void replug();
    // The meter's own clock runs this many seconds ahead of the computer's.
    void setClockOffsetSeconds(qint64 seconds) { m_clockOffsetSeconds = seconds; }
    QDateTime meterTime() const;

private:
    void handleCommand(const CommandFrame::Bytes &frame);
    void pressKey(char key);
    ReplyReport liveReply(quint8 sequence);
    ReplyReport identityReply() const;
    static ReplyReport framed();

    const Clock &m_clock;
    SimulatedMeterFaults m_faults;
    State m_state;
    SimulatedLevel m_level;
    std::optional<ReplyReport> m_pending;
    bool m_open = false;
    bool m_unplugged = false;
    int m_opens = 0;
    int m_readTimeoutMs = 0;
    qint64 m_clockOffsetSeconds = 0;
};
