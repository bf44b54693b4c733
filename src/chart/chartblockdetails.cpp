#include "chart/chartblockdetails.h"

#include <array>
#include <cmath>

namespace {

using ChartBlockBytes::Reader;
using ChartBlockBytes::Writer;

// The texts in their stored order, of a details or a const details.
template<typename Details> auto textsOf(Details &d)
{
    auto &i = d.instrument;
    return std::array { &d.project,      &d.client,   &d.site,          &d.position,
                        &d.operatorName, &d.weather,  &d.notes,         &i.model,
                        &i.serialNumber, &i.firmware, &i.calibration94, &i.calibration70 };
}

void writeLevel(Writer &w, const std::optional<double> &level)
{
    const bool known = level && std::isfinite(*level);
    w.flag(known);
    if (known)
        w.f64(*level);
}

bool readLevel(Reader &r, std::optional<double> &level)
{
    bool known = false;
    if (!r.flag(known, "calibration flag"))
        return false;
    level.reset();
    if (!known)
        return true;
    double value = 0.0;
    if (!r.f64(value))
        return false;
    if (!std::isfinite(value))
        return r.fail(QStringLiteral("Chart block has a calibration level that is not finite."));
    level = value;
    return true;
}

} // namespace

namespace ChartBlockDetails {

void write(Writer &w, const SurveyDetails &details)
{
    for (const QString *text : textsOf(details))
        w.string(*text);
    for (const CalibrationCheck *check :
         { &details.calibrationBefore, &details.calibrationAfter }) {
        writeLevel(w, check->reference);
        writeLevel(w, check->reading);
    }
}

bool read(Reader &r, SurveyDetails &details)
{
    r.setSection("survey details");
    SurveyDetails read;
    for (QString *text : textsOf(read))
        if (!r.string(*text))
            return false;
    for (CalibrationCheck *check : { &read.calibrationBefore, &read.calibrationAfter })
        if (!readLevel(r, check->reference) || !readLevel(r, check->reading))
            return false;
    details = std::move(read);
    return true;
}

} // namespace ChartBlockDetails
