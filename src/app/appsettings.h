#pragma once

class QSettings;

// The program's two stored settings. A value that is missing or of the wrong type takes its
// default; a value that cannot be written is silently kept only until the program ends.
struct AppSettings
{
    static constexpr const char *RealTimeRateKey = "RealTimeRate";
    static constexpr const char *DiscardFloatingKey = "disdcard_floating";
    static constexpr float DefaultRealTimeRate = 0.2f;

    float RealTimeRate = DefaultRealTimeRate;
    bool DiscardFloatingError = false;

    static AppSettings read(const QSettings &store);
    // Writes "RealTimeRate" (as a double) and then "disdcard_floating" (0 or 1).
    void write(QSettings &store) const;
};
