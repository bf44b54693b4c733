#pragma once

#include <QString>

#include <array>
#include <optional>

// The hours of a day's parts for the day-evening-night level: the day, the evening and the night
// start at whole hours on the local clock, day < evening < night, or there is no evening (the
// day runs on to the night). The night ends where the next day starts and belongs to the day on
// which it starts. Each part weighs its nominal hours in Lden (day, evening + 5 dB,
// night + 10 dB), or in Ldn without an evening (day, night + 10 dB); the weights sum to 24.
struct DayEveningNightHours
{
    int day = 7;
    std::optional<int> evening = 19;
    int night = 23;

    int dayHours() const { return evening.value_or(night) - day; }
    int eveningHours() const { return evening ? night - *evening : 0; }
    int nightHours() const { return 24 - night + day; }

    // Lden, or Ldn without an evening (levening is then not used).
    double level(double lday, double levening, double lnight) const;
    // "Lden", or "Ldn" without an evening.
    QString levelName() const;
    // The code the command line and the settings use: "07-19-23", "07-22" without an evening.
    QString code() const;
    // "Day (07-19), evening (19-23), night (23-07, on the day it starts) and Lden".
    QString description() const;

    struct Preset
    {
        const char *text;
        int day, evening, night; // evening -1: none
    };
    static constexpr std::array<Preset, 4> Presets { {
        { "07-19-23 (EU)", 7, 19, 23 },
        { "06-18-22", 6, 18, 22 },
        { "06-20-22", 6, 20, 22 },
        { "07-22 Ldn (no evening)", 7, -1, 22 },
    } };
    static DayEveningNightHours ofPreset(const Preset &preset);
    // The preset whose code is given ("07-19-23", "06-18-22", "06-20-22" or "07-22"); none for
    // any other text.
    static std::optional<DayEveningNightHours> parse(const QString &code);

    bool operator==(const DayEveningNightHours &) const = default;
};
