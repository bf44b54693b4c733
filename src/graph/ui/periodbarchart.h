#pragma once

#include <QWidget>

#include <optional>

class FigureTable;
class QCPBars;
class QCPItemStraightLine;
class QCPItemText;
class QCustomPlot;

// The bar chart of the "Periods" window: one bar per period, its Leq, against the time of day,
// each bar spanning its period; the graph's limit, when it has one, as a horizontal line with
// its value, and the bars above it (strictly, as an exceedance counts) in a warning colour.
// Periods without a valid point have no bar.
class PeriodBarChart : public QWidget
{
    Q_OBJECT

public:
    explicit PeriodBarChart(QWidget *parent = nullptr);

    // The periods of a table made by FigureTable::ofPeriods, in any order.
    void showPeriods(const FigureTable &periods, int periodSeconds, std::optional<double> limit);

    // The bars below and above the limit, and the plot, for tests and pictures.
    const QCPBars &barsBelowLimit() const { return *m_below; }
    const QCPBars &barsAboveLimit() const { return *m_above; }
    QCustomPlot &plot() { return *m_plot; }

private:
    QCustomPlot *m_plot = nullptr;
    QCPBars *m_below = nullptr;
    QCPBars *m_above = nullptr;
    QCPItemStraightLine *m_limitLine = nullptr;
    QCPItemText *m_limitText = nullptr;
};
