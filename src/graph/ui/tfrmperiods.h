#pragma once

#include "base/ui/mdichildform.h"
#include "chart/chartmodel.h"
#include "survey/dayeveningnighthours.h"
#include "survey/figureflags.h"

#include <QPointer>
#include <QTimer>

#include <optional>
#include <vector>

class CellTable;
class FigureTable;
class FigureTableModel;
class PeriodBarChart;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QSplitter;
class QTableView;
class TfrmGraph;
class WindowServices;

// The "Periods" window of one graph window: the graph's figures period by period (Start, N,
// Leq, Lmax, L10, L90, coverage) for a period chosen from the list or typed in seconds, a bar
// chart of the periods' Leq against the graph's limit, and the day-evening-night levels with
// each part's coverage, one row per day, for the hours chosen from the presets (Ldn without an
// evening). Figures of low coverage or from few points are flagged (FigureTable); the hours and
// the coverage threshold are the program's settings, the last chosen in any "Periods" window.
// The tables sort by a click on a header and copy to the clipboard ("Copy", Ctrl+C); File >
// Save writes the table last used as text. A double click on a period zooms the graph onto it.
//
// The window follows its graph: a timer looks at the graph's data revision, excluded intervals
// and limit once a second and works the figures out again only when one changed, so a recording
// costs at most one working-out a second; a new limit or excluded interval shows at once. It
// closes when its graph closes.
class TfrmPeriods : public MdiChildForm
{
    Q_OBJECT

public:
    static constexpr int FollowIntervalMs = 1000;

    TfrmPeriods(WindowServices &services, TfrmGraph &graph, QWidget *parent = nullptr);
    ~TfrmPeriods() override;

    // The graph shown, or none once it closed.
    TfrmGraph *graph() const { return m_graph; }
    static QString captionFor(const TfrmGraph &graph);

    // The period the tables show, in seconds.
    int period() const { return m_period; }
    const DayEveningNightHours &hours() const { return m_hours; }
    int coverageThreshold() const { return m_threshold; }
    const FigureTable &periodTable() const;
    const FigureTable &dayTable() const;
    const PeriodBarChart &barChart() const { return *chtPeriods; }

    // The table last clicked or focused (the periods at first), as a table window holds it:
    // what File > Save writes.
    CellTable table() const;

    // Handlers.
    // The list's choice, or the typed number of seconds confirmed with Enter; a text that names
    // no period is refused with a message and the tables keep their period.
    void cboPeriodChange();
    // A preset of the day-evening-night hours chosen, or a coverage threshold set: the tables
    // again, and the choice kept in the settings.
    void cboHoursChange(int index);
    void spnCoverageChange(int percent);
    // "Copy" and Ctrl+C: the selected rows of the table last used (all rows when none is
    // selected) with the title line, tab-separated, on the clipboard.
    void btnCopyClick();
    // A double click on a period: the graph zoomed onto it and brought to the front.
    void grdPeriodsDblClick(int row);
    // The timer's tick: the figures again if the graph changed.
    void FollowTimerTimer();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildPeriodBar();
    QTableView *buildTable(const char *name, FigureTableModel *model);
    // Works out the periods and the days of the graph as it stands, and shows them.
    void recompute();
    void showStatus();
    void fitColumns();
    void showBars();

    WindowServices &m_services;
    QPointer<TfrmGraph> m_graph;
    int m_period = 0;
    DayEveningNightHours m_hours;
    int m_threshold = FigureFlags::DefaultCoverageThreshold;
    // The state of the graph the figures were made from.
    quint64 m_revision = 0;
    std::vector<ExcludedInterval> m_exclusions;
    std::optional<double> m_limit;
    long long m_unplaced = 0;
    long long m_refusedRows = 0; // periods beyond the rows a table holds
    QTimer FollowTimer;

    QComboBox *cboPeriod = nullptr;
    QComboBox *cboHours = nullptr;
    QSpinBox *spnCoverage = nullptr;
    QLabel *lblDays = nullptr;
    QLabel *lblStatus = nullptr;
    QPushButton *btnCopy = nullptr;
    FigureTableModel *m_periodModel = nullptr;
    FigureTableModel *m_dayModel = nullptr;
    QTableView *grdPeriods = nullptr;
    QTableView *grdDays = nullptr;
    QTableView *m_lastTable = nullptr;
    QSplitter *m_tables = nullptr;
    bool m_columnsFitted = false;
    PeriodBarChart *chtPeriods = nullptr;
};
