#pragma once

#include "chart/chartmodel.h"

#include <QCursor>
#include <QWidget>

#include <functional>
#include <memory>

class ChartCustomizeDialog;
class QCustomPlot;
class QDialog;
class QPainter;
class QPrinter;

// The chart widget every graph window draws through, over QCustomPlot. It draws a ChartModel:
// subsets of points with X in days (a date-time axis in the user's locale) and Y in dB, the
// null value 9999 not drawn, manual scales, titles, legend at the top, dotted grid, colour or
// monochrome, graph annotations (type 2 a cross, type 0 only text), the two vertical line
// annotations and the excluded intervals (grey bands with their labels). It zooms by dragging
// (horizontally and vertically, with an undo stack), converts pixels to values and back, has a
// customisation dialog, prints, and stores the whole chart as one block.
//
// The data stays in the model; it is handed to QCustomPlot only on redraw, and only when it
// changed, so that large charts stay fast.
class PESGraph : public QWidget
{
    Q_OBJECT

public:
    explicit PESGraph(QWidget *parent = nullptr);
    ~PESGraph() override;

    ChartModel &model() { return m_model; }
    const ChartModel &model() const { return m_model; }

    // Brings the picture up to date with the model ("reset image" and "invalidate"). The data
    // and settings are taken over at once; the picture is repainted from the event loop, so that
    // several redraws in a row cost one repaint.
    void redraw();
    // redraw, then repaints before returning (printing, benchmarks, tests).
    void redrawNow();
    // Drops the zoom and everything drawn, then redraws from the model.
    void reinitAndReset();

    // Zoom: dragging a rectangle zooms into it, and a zoom may be nested in another; undoZoom
    // returns to the unzoomed view in one step.
    void setZoomingAllowed(bool allowed);
    bool canUndoZoom() const;
    void undoZoom();
    // Zooms X onto from to to (days) as a dragged band does; Y stays. Raises zoomedIn.
    void zoomToX(double from, double to);

    // Pixels (widget coordinates) and values (X days, Y dB).
    QPointF pixelToValue(const QPointF &pixel) const;
    QPointF valueToPixel(const QPointF &value) const;
    // The plotting rectangle (left, top, right, bottom inclusive) in widget coordinates.
    QRect plottingRect() const;
    // The last mouse position over the chart, in widget coordinates.
    QPoint lastMousePosition() const { return m_lastMouse; }
    // The index of the graph annotation whose hot spot (a cross, or a text's box) is at a
    // position in widget coordinates, or -1 (also when annotation hot spots are not allowed).
    int annotationAt(const QPoint &pixel) const;

    // The mouse cursor over the plotting area: 1 the arrow, 2 the I-beam for text, or a cursor.
    void setArrowCursor(int code);
    void setArrowCursor(const QCursor &cursor);

    // The customisation dialog; pages can be switched off. Returns whether anything changed
    // (the "changed" flag), and raises customizeDialogClosed.
    void setCustomizePages(bool fonts, bool titles, bool look, bool subsets);
    bool customize();
    // How customize() shows its dialog: QDialog::exec unless replaced (the window's prompts,
    // tests). The runner returns the dialog's result code.
    using DialogRunner = std::function<int(QDialog &)>;
    void setDialogRunner(DialogRunner runner);
    // Applies an accepted dialog to the model and redraws; returns whether anything changed.
    bool applyCustomization(const ChartCustomizeDialog &dialog);

    // Draws the chart onto a printer page (after the caller's print dialog), about in the shape
    // it has on the screen, as wide as the page allows; false when the printer (or its output
    // file) cannot be opened or the output not finished.
    bool print(QPrinter &printer);
    void render(QPainter &painter, const QRect &target);

    // The whole chart as one stored block, and back; a block that does not parse is refused,
    // leaves the chart unchanged and gives the reason.
    QByteArray storeBlock() const;
    bool loadBlock(const QByteArray &block, QString *error = nullptr);
    // The block a graph template keeps: the chart's look alone, without the points and the
    // analysis, which belong to one measurement (stored as a chart without subsets, so the
    // template stays readable by older copies).
    QByteArray storeTemplateBlock() const;

    // The underlying plot, for benchmarks and tests.
    QCustomPlot &plot();

Q_SIGNALS:
    void clicked(); // a click on the chart (the position is lastMousePosition)
    void doubleClicked(); // the position is lastMousePosition
    void mouseMoved(); // the position is lastMousePosition
    void mouseReleased();
    void zoomedIn();
    // A click on a data point (only when the model allows data hot spots).
    void dataHotSpot(int subset, int point);
    // A press on vertical line annotation 0 or 1 (only when the model allows their hot spots).
    void verticalLineHotSpot(int line);
    void customizeDialogClosed(bool changed);
    // The plotting rectangle moved or changed size (the axes' labels grew, the widget resized).
    void plottingRectChanged();

private:
    class Private;
    std::unique_ptr<Private> d;
    ChartModel m_model;
    QPoint m_lastMouse;
};
