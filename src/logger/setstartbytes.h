#pragma once

#include <QByteArray>
#include <QDateTime>

#include <optional>

// A data set's start as its header in the logger memory holds it: six BCD bytes at offsets 3 to
// 8 from the set's start marker, year within the century (2000 to 2099), month, day, hour,
// minute, second. Writing a corrected start there keeps it in the memory's own format, so that
// the temporary file and every collection saved from it read back with the correction.
namespace SetStartBytes {

inline constexpr int Offset = 3;
inline constexpr int Size = 6;
inline constexpr int FirstYear = 2000;
inline constexpr int LastYear = 2099;

// The six bytes of start (milliseconds dropped); nothing for a date outside 2000 to 2099.
std::optional<QByteArray> encode(const QDateTime &start);

} // namespace SetStartBytes
