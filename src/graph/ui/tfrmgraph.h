#pragma once

#include "base/ui/mdichildform.h"
#include "chart/chartmodel.h"
#include "graph/realtimerecorder.h"
#include "survey/acousticfigures.h"
#include "survey/cursorplacement.h"
#include "survey/graphsource.h"
#include "survey/graphstatistics.h"

#include <QList>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <limits>
#include <optional>
#include <utility>

class AcousticFiguresPanel;
class ChartModel;
class DistributionPanel;
class ExceedancesPanel;
class PESGraph;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QSplitter;
class QToolBar;
class ScrolledPanel;
class StringGrid;
class Tslider2;
class WindowServices;

// The window that shows one chart: two toolbars (the graph's look and marks; the survey's
// exclusions, limit, periods, overlay and report), the statistics panel above the chart, the chart
// with its read-out, the "Acoustic figures" and "Exceedances" pages beside it (panels of their
// own, handed the chart's measurement), and the cursor panel with the two-thumb slider below. The
// same window serves every graph; the caption tells the kinds apart ("Real-Time Graph",
// "DataLogger", "LEQ", or a file's path). The "DataLogger" window also shows its data sets panel.
//
// The window's controls are its own: others hand it values through its methods (the figures of
// a data set, the texts of a recording tick) and it writes them. A value written by the program
// never runs a handler meant for the user's edit.
class TfrmGraph : public MdiChildForm
{
    Q_OBJECT

public:
    static inline const QString RealTimeCaption = QStringLiteral("Real-Time Graph");
    static inline const QString DataLoggerCaption = QStringLiteral("DataLogger");
    static inline const QString LeqCaption = QStringLiteral("LEQ");

    explicit TfrmGraph(WindowServices &services, QWidget *parent = nullptr);

    // The chart and its data. Whoever writes the data redraws the chart afterwards.
    PESGraph &chart() { return *PESGraph1; }
    const PESGraph &chart() const { return *PESGraph1; }
    ChartModel &chartModel();
    const ChartModel &chartModel() const;

    // Full set-up of a new chart, the graph template first.
    void PrepareGraph(int subsets, double maxY, double minY, double maxX, double minX, int points);
    // The data and scale part of the set-up only.
    void ResetGraphData(int subsets, double maxY, double minY, double maxX, double minX,
                        int points);

    // The whole-graph figures of the chart, and the cursor slider.
    void UpdateGraphStatistics();
    // Shows figures worked out elsewhere (a data set's): the statistics panel and the slider.
    void showFigures(const GraphStatistics::Whole &figures);
    // Cursor A and B from the slider, then the figures between them.
    void Slider1ValueChange1();
    void UpdateCursorStatistics();
    // Sets the cursor slider's range and thumbs (moving the cursors).
    void placeCursors(int maximum, int value1, int value2);
    // Cursors A and B onto the points given, over the whole chart.
    void placeCursorsOn(const CursorPlacement::Indexes &at);
    // The analysis of the measurement shown replaced by another (a data set's own, shown again):
    // its marks, exclusions, limit and overlay drawn, its cursors placed as CursorPlacement
    // places them, and every figure and page worked out again.
    void showAnalysis(const MeasurementAnalysis &analysis);
    // The texts of every statistic field, as "Export Statistic" reads them.
    GraphStatistics::Fields fields() const;

    bool isCaption(const QString &caption) const { return windowTitle() == caption; }

    // Where the graph's points came from: the figures' interval and a report's source lines.
    void setSource(const GraphSource &source);
    const GraphSource &source() const { return chartModel().source; }
    // The acoustic figures the panel shows: of the whole graph, and between cursors A and B,
    // worked out again when the data, the exclusions or the source changed.
    AcousticFigures::Figures wholeAcousticFigures();
    AcousticFigures::Figures betweenAcousticFigures();
    // The pages beside the chart again (the data changed), or the panel's between-cursors
    // column (a cursor moved).
    void refreshAcousticFigures();
    void showBetweenAcousticFigures();
    // "Export Figures": the panel's figures on the clipboard as tab-separated lines.
    // "Export Figures": the figures and, after a blank line, the method lines.
    void ExportFiguresClick();
    // How the figures were worked out (the figures' tooltip and "Export Figures").
    QStringList methodLines() const;

    // The measurement drawn over the graph: put on or taken off (none), the chart redrawn and
    // the panel's "Overlay" column shown with its figures, or hidden.
    void setOverlay(std::optional<OverlaySeries> overlay);
    // "Remove Overlay", enabled while there is one.
    void RemoveOverlayClick();

    // The real-time graph: the Clear button shows and the sampling-rate box becomes a drop-down
    // list that the user can change.
    void makeRealTimeGraph(double rate);
    QString rateText() const;
    // Selects the rate box's item for a rate (nothing for rates of 30.5 s and above).
    void selectRateItem(double rate);
    void setClearEnabled(bool enabled);
    // Run: the statistic fields empty, the start time and a data count of 0.
    void showRecordingStart(const QString &startTime);
    void showRecordingTexts(const RealTimeRecorder::Texts &texts);
    void showRecordingStop(const RealTimeRecorder::StopResult &result);
    // What the window says about the meter while it records (empty: nothing).
    QString meterLostText() const;

    // The data sets panel of the "DataLogger" window: one row per data set under the titles,
    // or one empty row when there is none; the first row is selected.
    void showDataSetsPanel();
    void showDataSetRows(const QList<QStringList> &rows);
    void setDataSetRow(int row, const QStringList &texts);
    QString dataSetCell(int col, int row) const;
    int dataSetRowCount() const;

    // The "LEQ" window: the levels of source and their cumulative Leq, and the figures.
    void showCumulativeLeqOf(const ChartModel &source);
    void setCalLeqEnabled(bool enabled);
    // The sampling-rate field of a graph that is not the real-time one.
    void showSamplingRate(const QString &text);

    // Handlers.
    void FormShow();
    void ToolButton1Click();
    void ToolButton2Click();
    void ToolButton7Click();
    void tbntClrClick();
    void UndoZoomClick();
    // Zooms the chart's X axis onto from to to (days) as a drag does, so that "Undo Zoom" goes
    // back.
    void zoomOnto(double from, double to);
    // The drawing modes: "Normal Cursor", "Draw A Cross On Graph" and "Text", shared by every
    // graph window until another mode button is pressed or a graph window is shown.
    void ToolButton4Click();
    void ToolButton5Click();
    void ToolButton9Click();
    // A click on the chart in the cross or text mode places a mark; returns its index, or -1
    // when nothing was placed (the normal mode, outside the plotting area, Cancel). A click on a
    // mark may be the first half of the double click that erases it: it places its mark only
    // when no second click follows within the double-click interval.
    int PESGraph1Click();
    // "Erase Annotation": the marks listed, the selected ones erased.
    void ToolButton13Click();
    // A double click on a mark erases it.
    void PESGraph1DblClick();
    void Button1Click();
    void Button2Click();
    void bunCalLEQClick();
    // The chart as the window shows it: an image on the clipboard at the size shown, or a
    // picture file (PNG, SVG or PDF by the name's extension) at the size the user chooses,
    // starting at the size shown. False when nothing was written.
    void CopyPicture1Click();
    bool SavePicture1Click();
    // "Exclude A-B": the interval between cursors A and B, with the label the user gives it,
    // taken out of the figures. "Include": the excluded interval under cursor A, or else under
    // cursor B, put back. Both return whether the excluded intervals changed.
    bool ExcludeABClick();
    bool IncludeClick();
    // "Limit...": the limit the graph is checked against, typed in dB (empty: none). Returns
    // whether it changed.
    bool LimitClick();
    // "Export Exceedances": the runs on the clipboard as tab-separated lines.
    void ExportExceedancesClick();
    // "Copy" on the "Distribution" page: its table on the clipboard as tab-separated lines.
    void CopyDistributionClick();
    void txtSamplingRateChange();
    void PESGraph1ZoomIn();
    void PESGraph1CustomizeDlg(bool changed);
    void PESGraph1MouseMove();
    void PESGraph1DataHotSpot(int subset, int point);
    bool FormCloseQuery() override;
    // Before the data logger window's data sets are closed or replaced: while they are a download
    // never saved, asks "Save DataLogger Data ?". Yes saves them as the Save command does, No
    // lets them go; false (keep everything) on Cancel or a save that was cancelled or failed.
    bool offerToSaveLoggerData();
    // Tells the data logger window whether its data sets hold analysis that was never saved
    // (marks, intervals, a limit or an overlay added since the collection was opened or saved);
    // it is offered for saving as an unsaved download is.
    void setUnsavedAnalysisCheck(std::function<bool()> check)
    {
        m_unsavedAnalysis = std::move(check);
    }

Q_SIGNALS:
    // A click on a row of the data sets panel, and its "Change Date & Time" (grid rows).
    void dataSetRowClicked(int row);
    void changeDateTimeRequested(int row);
    // "CAL Leq": the window's maker opens the "LEQ" window of this graph.
    void calLeqRequested();
    // "Report...": the program makes a survey report of this graph.
    void reportRequested();
    // "Overlay...": the program offers a second measurement to draw over this graph.
    void overlayRequested();
    // "Periods...": the program shows the "Periods" window of this graph.
    void periodsRequested();
    // Clear emptied the chart.
    void cleared();
    // Exclude A-B or Include changed the chart's excluded intervals.
    void exclusionsChanged();
    // "Limit..." set, changed or took off the chart's limit.
    void limitChanged();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildToolBar();
    void buildSurveyBar();
    // "Remove Overlay" enabled while there is an overlay, and the panel's "Overlay" column.
    void showOverlayFigures();
    void buildDataSetsPanel();
    QWidget *buildStatisticPanel();
    QWidget *buildCursorPanel();
    // The panel beside the chart: the "Figures" page and the "Exceedances" page.
    QWidget *buildFiguresTabs();
    // Cursors A and B as the slider places them, none without a cursor range.
    std::optional<std::pair<int, int>> cursorRange() const;
    void applyDefaultLook();
    void alignSlider();
    void moveReadOut();
    void fitDataSetsPanel();
    void clearStatisticFields();
    void hideCursorLines();
    void forgetFigures();
    void showCursor(int line, int index);
    void dragCursorTowardMouse();
    // "Double click to delete." while the mouse is over a mark.
    void showDeleteHint();
    // Places a cross or a text (asked for) where the mouse was, in the current drawing mode.
    int placeMarkAt(const QPoint &mouse);
    // Tells the user once per state of the data that a figure could not be computed.
    void reportFailedFigure();

    WindowServices &m_services;
    std::function<bool()> m_unsavedAnalysis;
    QSplitter *m_splitter = nullptr;
    // The statistics and cursor panels, scrolling when the window is too small for them.
    ScrolledPanel *m_statisticView = nullptr;
    ScrolledPanel *m_cursorView = nullptr;
    int m_draggedLine = -1; // the cursor line being dragged with the mouse, or -1
    // A click on a mark, waiting to see whether it is a double click.
    QTimer m_pendingMarkClick;
    QPoint m_pendingMarkAt;
    bool m_shownOnce = false;
    quint64 m_reportedRevision = std::numeric_limits<quint64>::max();

    PESGraph *PESGraph1 = nullptr;
    Tslider2 *Slider1 = nullptr;
    QToolBar *ToolBar1 = nullptr;
    QToolBar *SurveyBar = nullptr;
    QAction *ToolButton1 = nullptr, *ToolButton2 = nullptr, *ToolButton4 = nullptr,
            *ToolButton5 = nullptr, *ToolButton9 = nullptr, *ToolButton13 = nullptr,
            *ToolButton6 = nullptr, *ToolButton7 = nullptr, *tbntSep3 = nullptr, *tbntClr = nullptr,
            *UndoZoom = nullptr, *Button1 = nullptr, *Button2 = nullptr, *bunCalLEQ = nullptr,
            *CopyPicture1 = nullptr, *SavePicture1 = nullptr;
    QAction *ExcludeAB = nullptr, *Include = nullptr, *LimitAction = nullptr;
    QAction *Overlay1 = nullptr, *RemoveOverlay1 = nullptr;
    QWidget *pnlDataSets = nullptr, *pnlGraphStatistic = nullptr, *pnlSamplingRate = nullptr,
            *pnlStatistic = nullptr, *pnlSlider = nullptr;
    QLineEdit *txtStartTime = nullptr, *txtDataNo = nullptr, *txtAvgAll = nullptr,
              *txtMax = nullptr, *txtMaxTime = nullptr, *txtMin = nullptr, *txtMinTime = nullptr;
    QComboBox *txtSamplingRate = nullptr;
    QLineEdit *txtCursorA = nullptr, *txtCursorATime = nullptr, *txtCursorB = nullptr,
              *txtCursorBTime = nullptr, *txtMaxAB = nullptr, *txtMaxABTime = nullptr,
              *txtMinAB = nullptr, *txtMinABTime = nullptr, *txtAvgAB = nullptr;
    QLabel *lblMeterLost = nullptr;
    // The pages beside the chart, handed the chart's measurement and its source.
    AcousticFiguresPanel *pnlAcoustic = nullptr;
    ExceedancesPanel *pnlExceedances = nullptr;
    DistributionPanel *pnlDistribution = nullptr;
    QLabel *Panel12 = nullptr;
    // The data sets panel of the "DataLogger" window.
    QLabel *StaticText1 = nullptr;
    StringGrid *Grid2 = nullptr;
    QAction *ChangeDateTime1 = nullptr;
};
