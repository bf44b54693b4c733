#pragma once

#include <QLocale>
#include <QString>

#include <optional>

// A calibration check of the meter against a calibrator: the calibrator's reference level and
// what the meter read on it, both in dB; either may be missing.
struct CalibrationCheck
{
    std::optional<double> reference;
    std::optional<double> reading;

    // The reading less the reference, while both are known.
    std::optional<double> difference() const;
    // True when the difference is more than `Tolerance` either way: the measurement between
    // two such checks cannot be trusted to better than that. A difference of exactly the
    // tolerance (0.5 dB as typed to a tenth) passes.
    bool flagged() const;
    bool isEmpty() const { return !reference && !reading; }
    static constexpr double Tolerance = 0.5; // dB

    // A level as typed: a number in locale (or with a decimal point) from 0 to 200 dB; none for
    // anything else.
    static std::optional<double> parseLevel(const QString &text, const QLocale &locale);
    // A level or difference in locale with as many decimals as it has, to two at most.
    static QString levelText(double level, const QLocale &locale);

    bool operator==(const CalibrationCheck &) const = default;
};

// The instrument a measurement was made with, as the meter's information reply gives it or
// as typed. An empty text was not given.
struct InstrumentDetails
{
    QString model; // the dialog offers "Q7316"
    QString serialNumber;
    QString firmware;
    QString calibration94; // the meter's stored calibration values, as it reports them
    QString calibration70;

    bool isEmpty() const;
    bool operator==(const InstrumentDetails &) const = default;
};

// Who, where and with what a survey was made: what a report says besides the figures. Each part
// is optional; an empty text was not given. Kept with the measurement's analysis, so it is saved
// with the graph file and with a collection's analysis file.
struct SurveyDetails
{
    QString project;
    QString client;
    QString site;
    QString position; // the measurement position on the site
    QString operatorName;
    QString weather;
    QString notes; // free text; line breaks are kept
    InstrumentDetails instrument;
    CalibrationCheck calibrationBefore;
    CalibrationCheck calibrationAfter;

    bool isEmpty() const;
    bool operator==(const SurveyDetails &) const = default;
};
