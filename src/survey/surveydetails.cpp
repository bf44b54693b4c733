#include "survey/surveydetails.h"

#include <cmath>

std::optional<double> CalibrationCheck::difference() const
{
    if (!reference || !reading)
        return std::nullopt;
    return *reading - *reference;
}

bool CalibrationCheck::flagged() const
{
    const std::optional<double> d = difference();
    // Typed to a tenth: compare in hundredths, so 93.8 against 94.3 is the 0.5 it reads as.
    return d && std::llround(std::abs(*d) * 100.0) > std::llround(Tolerance * 100.0);
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
