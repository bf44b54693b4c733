#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

// The real-time sampling rate: the items of the graph window's rate box, and the recording
// period texts of the "Real-Time Setup" dialog.
namespace SamplingRate {

// The rate box's items "1.0", "2.0", "5.0", "10.0", "20.0", "30.0", in the user's decimal
// separator (QLocale::system(), or the locale given).
QStringList graphBoxItems();
QStringList graphBoxItems(const QLocale &locale);
// The dialog's items 0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 30.0, the same way.
QStringList dialogItems();
QStringList dialogItems(const QLocale &locale);

// The rate box item for a rate: 0 below 1.5 s, 1 below 2.5, 2 below 5.5, 3 below 10.5,
// 4 below 20.5, 5 below 30.5; nothing for larger rates (the box is left alone).
std::optional<int> itemForRate(double rate);

// A rate typed by the user, in the user's locale (or with a point); nothing when no number.
// Blanks around the number are ignored; group separators are not accepted (a rate is a small
// number, so "2.500" is 2.5 everywhere), and NaN or infinity count as no number.
std::optional<double> parseRate(const QString &text);
std::optional<double> parseRate(const QString &text, const QLocale &locale);

// The time a recording of count points at this rate takes: count times the interval the
// recording really keeps (recordedInterval: a point comes once a second at most), as hours
// without leading zeros, minutes and seconds with two digits ("1:06:40" for 2000 points at
// 2.0 s, "0:00:20" for 20 points at 0.5 s). A rate that is no number or not above 0 starts
// nothing, so its period is "0:00:00".
QString periodText(int count, double rate);

// Whether the timer tick count has reached the rate: a point every tick for rates up to 1.0 s,
// every second tick at 2.0 s, every third at 2.5 s (ticks < rate means "not yet").
inline bool tickDue(int ticks, double rate)
{
    return !(ticks < rate);
}

// The seconds between the points a recording at this rate takes, ticking once a second: the
// first whole number of ticks that reaches the rate, at least one (0.2 s and 1.0 s give 1 s,
// 2.5 s gives 3 s).
inline double recordedInterval(double rate)
{
    int ticks = 1;
    while (!tickDue(ticks, rate) && ticks < 86400)
        ++ticks;
    return double(ticks);
}

} // namespace SamplingRate
