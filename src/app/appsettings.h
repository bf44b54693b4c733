#pragma once

#include <QString>

class QSettings;

// The program's stored settings. A value that is missing or of the wrong type takes its
// default; a value that cannot be written is silently kept only until the program ends.
struct AppSettings
{
    static constexpr const char *RealTimeRateKey = "RealTimeRate";
    static constexpr const char *DiscardFloatingKey = "disdcard_floating";
    static constexpr const char *HoursKey = "DayEveningNightHours";
    static constexpr const char *CoverageThresholdKey = "CoverageThreshold";
    static constexpr float DefaultRealTimeRate = 0.2f;

    float RealTimeRate = DefaultRealTimeRate;
    bool DiscardFloatingError = false;
    // The "Periods" window's day-evening-night hours (a preset's code, "07-19-23") and coverage
    // threshold (a whole percentage from 0 to 100).
    QString DayEveningNightHours = QStringLiteral("07-19-23");
    int CoverageThreshold = 50;

    static AppSettings read(const QSettings &store);
    // Writes "RealTimeRate" (as a double), "disdcard_floating" (0 or 1), then the hours' code
    // and the threshold.
    void write(QSettings &store) const;
};
