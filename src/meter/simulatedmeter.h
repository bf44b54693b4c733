#pragma once

#include "meter/commandframe.h"
#include "meter/meterusb.h"
#include "meter/simulatedlevel.h"
#include "meter/simulatedloggermemory.h"

#include <QDateTime>
#include <QStringList>

#include <optional>

class Clock;

// Fault switches of the simulated meter, for tests and, by name, for trying the program's
// messages by hand (audexa --simulate-meter --simulate-fault NAME).
struct SimulatedMeterFaults
{
    // Switches on the fault of a name: "open", "timeouts", "write", "data-write", "no-reply",
    // "short", "unframed", "wrong-sequence", "wrong-identity", "clock-unset", "echo-byte-N"
    // (N 0 to 6), "unplug-after-N". False for a name that is none of them.
    bool set(const QString &name);
    static QStringList names();

    bool openFails = false;
    bool setTimeoutsFails = false;
    bool writeFails = false; // a write returns non-zero and the meter sees nothing
    bool readTimesOut = false; // no reply comes
    bool shortReply = false; // only the first 16 bytes of a reply come
    bool unframedReply = false; // the reply's first byte is not 0x02
    bool wrongSequence = false; // the live reply echoes another sequence byte
    bool wrongIdentity = false; // the 'K' reply lacks '5', '1', '9'
    bool clockUnset = false; // the live reply's seconds, minutes and hours are 0x5A
    // The setup commands: the reply to 'W', 'r' or the erase frame differs from the command in
    // this byte (0 to 6); the clock's data block cannot be written.
    int corruptEchoByte = -1;
    bool dataWriteFails = false;
    // Opens that succeed before the meter is unplugged (negative: never unplugged).
    int unplugAfterOpens = -1;

    // The memory download. Block k is memory addresses 32k to 32k + 31: 'P' asks for block 0,
    // each 'p' for the next one (the first 'p' for block 1).
    bool downloadStartWriteFails = false; // writing 'P' fails
    bool downloadStartReadFails = false; // no reply to 'P' comes
    bool downloadStartUnframed = false; // the reply to 'P' starts with 0x02, like a live reply
    int blockWriteFailsAt = -1; // writing the 'p' that asks for block k fails
    int blockReadFailsAt = -1; // the reply with block k does not come
    bool downloadEndWriteFails = false; // writing 'q' fails
};

// A model of the meter behind the same transport as the real one: it identifies itself,
// answers live readings with the echoed sequence byte, its own running BCD clock and a level
// that moves like a room's noise, and its keys change its state as the meter's keys do.
//
// Its data logger memory starts seeded with data sets (SimulatedLoggerMemory::seededSets). While
// REC is on it records a new data set: the header at the meter's time when REC went on, with
// the recording interval and the weighting, response and range of that moment, then one reading
// per interval of the meter's clock. Each command first records the readings due since the last
// one, at most until the memory is full; a full memory switches REC off and shows FULL.
//
// The memory download: 'P' answers with memory bytes 0-31 (framed 0x04 ... 0x05 by the header
// block itself), each following 'p' with the next 32 bytes (zeros beyond the end of the memory),
// and 'q' (or 'Q') ends the transfer without a reply. A 'p' outside a transfer gets no reply.
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

    // The logger memory as it is now, and a way to replace it with any image.
    const QByteArray &loggerMemory() const { return m_logger.bytes(); }
    void setLoggerMemory(const QByteArray &image);
    const SimulatedLoggerMemory &logger() const { return m_logger; }
    // Seconds between two recorded readings, 1 to 60; false (and unchanged) outside that range.
    // A data set being recorded keeps its own interval.
    bool setRecordingInterval(int seconds);
    int recordingInterval() const { return m_recordingInterval; }
    // Starts or ends the data set as state().recording says and records the readings due by the
    // meter's clock. Every command does this first; tests call it after changing the state.
    void updateRecording();
    // The next block's address during a download, -1 outside one.
    int downloadPosition() const { return m_downloadPosition; }

    // The setup commands. The EEPROM holds 256 bytes; bytes 14-15 are the recording interval
    // (high byte first), which the meter's own recording uses once written.
    static constexpr int EepromSize = 256;
    static constexpr quint8 FirmwareVersion = 112; // 1.12
    static constexpr qint8 Calibration94 = -3; // -0.3 dB
    static constexpr quint16 Calibration70 = 0x4680; // 70.50
    quint8 eepromByte(int address) const { return m_eeprom[std::size_t(address % EepromSize)]; }

private:
    void handleCommand(const CommandFrame::Bytes &frame);
    // 'Y', 't', 'W', 'r' and the erase frame; false for any other command.
    bool handleSetupCommand(const CommandFrame::Bytes &frame);
    ReplyReport informationReply() const;
    void setClockFromBlock(const quint8 *block);
    void pressKey(char key);
    bool downloadWriteFails(const CommandFrame::Bytes &frame) const;
    void sendBlock(bool lost);
    quint8 recordingFlags() const;
    void stopRecordingFull();
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

    SimulatedLoggerMemory m_logger;
    SimulatedLevel m_recordedLevel; // the level the logger records, its own walk
    int m_recordingInterval = 1;
    QDateTime m_setStart; // the meter's time of the set being recorded, whole seconds
    int m_setInterval = 1;
    int m_downloadPosition = -1;
    std::array<quint8, EepromSize> m_eeprom {};
    bool m_clockBlockExpected = false;
};
