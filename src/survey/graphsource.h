#pragma once

#include <QLocale>
#include <QString>

#include <optional>
#include <vector>

class Measurement;

// Where a graph's points came from: a data set of the meter's memory, the real-time recording,
// or a file. It gives the series' interval between points, which the acoustic figures' duration
// needs, and the lines a report prints about the graph's origin.
struct GraphSource
{
    enum class Kind { Unknown, DataSet, RealTime, File };
    Kind kind = Kind::Unknown;

    // A data set: its number (from 1), start (days), interval (s), weighting and response texts.
    int dataSet = 0;
    double start = 0.0;
    int intervalSeconds = 0;
    QString weighting; // "dBA" or "dBC"
    QString response; // "FAST" or "SLOW"
    // The real-time recording: the seconds between its points.
    double rateSeconds = 0.0;
    // A graph opened from, or saved to, a file; also set for a data set of a saved collection.
    QString fileName;

    static GraphSource dataSetOf(int number, double start, int intervalSeconds,
                                 const QString &weighting, const QString &response);
    static GraphSource realTime(double rateSeconds);
    static GraphSource file(const QString &fileName);

    // dt of the figures: the data set's interval, the recording rate, or the median spacing of
    // consecutive X values of subset 0 (rounded to the millisecond); none when it is not
    // positive.
    std::optional<double> intervalOf(const Measurement &chart) const;

    // "Source: ..." lines for a report, dates and numbers in the locale.
    std::vector<QString> describe(const QLocale &locale) const;

    bool operator==(const GraphSource &) const = default;
};

// The median of x[i+1] - x[i] over subset 0's consecutive points, in seconds, rounded to the
// millisecond; none with fewer than two points or a median that is not positive.
std::optional<double> medianSpacingSeconds(const Measurement &chart);
