// The graph window's commands and chart events.

#include "base/appfolders.h"
#include "base/appstate.h"
#include "base/clock.h"
#include "base/datetimedays.h"
#include "base/ui/prompts.h"
#include "base/ui/scrolledpanel.h"
#include "base/ui/windowservices.h"
#include "chart/ui/chartpicture.h"
#include "chart/ui/pesgraph.h"
#include "chart/ui/tfrmpicturesize.h"
#include "files/graphfile.h"
#include "graph/samplingrate.h"
#include "graph/ui/acousticfigurespanel.h"
#include "graph/ui/tfrmgraph.h"
#include "graph/ui/tslider2.h"
#include "survey/placedannotations.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QToolTip>

void TfrmGraph::showEvent(QShowEvent *event)
{
    MdiChildForm::showEvent(event);
    FormShow();
    if (!m_shownOnce) {
        m_shownOnce = true;
        alignSlider();
        moveReadOut();
    }
}

void TfrmGraph::FormShow()
{
    PESGraph1->setArrowCursor(1);
    m_services.state().drawingMode = PlacedAnnotations::NormalMode;
    // The items are rewritten in the user's decimal separator; the chosen one stays.
    const QSignalBlocker blocker(txtSamplingRate);
    const QStringList items = SamplingRate::graphBoxItems();
    for (int i = 0; i < items.size() && i < txtSamplingRate->count(); ++i)
        txtSamplingRate->setItemText(i, items[i]);
}

void TfrmGraph::resizeEvent(QResizeEvent *event)
{
    MdiChildForm::resizeEvent(event);
    alignSlider();
}

bool TfrmGraph::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == PESGraph1 && event->type() == QEvent::Resize) {
        alignSlider();
        moveReadOut();
    }
    // Over the figures (where no field has a tip of its own) the tip is how they were worked
    // out, made when asked: counting the points left out takes a pass over the data.
    if (watched == pnlAcoustic && event->type() == QEvent::ToolTip) {
        QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(),
                           methodLines().join(QLatin1Char('\n')), pnlAcoustic);
        return true;
    }
    return MdiChildForm::eventFilter(watched, event);
}

void TfrmGraph::alignSlider()
{
    // The slider lines up with the chart's plotting area, so a thumb stands under its cursor.
    const QRect plot = PESGraph1->plottingRect();
    if (plot.width() <= 0)
        return;
    const int left
        = PESGraph1->mapTo(this, plot.topLeft()).x() - pnlSlider->mapTo(this, QPoint()).x();
    Slider1->setGeometry(left, 2, plot.width(), 24);
}

void TfrmGraph::moveReadOut()
{
    const QRect plot = PESGraph1->plottingRect();
    Panel12->move(plot.left() + 1, plot.top() + 1);
    Panel12->raise();
}

void TfrmGraph::ToolButton1Click()
{
    m_statisticView->setVisible(ToolButton1->isChecked());
    moveReadOut();
}

void TfrmGraph::ToolButton2Click()
{
    const bool on = ToolButton2->isChecked();
    m_cursorView->setVisible(on);
    PESGraph1->model().showVertLineAnnotations = on;
    PESGraph1->redraw();
}

void TfrmGraph::ToolButton7Click()
{
    PESGraph1->model().viewingStyle
        = ToolButton7->isChecked() ? ViewingStyle::Monochrome : ViewingStyle::Color;
    PESGraph1->redraw();
}

void TfrmGraph::tbntClrClick()
{
    AppState &state = m_services.state();
    // A recording never saved (one recovered after a crash is the user's only copy) is asked
    // about as closing asks: Cancel, or a save that did not happen, keeps it.
    if (state.RealTimeModified && state.RealTimeCount > 0 && isCaption(RealTimeCaption)) {
        switch (m_services.prompts().ask(QStringLiteral("Save Real-Time Graph ?"), true)) {
        case Prompts::Answer::Cancel:
            return;
        case Prompts::Answer::Yes:
            if (!m_services.saveChildWindow(*this))
                return;
            break;
        case Prompts::Answer::No:
            break;
        }
    }
    state.RealTimeModified = false;
    setWindowTitle(RealTimeCaption);
    m_services.setRealTimeGraphChecked(true);
    tbntSep3->setVisible(true);
    tbntClr->setVisible(true);
    const double now = DateTimeDays::fromDateTime(m_services.clock().now());
    // Every point is a null point: Clear leaves no level behind.
    ResetGraphData(1, 130, 30, now + 0.00034722223, now, 200);
    forgetFigures();
    txtStartTime->clear();
    txtDataNo->setText(QStringLiteral("0"));
    lblMeterLost->clear();
    lblMeterLost->hide();
    state.RealTimeCount = 0;
    // The marks go with the levels they marked, and their numbering starts again.
    PlacedAnnotations::clear(PESGraph1->model(), state.annotationCounter);
    PESGraph1->redraw();
    Q_EMIT cleared();
}

void TfrmGraph::PESGraph1ZoomIn()
{
    UndoZoom->setEnabled(true);
}

void TfrmGraph::UndoZoomClick()
{
    PESGraph1->undoZoom();
    PESGraph1->redraw();
    UndoZoom->setEnabled(false);
}

void TfrmGraph::zoomOnto(double from, double to)
{
    PESGraph1->zoomToX(from, to);
}

void TfrmGraph::Button1Click()
{
    PESGraph1->customize();
}

void TfrmGraph::PESGraph1CustomizeDlg(bool changed)
{
    // The template offer: a changed look can become the look of every new graph.
    if (!changed)
        return;
    Prompts &prompts = m_services.prompts();
    if (prompts.ask(QStringLiteral("Do you want to save the changes ?"), false)
        != Prompts::Answer::Yes)
        return;
    const QString folder = m_services.folders().templateFolder();
    if (!QDir().mkpath(folder)) {
        prompts.showError(QStringLiteral("Cannot create ") + QDir::toNativeSeparators(folder)
                          + QStringLiteral(" directory."));
        return;
    }
    const QString error
        = GraphFile::write(m_services.folders().templateFile(), PESGraph1->storeTemplateBlock());
    if (!error.isEmpty())
        prompts.showError(error);
}

void TfrmGraph::Button2Click()
{
    QApplication::clipboard()->setText(GraphStatistics::exportText(fields()));
    m_services.prompts().showMessage(QStringLiteral("The statistic has been copy to clipboard"));
}

void TfrmGraph::bunCalLEQClick()
{
    Q_EMIT calLeqRequested();
}

void TfrmGraph::txtSamplingRateChange()
{
    AppState &state = m_services.state();
    if (!state.RealTimeRunning) {
        if (const std::optional<double> rate
            = SamplingRate::parseRate(txtSamplingRate->currentText()))
            state.RealTimeRate = static_cast<float>(*rate);
        return;
    }
    selectRateItem(state.RealTimeRate);
    m_services.prompts().showMessage(
        QStringLiteral("Can not change Sampling Rate while Real-Time is running."));
}

void TfrmGraph::PESGraph1MouseMove()
{
    if (m_draggedLine >= 0) {
        dragCursorTowardMouse();
        return;
    }
    showDeleteHint();
    const QPoint mouse = PESGraph1->lastMousePosition();
    const QRect plot = PESGraph1->plottingRect();
    if (!plot.contains(mouse))
        return;
    const QPointF value = PESGraph1->pixelToValue(mouse);
    Panel12->setText(GraphStatistics::levelText(value.y()) + QStringLiteral("dB@")
                     + DateTimeDays::timeText(value.x()));
}

void TfrmGraph::dragCursorTowardMouse()
{
    // The dragged cursor steps point by point toward the mouse's X.
    const ChartModel &m = PESGraph1->model();
    const int n = m.points();
    if (n <= 0)
        return;
    const double mouseX = PESGraph1->pixelToValue(PESGraph1->lastMousePosition()).x();
    int index = m_draggedLine == 0 ? Slider1->Value1() : Slider1->Value2();
    while (index < n - 1 && m.x(0, index) < mouseX && m.x(0, index + 1) <= mouseX)
        ++index;
    while (index > 0 && m.x(0, index) > mouseX)
        --index;
    if (m_draggedLine == 0)
        Slider1->setValue1(index);
    else
        Slider1->setValue2(index);
}

void TfrmGraph::PESGraph1DataHotSpot(int subset, int point)
{
    const ChartModel &m = PESGraph1->model();
    const double x = m.x(subset, point);
    const float y = m.y(subset, point);
    GraphAnnotation marker;
    marker.type = 2;
    marker.x = x;
    marker.y = y;
    marker.color = QColor(255, 255, 0);
    marker.text = DateTimeDays::timeText(DateTimeDays::roundedToSecond(x)) + QLatin1Char('\r')
        + GraphStatistics::levelText(y) + QStringLiteral(" dB");
    PESGraph1->model().annotations[2] = marker;
    PESGraph1->redraw();
}

bool TfrmGraph::offerToSaveLoggerData()
{
    // A Yes whose save is cancelled or fails keeps the data: letting it go then would lose what
    // the user asked to keep.
    AppState &state = m_services.state();
    if (!isCaption(DataLoggerCaption)
        || !(state.loggerDataLoaded || (m_unsavedAnalysis && m_unsavedAnalysis())))
        return true;
    switch (m_services.prompts().ask(QStringLiteral("Save DataLogger Data ?"), true)) {
    case Prompts::Answer::Cancel:
        return false;
    case Prompts::Answer::Yes:
        if (!m_services.saveChildWindow(*this))
            return false;
        state.loggerDataLoaded = false;
        break;
    case Prompts::Answer::No:
        break;
    }
    return true;
}

bool TfrmGraph::FormCloseQuery()
{
    if (!offerToSaveLoggerData())
        return false;
    AppState &state = m_services.state();
    Prompts &prompts = m_services.prompts();
    if (state.RealTimeModified && isCaption(RealTimeCaption)) {
        switch (prompts.ask(QStringLiteral("Save Real-Time Graph ?"), true)) {
        case Prompts::Answer::Cancel:
            return false;
        case Prompts::Answer::Yes:
            if (!m_services.saveChildWindow(*this))
                return false;
            state.RealTimeModified = false;
            break;
        case Prompts::Answer::No:
            state.RealTimeModified = false;
            break;
        }
    }
    return true;
}

void TfrmGraph::CopyPicture1Click()
{
    QGuiApplication::clipboard()->setImage(ChartPicture::image(*PESGraph1, PESGraph1->size()));
}

bool TfrmGraph::SavePicture1Click()
{
    Prompts &prompts = m_services.prompts();
    const QString fileName
        = prompts.saveFileName(QStringLiteral("Save Picture"), m_services.folders().dialogFolder(),
                               ChartPicture::filter(), QStringLiteral("png"));
    if (fileName.isEmpty())
        return false;
    TfrmPictureSize size(PESGraph1->size(), this);
    if (prompts.execDialog(size) != QDialog::Accepted)
        return false;
    const QString error = ChartPicture::save(*PESGraph1, fileName, size.size());
    if (!error.isEmpty()) {
        prompts.showError(error);
        return false;
    }
    return true;
}
