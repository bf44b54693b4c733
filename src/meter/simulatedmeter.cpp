#include "meter/simulatedmeter.h"

#include "base/clock.h"
#include "meter/bcd.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr quint8 Ranges[] = { 0x11, 0x22, 0x44, 0x88 };
constexpr char SerialNumber[] = "SIM7316-0001";

void putWord(ReplyReport &reply, std::size_t high, quint16 value)
{
    reply[high] = static_cast<quint8>(value >> 8);
    reply[high + 1] = static_cast<quint8>(value);
}

// The range's limits in tenths of a dB.
std::pair<int, int> rangeLimits(quint8 range)
{
    switch (range) {
    case 0x11:
        return { 300, 900 };
    case 0x22:
        return { 500, 1100 };
    case 0x44:
        return { 700, 1300 };
    default:
        return { 300, 1300 };
    }
}
} // namespace

SimulatedMeter::SimulatedMeter(const Clock &clock, quint32 seed)
    : m_clock(clock)
    , m_level(seed)
    , m_recordedLevel(seed ^ 0x5A5A5A5Au)
{
    m_logger.seed(seed ^ 0xA5A5A5A5u);
    m_eeprom[15] = quint8(m_recordingInterval);
}

int SimulatedMeter::UsbClose()
{
    m_open = false;
    m_pending.reset();
    return 0;
}

int SimulatedMeter::UsbOpen(quint16 vendorId, quint16 productId)
{
    if (vendorId != VendorId || productId != ProductId)
        return 1;
    if (m_faults.unplugAfterOpens >= 0 && m_opens >= m_faults.unplugAfterOpens)
        m_unplugged = true;
    if (m_faults.openFails || m_unplugged)
        return 1;
    ++m_opens;
    m_open = true;
    return 0;
}

void SimulatedMeter::replug()
{
    m_unplugged = false;
    m_faults.unplugAfterOpens = -1;
    m_opens = 0;
}

int SimulatedMeter::UsbSetTimeouts(int readTimeoutMs, int writeTimeoutMs)
{
    Q_UNUSED(writeTimeoutMs);
    if (!m_open || m_faults.setTimeoutsFails)
        return 1;
    m_readTimeoutMs = readTimeoutMs;
    return 0;
}

int SimulatedMeter::UsbWriteReport(int length, const quint8 *buffer)
{
    if (!m_open || m_faults.writeFails || length != CommandFrame::Size)
        return 1;
    CommandFrame::Bytes frame {};
    std::copy_n(buffer, CommandFrame::Size, frame.begin());
    if (downloadWriteFails(frame))
        return 1;
    handleCommand(frame);
    return 0;
}

int SimulatedMeter::UsbWriteData(int length, const quint8 *buffer)
{
    if (!m_open || m_faults.writeFails || m_faults.dataWriteFails || length != 32)
        return 1;
    if (m_clockBlockExpected)
        setClockFromBlock(buffer);
    m_clockBlockExpected = false;
    return 0;
}

int SimulatedMeter::UsbReadReport(int length, quint8 *buffer)
{
    if (!m_open || length <= 0)
        return 1;
    if (!m_pending || m_faults.readTimesOut) {
        m_pending.reset();
        return 2; // nothing came within the time-out
    }
    ReplyReport reply = *m_pending;
    m_pending.reset();
    if (m_faults.unframedReply)
        reply[0] = 0x00;
    const int available = m_faults.shortReply ? 16 : static_cast<int>(reply.size());
    const int n = std::min(length, available);
    std::copy_n(reply.begin(), n, buffer);
    return n == length ? 0 : 1;
}

int SimulatedMeter::UsbGetSerialNumber(int deviceIndex, char *buffer, int size)
{
    Q_UNUSED(deviceIndex);
    if (!buffer || size <= 0)
        return 1;
    const int n = std::min(static_cast<int>(sizeof SerialNumber) - 1, size - 1);
    std::memcpy(buffer, SerialNumber, static_cast<std::size_t>(n));
    buffer[n] = '\0';
    return m_open ? 0 : 1;
}

QDateTime SimulatedMeter::meterTime() const
{
    return m_clock.now().addSecs(m_clockOffsetSeconds);
}

void SimulatedMeter::handleCommand(const CommandFrame::Bytes &frame)
{
    if (frame[0] != CommandFrame::Start || frame[6] != CommandFrame::End)
        return; // the meter ignores what is not framed
    updateRecording();
    m_pending.reset();
    m_clockBlockExpected = false;
    if (handleSetupCommand(frame))
        return;
    const char letter = static_cast<char>(frame[1]);
    switch (letter) {
    case 'A':
        m_pending = liveReply(frame[5]);
        break;
    case 'K':
        m_pending = identityReply();
        break;
    case 'P':
        m_downloadPosition = 0;
        sendBlock(m_faults.downloadStartReadFails);
        if (m_pending && m_faults.downloadStartUnframed)
            (*m_pending)[0] = CommandFrame::Start;
        break;
    case 'p':
        if (m_downloadPosition >= 0)
            sendBlock(m_downloadPosition / SimulatedLoggerMemory::BlockSize
                      == m_faults.blockReadFailsAt);
        break;
    case 'q': // the download's end
    case 'Q': // resynchronise: drop whatever was pending, end a download
        m_downloadPosition = -1;
        break;
    default:
        pressKey(letter);
        updateRecording();
        break;
    }
}

bool SimulatedMeter::downloadWriteFails(const CommandFrame::Bytes &frame) const
{
    if (frame[0] != CommandFrame::Start || frame[6] != CommandFrame::End)
        return false;
    switch (static_cast<char>(frame[1])) {
    case 'P':
        return m_faults.downloadStartWriteFails;
    case 'p':
        return m_downloadPosition >= 0
            && m_downloadPosition / SimulatedLoggerMemory::BlockSize == m_faults.blockWriteFailsAt;
    case 'q':
        return m_faults.downloadEndWriteFails;
    default:
        return false;
    }
}

// Answers with the block at the download position and moves on; a lost reply never comes.
void SimulatedMeter::sendBlock(bool lost)
{
    const ReplyReport block = m_logger.block(m_downloadPosition);
    m_downloadPosition = std::min(m_downloadPosition + SimulatedLoggerMemory::BlockSize,
                                  SimulatedLoggerMemory::Size);
    if (!lost)
        m_pending = block;
}

void SimulatedMeter::setLoggerMemory(const QByteArray &image)
{
    m_logger.load(image);
    m_downloadPosition = -1;
    m_state.memoryFull = !m_logger.canBeginSet();
}

bool SimulatedMeter::setRecordingInterval(int seconds)
{
    if (seconds < 1 || seconds > 60)
        return false;
    m_recordingInterval = seconds;
    m_eeprom[14] = 0;
    m_eeprom[15] = quint8(seconds);
    return true;
}

void SimulatedMeter::updateRecording()
{
    if (!m_state.recording && !m_logger.isRecording())
        return; // the clock is not read: a local time costs a time zone look-up
    const QDateTime now = meterTime();
    if (m_state.recording && !m_logger.isRecording()) {
        // The meter's clock counts whole seconds.
        const QTime time = now.time();
        QDateTime start = now;
        start.setTime(QTime(time.hour(), time.minute(), time.second()));
        if (!m_logger.beginSet(start, m_recordingInterval, recordingFlags())) {
            stopRecordingFull();
            return;
        }
        m_setStart = start;
        m_setInterval = m_recordingInterval;
    }
    if (m_logger.isRecording()) {
        // Reading k is due at the set's start + k intervals. The memory bounds the catching up:
        // once it is full, recording stops, however far the clock jumped.
        const qint64 elapsedMs = m_setStart.msecsTo(now);
        const qint64 due = elapsedMs < 0 ? 0 : elapsedMs / (m_setInterval * 1000LL) + 1;
        while (m_logger.recordedCount() < due) {
            if (!m_logger.appendReading(m_recordedLevel.step(m_state.weightingA, m_state.fast))) {
                stopRecordingFull();
                return;
            }
        }
    }
    if (!m_state.recording && m_logger.isRecording())
        m_logger.finishSet();
}

void SimulatedMeter::stopRecordingFull()
{
    m_logger.finishSet();
    m_state.recording = false;
    m_state.memoryFull = true;
}

// Header byte 14 of a new set: bit 0 FAST, bit 1 A weighting, bits 2-3 the range's index.
quint8 SimulatedMeter::recordingFlags() const
{
    const auto *at = std::find(std::begin(Ranges), std::end(Ranges), m_state.range);
    const int range = (at == std::end(Ranges)) ? 3 : static_cast<int>(at - std::begin(Ranges));
    return static_cast<quint8>((m_state.fast ? 0x01 : 0) | (m_state.weightingA ? 0x02 : 0)
                               | (range << 2));
}

void SimulatedMeter::pressKey(char key)
{
    switch (key) {
    case 'R':
        m_state.recording = !m_state.recording;
        break;
    case 'L': {
        const auto *at = std::find(std::begin(Ranges), std::end(Ranges), m_state.range);
        const auto index = (at == std::end(Ranges)) ? 0 : (at - std::begin(Ranges) + 1) % 4;
        m_state.range = Ranges[index];
        break;
    }
    case 'M':
        // MAX, then MIN, then both alternating, then MAX again.
        if (!m_state.maxMinActive) {
            m_state.maxMinActive = true;
            m_state.maxMinState = 0x11;
            m_level.resetMaxMin();
        } else if (m_state.maxMinState == 0x11) {
            m_state.maxMinState = 0x22;
        } else if (m_state.maxMinState == 0x22) {
            m_state.maxMinState = 0x44;
        } else {
            m_state.maxMinState = 0x11;
        }
        break;
    case 'N':
        m_state.maxMinActive = false;
        m_state.maxMinState = 0x00;
        break;
    case 'C':
        m_state.weightingA = !m_state.weightingA;
        break;
    case 'F':
        m_state.fast = !m_state.fast;
        break;
    default:
        break; // a command this meter does not know
    }
}

ReplyReport SimulatedMeter::framed()
{
    ReplyReport reply {};
    reply[0] = CommandFrame::Start;
    reply[31] = CommandFrame::End;
    return reply;
}

ReplyReport SimulatedMeter::liveReply(quint8 sequence)
{
    const quint16 level = m_level.step(m_state.weightingA, m_state.fast);
    const auto [low, high] = rangeLimits(m_state.range);

    ReplyReport reply = framed();
    quint8 flags = 0;
    flags |= m_state.recording ? 0x01 : 0;
    flags |= m_state.maxMinActive ? 0x04 : 0;
    flags |= m_state.weightingA ? 0x08 : 0;
    flags |= m_state.fast ? 0x10 : 0;
    flags |= level < low ? 0x40 : 0;
    flags |= level > high ? 0x80 : 0;
    reply[1] = flags;
    reply[2] = m_state.memoryFull ? 0x10 : 0x00;
    reply[3] = m_state.range;
    reply[4] = m_state.maxMinActive ? m_state.maxMinState : 0x00;
    putWord(reply, 5, level);
    putWord(reply, 11, m_level.maxLevel());
    putWord(reply, 13, m_level.minLevel());

    const QDateTime now = meterTime();
    reply[15] = Bcd::fromInt(now.time().second());
    reply[16] = Bcd::fromInt(now.time().minute());
    reply[17] = Bcd::fromInt(now.time().hour());
    reply[18] = Bcd::fromInt(now.date().dayOfWeek() % 7);
    reply[19] = Bcd::fromInt(now.date().month());
    reply[20] = Bcd::fromInt(now.date().day());
    reply[21] = Bcd::fromInt(now.date().year() % 100);
    if (m_faults.clockUnset)
        reply[15] = reply[16] = reply[17] = 0x5A;
    reply[30] = m_faults.wrongSequence ? static_cast<quint8>(sequence + 1) : sequence;
    return reply;
}

ReplyReport SimulatedMeter::identityReply() const
{
    ReplyReport reply = framed();
    const char model[] = "Q7316";
    std::copy_n(model, 5, reply.begin() + 1);
    if (!m_faults.wrongIdentity) {
        reply[23] = '5';
        reply[24] = '1';
        reply[25] = '9';
    }
    return reply;
}
