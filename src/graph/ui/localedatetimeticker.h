#pragma once

#include <qcustomplot.h>

// Date-time ticks at round times in the user's locale (see TimeTicks): each label shows exactly
// the time its tick stands at. Keys are seconds, as QCustomPlot's date-time tickers count them.
class LocaleDateTimeTicker : public QCPAxisTickerDateTime
{
public:
    // About six ticks across the axis.
    LocaleDateTimeTicker() { setTickCount(6); }

protected:
    double getTickStep(const QCPRange &range) override;
    QVector<double> createTickVector(double tickStep, const QCPRange &range) override;
};
