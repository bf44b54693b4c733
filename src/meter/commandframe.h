#pragma once

// The meter's wire protocol: short exchanges of one command report and at most one reply.
//
// Command report, 7 bytes:
//   byte 0     0x02, start of frame
//   byte 1     command letter (ASCII)
//   bytes 2-4  parameters; for the EEPROM commands a 24-bit address, high byte first
//   byte 5     parameter: the sequence counter of a live reading, the data byte of an EEPROM write
//   byte 6     0x03, end of frame
// A command writes only the bytes it names (always 0, 1 and 6); every other byte keeps what the
// buffer last held. The erase command is the fixed frame 0x02 'e' 'r' 'a' 's' 'e' 0x03.
//
// Letters: 'A' live reading (byte 5 = sequence counter), 'K' identify, 'Q' resynchronise,
// 'R' REC key, 'L' LEVEL key, 'M' MAX/MIN key, 'N' leave MAX/MIN, 'C' A/C weighting key,
// 'F' FAST/SLOW key, 'P' 'p' 'q' memory download, "erase", 't' set the clock (byte 2 'c',
// byte 3 0, a 32-byte data block follows), 'Y' logger information (fixed frame), 'W' write one
// EEPROM byte (bytes 2-4 address, byte 5 data), 'r' read one EEPROM byte (bytes 2-4 address).
//
// Reply report, 32 bytes. A live reply is framed 0x02 ... 0x03 (bytes 0 and 31) and echoes
// the command's sequence counter in byte 30; its fields are laid out in livereading.h. An
// identification reply carries '5', '1', '9' in bytes 23-25.

#include <QtGlobal>

#include <array>

using ReplyReport = std::array<quint8, 32>;

class CommandFrame
{
public:
    static constexpr int Size = 7;
    static constexpr quint8 Start = 0x02;
    static constexpr quint8 End = 0x03;
    using Bytes = std::array<quint8, Size>;

    // Bytes 0, 1 and 6 for a command letter; the others keep their values.
    void setCommand(char letter);
    // Byte 5: the sequence counter of a live reading, or an EEPROM data byte.
    void setByte5(quint8 value) { m_bytes[5] = value; }
    // Bytes 2-4, high byte first.
    void setAddress(quint32 address);
    void setByte(int index, quint8 value) { m_bytes[static_cast<std::size_t>(index)] = value; }

    const Bytes &bytes() const { return m_bytes; }
    const quint8 *data() const { return m_bytes.data(); }

    // The fixed frames, copied for each use.
    static CommandFrame erase();
    static CommandFrame information();

private:
    Bytes m_bytes {};
};
