#include "logger/setstartbytes.h"

#include "meter/bcd.h"

namespace SetStartBytes {

std::optional<QByteArray> encode(const QDateTime &start)
{
    const QDate date = start.date();
    const QTime time = start.time();
    if (!date.isValid() || !time.isValid() || date.year() < FirstYear || date.year() > LastYear)
        return std::nullopt;
    const int fields[Size] = { date.year() - FirstYear, date.month(), date.day(), time.hour(),
                               time.minute(),           time.second() };
    QByteArray bytes(Size, '\0');
    for (int i = 0; i < Size; ++i)
        bytes[i] = static_cast<char>(Bcd::fromInt(fields[i]));
    return bytes;
}

} // namespace SetStartBytes
