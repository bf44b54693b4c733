#pragma once

#include <QtGlobal>

#include <optional>

// Binary-coded decimal bytes, as the meter keeps its clock and dates: 0x59 is 59.
namespace Bcd {

inline quint8 fromInt(int value)
{
    return static_cast<quint8>(((value / 10 % 10) << 4) | (value % 10));
}

// The byte's value, or nothing when either nibble is not a decimal digit (0x5A).
inline std::optional<int> toInt(quint8 byte)
{
    const int high = byte >> 4;
    const int low = byte & 0x0F;
    if (high > 9 || low > 9)
        return std::nullopt;
    return high * 10 + low;
}

} // namespace Bcd
