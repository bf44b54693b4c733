#pragma once

#include "app/ui/mdichildform.h"
#include "graph/graphstatistics.h"

class PESGraph;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QSplitter;
class QToolBar;
class StringGrid;
class TfrmMain;
class Tslider2;

// The window that shows one chart: a toolbar, the statistics panel above the chart, the chart
// with its read-out, and the cursor panel with the two-thumb slider below. The same window
// serves every graph; the caption tells the kinds apart ("Real-Time Graph", "DataLogger",
// "LEQ", or a file's path).
class TfrmGraph : public MdiChildForm
{
    Q_OBJECT

public:
    static inline const QString RealTimeCaption = QStringLiteral("Real-Time Graph");
    static inline const QString DataLoggerCaption = QStringLiteral("DataLogger");
    static inline const QString LeqCaption = QStringLiteral("LEQ");

    explicit TfrmGraph(TfrmMain &main, QWidget *parent = nullptr);

    // Full set-up of a new chart, the graph template first.
    void PrepareGraph(int subsets, double maxY, double minY, double maxX, double minX, int points);
    // The data and scale part of the set-up only.
    void ResetGraphData(int subsets, double maxY, double minY, double maxX, double minX,
                        int points);

    // The whole-graph figures and the cursor slider.
    void UpdateGraphStatistics();
    // Cursor A and B from the slider, then the figures between them.
    void Slider1ValueChange1();
    void UpdateCursorStatistics();
    // Sets the cursor slider's range and thumbs (moving the cursors).
    void placeCursors(int maximum, int value1, int value2);

    // The texts of every statistic field, and emptying them (Run).
    GraphStatistics::Fields fields() const;
    void clearStatisticFields();

    // Turns this window into the real-time graph: the Clear button shows and the sampling-rate
    // box becomes a drop-down list that can be changed.
    void makeRealTimeGraph();
    bool isCaption(const QString &caption) const { return windowTitle() == caption; }
    void selectRateItem(double rate);
    // Widens the data sets panel to show every column of its grid.
    void fitDataSetsPanel();

    // Handlers.
    void FormShow();
    void ToolButton1Click();
    void ToolButton2Click();
    void ToolButton7Click();
    void tbntClrClick();
    void UndoZoomClick();
    void Button1Click();
    void Button2Click();
    void bunCalLEQClick();
    void txtSamplingRateChange();
    void PESGraph1ZoomIn();
    void PESGraph1CustomizeDlg(bool changed);
    void PESGraph1MouseMove();
    void PESGraph1DataHotSpot(int subset, int point);
    bool FormCloseQuery() override;

    PESGraph *PESGraph1 = nullptr;
    Tslider2 *Slider1 = nullptr;
    QToolBar *ToolBar1 = nullptr;
    QAction *ToolButton1 = nullptr, *ToolButton2 = nullptr, *ToolButton4 = nullptr,
            *ToolButton5 = nullptr, *ToolButton9 = nullptr, *ToolButton13 = nullptr,
            *ToolButton6 = nullptr, *ToolButton7 = nullptr, *tbntSep3 = nullptr, *tbntClr = nullptr,
            *UndoZoom = nullptr, *Button1 = nullptr, *Button2 = nullptr, *bunCalLEQ = nullptr;
    QWidget *pnlDataSets = nullptr, *pnlGraphStatistic = nullptr, *pnlSamplingRate = nullptr,
            *pnlStatistic = nullptr, *pnlSlider = nullptr;
    QLineEdit *txtStartTime = nullptr, *txtDataNo = nullptr, *txtAvgAll = nullptr,
              *txtMax = nullptr, *txtMaxTime = nullptr, *txtMin = nullptr, *txtMinTime = nullptr;
    QComboBox *txtSamplingRate = nullptr;
    QLineEdit *txtCursorA = nullptr, *txtCursorATime = nullptr, *txtCursorB = nullptr,
              *txtCursorBTime = nullptr, *txtMaxAB = nullptr, *txtMaxABTime = nullptr,
              *txtMinAB = nullptr, *txtMinABTime = nullptr, *txtAvgAB = nullptr;
    QLabel *Panel12 = nullptr;
    // The data sets panel of the "DataLogger" window.
    QLabel *StaticText1 = nullptr;
    StringGrid *Grid2 = nullptr;
    QAction *ChangeDateTime1 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildToolBar();
    void buildDataSetsPanel();
    QWidget *buildStatisticPanel();
    QWidget *buildCursorPanel();
    void applyDefaultLook();
    void alignSlider();
    void moveReadOut();
    void showCursor(int line, int index);
    void dragCursorTowardMouse();

    TfrmMain &m_main;
    QSplitter *m_splitter = nullptr;
    int m_draggedLine = -1; // the cursor line being dragged with the mouse, or -1
    bool m_shownOnce = false;
};
