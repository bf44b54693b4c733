#pragma once

#include "survey/leveldistribution.h"
#include "survey/measurementanalysis.h"
#include "survey/measurementfigures.h"
#include "survey/seriesfigures.h"

#include <QWidget>

#include <optional>
#include <utility>
#include <vector>

class Measurement;
class QCPBars;
class QCPGraph;
class QComboBox;
class QCustomPlot;
class QLabel;
class QPushButton;

// The "Distribution" page beside a graph: how many valid levels fall in each class of the
// chosen width, for the whole graph or between cursors A and B, as bars (counts or percent)
// with the percent of the time each class's lower edge was exceeded as a curve on the right
// axis, and "Copy" for the table as tab-separated text.
//
// It reads the measurement it is handed (the window's, which outlives it; with its source),
// takes the valid levels from the same pass as the acoustic figures, made again only when the
// data, the exclusions or the interval changed, and works the classes out only while the page
// shows.
class DistributionPanel : public QWidget
{
    Q_OBJECT

public:
    using Cursors = std::optional<std::pair<int, int>>;

    DistributionPanel(const Measurement &measurement, QWidget *parent = nullptr);

    // The data or the exclusions changed, or a cursor moved.
    void refresh(Cursors cursors);
    void showBetween(Cursors cursors);

    // The classes as the page shows them.
    LevelDistribution::Result distribution();
    // "Copy": the table with its title line, in the user's locale.
    QString copyText();

Q_SIGNALS:
    // "Copy" was pressed.
    void copyRequested();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const SeriesFigures &figures();
    bool betweenCursors() const;
    int widthTenths() const;
    void showDistribution();

    const Measurement &m_measurement;
    MeasurementFigures m_figures;
    Cursors m_cursors;
    bool m_stale = true; // changed while the page was hidden

    QComboBox *cmbClassWidth = nullptr, *cmbDistributionRange = nullptr,
              *cmbDistributionBars = nullptr;
    QLabel *lblDistribution = nullptr;
    QCustomPlot *plotDistribution = nullptr;
    QCPBars *m_bars = nullptr;
    QCPGraph *m_exceeded = nullptr;
    QPushButton *btnCopyDistribution = nullptr;
};
