#include "chart/chartsetup.h"

#include "chart/chartmodel.h"

namespace ChartSetup {

void applyDefaultLook(ChartModel &m)
{
    m.showVertLineAnnotations = true;
    m.allowVertLineAnnotHotSpots = true;
    m.lineAnnotationTextSize = 100;
    m.showGraphAnnotations = true;
    m.graphAnnotationTextSize = 100;
    m.gridStyle = GridStyle::Dot;
    m.mainTitle.clear();
    m.subTitle = QStringLiteral(" ");
    m.subsetLabels = QStringList { QStringLiteral("dB") };
    m.dateTimeX = true;
    m.xAxisLabel = QStringLiteral("Time");
    m.yAxisLabel = QStringLiteral("Level (dB)");
    m.subsetColors = { Qt::black };
    m.subsetLineTypes = { static_cast<int>(LineType::Solid) };
    m.yAxisColor = Qt::red;
}

void resetData(ChartModel &m, int subsets, double maxY, double minY, double maxX, double minX,
               int points)
{
    m.setSubsets(subsets);
    m.setPoints(points);
    // New points are a new measurement: nothing the user added to the old one stays.
    m.analysis() = MeasurementAnalysis {};
    for (int i = 0; i < points; ++i)
        m.fillPoint(i, 0.0, ChartModel::NullValue);
    m.yScale = { true, minY, maxY };
    if (minX != 0.0)
        m.xScale = { true, minX, maxX };
    m.allowGraphAnnotHotSpots = true;
}

} // namespace ChartSetup
