#pragma once

#include <qcustomplot.h>

// Date-time tick labels in the user's locale: the time of day (with seconds when ticks are
// less than a minute apart), and the date above it once the range spans more than a day.
// Keys are seconds, as QCustomPlot's date-time tickers count them.
class LocaleDateTimeTicker : public QCPAxisTickerDateTime
{
protected:
    double getTickStep(const QCPRange &range) override;
};
