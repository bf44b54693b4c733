#pragma once

#include "survey/measurement.h"
#include "survey/seriesfigures.h"

#include <optional>
#include <vector>

// The figures of a measurement as it stands, made again only when its points, its intervals or
// its interval between points changed: what a page beside the graph reads on every refresh.
class MeasurementFigures
{
public:
    explicit MeasurementFigures(const Measurement &measurement)
        : m_measurement(measurement)
    {
    }

    const SeriesFigures &get()
    {
        const std::optional<double> interval = m_measurement.source.intervalOf(m_measurement);
        if (!m_made || m_revision != m_measurement.dataRevision()
            || m_exclusions != m_measurement.exclusions || m_interval != interval) {
            m_figures = SeriesFigures(m_measurement, interval);
            m_made = true;
            m_revision = m_measurement.dataRevision();
            m_exclusions = m_measurement.exclusions;
            m_interval = interval;
        }
        return m_figures;
    }

private:
    const Measurement &m_measurement;
    SeriesFigures m_figures;
    bool m_made = false;
    quint64 m_revision = 0;
    std::vector<ExcludedInterval> m_exclusions;
    std::optional<double> m_interval;
};
