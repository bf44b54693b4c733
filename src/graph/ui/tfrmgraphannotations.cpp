// The graph window's marks: the three drawing modes, placing a cross or a text with a click,
// erasing marks through "Erase Annotation" or with a double click on one.
#include "base/appstate.h"
#include "base/ui/prompts.h"
#include "base/ui/windowservices.h"
#include "chart/ui/pesgraph.h"
#include "graph/ui/tfrmannoedit.h"
#include "graph/ui/tfrmdelanno.h"
#include "graph/ui/tfrmgraph.h"
#include "survey/placedannotations.h"

#include <QAction>
#include <QApplication>
#include <QPixmap>

namespace {

const QString DeleteHint = QStringLiteral("Double click to delete.");

} // namespace

void TfrmGraph::ToolButton4Click()
{
    PESGraph1->setArrowCursor(1);
    m_services.state().drawingMode = PlacedAnnotations::NormalMode;
}

void TfrmGraph::ToolButton5Click()
{
    // The cross cursor's hot spot is its top left corner; the cross is drawn 15 pixels to the
    // right and below it, where the click puts the mark.
    PESGraph1->setArrowCursor(QCursor(QPixmap(QStringLiteral(":/CROSS")), 0, 0));
    m_services.state().drawingMode = PlacedAnnotations::CrossMode;
}

void TfrmGraph::ToolButton9Click()
{
    PESGraph1->setArrowCursor(2);
    m_services.state().drawingMode = PlacedAnnotations::TextMode;
}

int TfrmGraph::PESGraph1Click()
{
    AppState &state = m_services.state();
    const int mode = state.drawingMode;
    if (mode != PlacedAnnotations::CrossMode && mode != PlacedAnnotations::TextMode)
        return -1;
    const QPoint mouse = PESGraph1->lastMousePosition();
    // Over a mark the chart says "Double click to delete.": the click waits for the second one
    // before it places anything, so that a double click erases the mark and places nothing.
    if (PlacedAnnotations::isPlaced(PESGraph1->model(), PESGraph1->annotationAt(mouse))) {
        m_pendingMarkAt = mouse;
        m_pendingMarkClick.start(QApplication::doubleClickInterval());
        return -1;
    }
    return placeMarkAt(mouse);
}

int TfrmGraph::placeMarkAt(const QPoint &mouse)
{
    AppState &state = m_services.state();
    const int mode = state.drawingMode;
    if (mode != PlacedAnnotations::CrossMode && mode != PlacedAnnotations::TextMode)
        return -1;
    const QPoint at = PlacedAnnotations::shiftedPosition(mouse, mode);
    const QPointF value = PESGraph1->pixelToValue(at);
    if (!PESGraph1->plottingRect().contains(at))
        return -1;
    QString text;
    if (mode == PlacedAnnotations::TextMode) {
        TfrmAnnoEdit dialog(this);
        if (m_services.prompts().execDialog(dialog) != QDialog::Accepted)
            return -1;
        text = dialog.text();
    }
    const int index = PlacedAnnotations::place(PESGraph1->model(), state.annotationCounter,
                                               mode == PlacedAnnotations::CrossMode
                                                   ? PlacedAnnotations::CrossType
                                                   : PlacedAnnotations::TextType,
                                               value.x(), value.y(), text);
    PESGraph1->redraw();
    return index;
}

void TfrmGraph::ToolButton13Click()
{
    TfrmDelAnno dialog(this);
    dialog.showRows(PlacedAnnotations::listed(PESGraph1->model()));
    if (m_services.prompts().execDialog(dialog) != QDialog::Accepted)
        return;
    for (int index : dialog.selectedIndexes())
        PlacedAnnotations::erase(PESGraph1->model(), index);
    PESGraph1->redraw();
}

void TfrmGraph::PESGraph1DblClick()
{
    m_pendingMarkClick.stop();
    const int index = PESGraph1->annotationAt(PESGraph1->lastMousePosition());
    if (!PlacedAnnotations::isPlaced(PESGraph1->model(), index))
        return;
    PlacedAnnotations::erase(PESGraph1->model(), index);
    PESGraph1->setToolTip(QString());
    PESGraph1->redraw();
}

void TfrmGraph::showDeleteHint()
{
    const int index = PESGraph1->annotationAt(PESGraph1->lastMousePosition());
    const QString hint
        = PlacedAnnotations::isPlaced(PESGraph1->model(), index) ? DeleteHint : QString();
    if (PESGraph1->toolTip() != hint)
        PESGraph1->setToolTip(hint);
}
