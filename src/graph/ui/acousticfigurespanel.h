#pragma once

#include "survey/acousticfigures.h"
#include "survey/measurementanalysis.h"
#include "survey/measurementfigures.h"
#include "survey/seriesfigures.h"

#include <QList>
#include <QWidget>

#include <optional>
#include <utility>
#include <vector>

class Measurement;
class QGridLayout;
class QLabel;
class QPushButton;

// The "Acoustic figures" panel beside a graph: a row per figure (Leq, the percentile levels,
// SEL and the rest) for the whole measurement and between cursors A and B, with the excluded
// intervals left out; "Specific" and "Residual" columns with the figures of the points in the
// intervals of that category while there is one; and an "Overlay" column with the overlaid
// measurement's whole figures while there is one.
//
// It reads the measurement it is handed (the window's, which outlives it; with its source) and
// works the figures out again only when the data, the exclusions or the interval changed.
class AcousticFiguresPanel : public QWidget
{
    Q_OBJECT

public:
    // The point indexes of cursors A and B; none while there is no cursor range (nothing
    // recorded yet, a single point).
    using Cursors = std::optional<std::pair<int, int>>;

    AcousticFiguresPanel(const Measurement &measurement, QWidget *parent = nullptr);

    AcousticFigures::Figures whole();
    AcousticFigures::Figures between(Cursors cursors);
    // The whole overlay's figures with its own interval (none without an overlay).
    AcousticFigures::Figures overlay();

    // Every column again (the data changed), or the between-cursors one (a cursor moved), or
    // the "Overlay" column (shown with its figures, or hidden).
    void refresh(Cursors cursors);
    void showBetween(Cursors cursors);
    void showOverlay();
    // "Export Figures": the figures as tab-separated lines, the Specific, Residual and overlay
    // columns too while they are shown.
    QString exportText(Cursors cursors);

Q_SIGNALS:
    // "Export Figures" was pressed.
    void exportRequested();

private:
    // The figures of the measurement as it stands, made again only when it changed.
    const SeriesFigures &figures();
    // A column of values after those in the grid, with its title.
    QList<QLabel *> addColumn(QGridLayout &grid, QLabel *title);
    // The Specific and Residual columns, each shown while there is an interval of its category.
    void showCategories();

    const Measurement &m_measurement;
    // The figures and the state of the measurement they were made from.
    MeasurementFigures m_figures;
    AcousticFigures::Figures m_overlayFigures;
    quint64 m_overlayFiguresRevision = 0;

    QList<QLabel *> m_wholeFigureTexts, m_betweenFigureTexts, m_overlayFigureTexts;
    QList<QLabel *> m_specificFigureTexts, m_residualFigureTexts;
    QLabel *m_overlayTitle = nullptr;
    QLabel *m_specificTitle = nullptr;
    QLabel *m_residualTitle = nullptr;
    QPushButton *btnExportFigures = nullptr;
};
