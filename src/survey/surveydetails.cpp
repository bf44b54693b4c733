#include "survey/surveydetails.h"

#include <cmath>

namespace {

// Levels are typed to a tenth of a dB, which binary numbers hold only nearly, so a difference of
// exactly the tolerance may come out of the subtraction a few units in the last place above it
// (64.4 - 63.9 is 0.5000000000000071); a margin far below a tenth keeps it on the passing side.
constexpr double RoundingMargin = 1e-6; // dB
constexpr double LowestLevel = 0.0; // dB
constexpr double HighestLevel = 200.0;

} // namespace

std::optional<double> CalibrationCheck::difference() const
{
    if (!reference || !reading)
        return std::nullopt;
    return *reading - *reference;
}

bool CalibrationCheck::flagged() const
{
    const std::optional<double> d = difference();
    // A difference that is not a number (a value typed out of range) cannot be trusted either.
    return d && !(std::abs(*d) <= Tolerance + RoundingMargin);
}

std::optional<double> CalibrationCheck::parseLevel(const QString &text, const QLocale &locale)
{
    const QString typed = text.trimmed();
    bool ok = false;
    double level = locale.toDouble(typed, &ok);
    if (!ok)
        level = QLocale::c().toDouble(typed, &ok);
    if (!ok || !(level >= LowestLevel && level <= HighestLevel))
        return std::nullopt;
    return level;
}

QString CalibrationCheck::levelText(double level, const QLocale &locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    const double rounded = std::round(level * 100.0) / 100.0;
    return plain.toString(rounded == 0.0 ? 0.0 : rounded, 'g', QLocale::FloatingPointShortest);
}

bool InstrumentDetails::isEmpty() const
{
    return model.isEmpty() && serialNumber.isEmpty() && firmware.isEmpty()
        && calibration94.isEmpty() && calibration70.isEmpty();
}

bool SurveyDetails::isEmpty() const
{
    return project.isEmpty() && client.isEmpty() && site.isEmpty() && position.isEmpty()
        && operatorName.isEmpty() && weather.isEmpty() && notes.isEmpty() && instrument.isEmpty()
        && calibrationBefore.isEmpty() && calibrationAfter.isEmpty();
}
