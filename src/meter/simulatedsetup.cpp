// The simulated meter's setup commands: the logger information, its clock, its EEPROM and the
// erase of its memory.

#include "base/clock.h"
#include "meter/bcd.h"
#include "meter/simulatedmeter.h"

#include <algorithm>

namespace {
// Where the memory's data ends, as the information reply counts the free space.
constexpr int MemoryEnd = 0x1F500;
} // namespace

bool SimulatedMeter::handleSetupCommand(const CommandFrame::Bytes &frame)
{
    const char letter = static_cast<char>(frame[1]);
    const int address = (frame[2] << 16) | (frame[3] << 8) | frame[4];
    ReplyReport echo {};
    std::copy(frame.begin(), frame.end(), echo.begin());
    if (m_faults.corruptEchoByte >= 0 && m_faults.corruptEchoByte < CommandFrame::Size)
        echo[std::size_t(m_faults.corruptEchoByte)] ^= 0x20;
    if (std::equal(frame.begin(), frame.end(), CommandFrame::erase().bytes().begin())) {
        m_state.recording = false;
        updateRecording();
        m_logger.clear();
        m_state.memoryFull = false;
        m_pending = echo;
        return true;
    }
    switch (letter) {
    case 'Y':
        m_pending = informationReply();
        return true;
    case 't':
        // The 32-byte block that follows sets the clock.
        m_clockBlockExpected = frame[2] == 'c' && frame[3] == 0;
        return true;
    case 'W':
        m_eeprom[std::size_t(address % EepromSize)] = frame[5];
        if (address == 15 || address == 14) {
            const int interval = m_eeprom[14] * 256 + m_eeprom[15];
            if (interval >= 1 && interval <= 60)
                m_recordingInterval = interval;
        }
        m_pending = echo;
        return true;
    case 'r':
        echo[6] = m_eeprom[std::size_t(address % EepromSize)];
        m_pending = echo;
        return true;
    default:
        return false;
    }
}

ReplyReport SimulatedMeter::informationReply() const
{
    ReplyReport r {};
    r[0] = CommandFrame::Start;
    r[1] = 'Y';
    const int sets = m_logger.setCount();
    r[9] = quint8(sets >> 8);
    r[10] = quint8(sets & 0xFF);
    // The next free address; a full memory leaves none.
    const int next = std::min(m_logger.lastAddress() + 1, MemoryEnd);
    r[11] = quint8(next >> 16);
    r[12] = quint8((next >> 8) & 0xFF);
    r[13] = quint8(next & 0xFF);
    r[15] = quint8(m_recordingInterval);
    r[18] = quint8(Calibration94);
    r[19] = quint8(Calibration70 >> 8);
    r[20] = quint8(Calibration70 & 0xFF);
    const QDateTime now = meterTime();
    r[25] = Bcd::fromInt(now.date().year() % 100);
    r[26] = Bcd::fromInt(now.date().month());
    r[27] = Bcd::fromInt(now.date().day());
    r[28] = Bcd::fromInt(now.time().hour());
    r[29] = Bcd::fromInt(now.time().minute());
    r[30] = Bcd::fromInt(now.time().second());
    r[31] = FirmwareVersion;
    return r;
}

void SimulatedMeter::setClockFromBlock(const quint8 *block)
{
    const auto second = Bcd::toInt(block[0]);
    const auto minute = Bcd::toInt(block[1]);
    const auto hour = Bcd::toInt(block[2]);
    const auto day = Bcd::toInt(block[3]);
    const auto month = Bcd::toInt(block[4]);
    const auto year = Bcd::toInt(block[6]);
    if (!second || !minute || !hour || !day || !month || !year)
        return; // the meter keeps its time
    const QDateTime set(QDate(2000 + *year, *month, *day), QTime(*hour, *minute, *second));
    if (set.isValid())
        m_clockOffsetSeconds = m_clock.now().secsTo(set);
}

QStringList SimulatedMeterFaults::names()
{
    return { QStringLiteral("open"),           QStringLiteral("timeouts"),
             QStringLiteral("write"),          QStringLiteral("data-write"),
             QStringLiteral("no-reply"),       QStringLiteral("short"),
             QStringLiteral("unframed"),       QStringLiteral("wrong-sequence"),
             QStringLiteral("wrong-identity"), QStringLiteral("clock-unset"),
             QStringLiteral("echo-byte-N"),    QStringLiteral("unplug-after-N") };
}

bool SimulatedMeterFaults::set(const QString &name)
{
    bool *const switches[]
        = { &openFails,  &setTimeoutsFails, &writeFails,    &dataWriteFails, &readTimesOut,
            &shortReply, &unframedReply,    &wrongSequence, &wrongIdentity,  &clockUnset };
    const QStringList all = names();
    for (int i = 0; i < int(std::size(switches)); ++i)
        if (name == all[i]) {
            *switches[i] = true;
            return true;
        }
    bool ok = false;
    if (name.startsWith(QLatin1String("echo-byte-"))) {
        const int byte = name.mid(10).toInt(&ok);
        if (ok && byte >= 0 && byte < CommandFrame::Size) {
            corruptEchoByte = byte;
            return true;
        }
    } else if (name.startsWith(QLatin1String("unplug-after-"))) {
        const int opens = name.mid(13).toInt(&ok);
        if (ok && opens >= 0) {
            unplugAfterOpens = opens;
            return true;
        }
    }
    return false;
}
