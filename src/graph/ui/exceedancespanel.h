#pragma once

#include "survey/exceedances.h"
#include "survey/measurementanalysis.h"

#include <QWidget>

#include <optional>
#include <vector>

class ExceedanceRows;
class Measurement;
class QLabel;
class QPushButton;
class QTableView;

// The "Exceedances" page beside a graph: the limit, the number of runs of points above it and
// their total duration, the runs (start, seconds, Lmax, Leq) and "Export Exceedances".
//
// It reads the measurement it is handed (the window's, which outlives it; with its source) and
// finds the runs again only when the data, the exclusions, the interval or the limit changed.
class ExceedancesPanel : public QWidget
{
    Q_OBJECT

public:
    ExceedancesPanel(const Measurement &measurement, QWidget *parent = nullptr);

    // The exceedances of the limit (none without a limit).
    const Exceedances::Result &result();
    // The page again: the limit, the count, the total and the runs.
    void refresh();
    // "Export Exceedances": the runs as tab-separated lines.
    QString exportText();

Q_SIGNALS:
    // "Export Exceedances" was pressed.
    void exportRequested();

private:
    const Measurement &m_measurement;
    // The exceedances and the state of the measurement they were found in.
    Exceedances::Result m_exceedances;
    bool m_exceedancesMade = false;
    quint64 m_exceedancesRevision = 0;
    std::optional<double> m_exceedancesLimit;
    std::vector<ExcludedInterval> m_exceedancesExclusions;
    std::optional<double> m_exceedancesInterval;

    QLabel *lblLimit = nullptr, *lblExceedanceCount = nullptr, *lblExceedanceSeconds = nullptr;
    QTableView *tblExceedances = nullptr;
    ExceedanceRows *m_exceedanceRows = nullptr;
    QPushButton *btnExportExceedances = nullptr;
};
