#pragma once

#include "chart/chartblockbytes.h"
#include "survey/surveydetails.h"

// The survey details' section of the stored chart block (its layout is in chartblock.h).
namespace ChartBlockDetails {

// Writes what read accepts: a calibration value that is not finite as not known.
void write(ChartBlockBytes::Writer &w, const SurveyDetails &details);
// Reads the section into details; false, with the reason kept in r, when it does not parse.
bool read(ChartBlockBytes::Reader &r, SurveyDetails &details);

} // namespace ChartBlockDetails
