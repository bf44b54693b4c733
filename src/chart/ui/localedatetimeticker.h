#pragma once

#include <qcustomplot.h>

// Date-time ticks at round times in the user's locale (see TimeTicks): each label shows exactly
// the time its tick stands at. Keys are seconds, as QCustomPlot's date-time tickers count them.
class LocaleDateTimeTicker : public QCPAxisTickerDateTime
{
public:
    // About six ticks across the axis.
    LocaleDateTimeTicker() { setTickCount(6); }

    // The axis the ticks are for: on a narrow chart there are only as many as their labels fit
    // side by side, so that no two labels run into each other.
    void setAxis(QCPAxis *axis) { m_axis = axis; }

protected:
    double getTickStep(const QCPRange &range) override;
    QVector<double> createTickVector(double tickStep, const QCPRange &range) override;

private:
    bool labelsFit(const QCPRange &range, double step);

    QCPAxis *m_axis = nullptr;
};
