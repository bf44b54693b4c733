// The main window's graph commands: Open and Save of graph files, and the real-time graph
// window's creation and closing.

#include "app/clock.h"
#include "app/ui/mainmenus.h"
#include "app/ui/prompts.h"
#include "app/ui/tfrmmain.h"
#include "files/graphfile.h"
#include "files/ui/tfrmopensave.h"
#include "graph/datetimedays.h"
#include "graph/ui/pesgraph.h"

#include <QAction>
#include <QFileInfo>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {
const QString GraphFilter = QStringLiteral("Graph file(*.ghf,only for Q7316) (*.GHF *.ghf)");

QString extensionOf(const QString &fileName)
{
    return QFileInfo(fileName).suffix().toLower();
}
} // namespace

bool TfrmMain::Save1Click()
{
    QMdiSubWindow *frame = m_mdiArea->activeSubWindow();
    return frame && saveChild(frame->widget());
}

bool TfrmMain::saveChild(QWidget *child)
{
    auto *graph = qobject_cast<TfrmGraph *>(child);
    if (!graph)
        return false; // the control panel, for instance, has nothing to save
    if (!graph->isCaption(TfrmGraph::DataLoggerCaption))
        return SaveGraph(*graph);
    // The data logger window: all data sets as a collection, or the shown set as a graph.
    TfrmOpenSave choice(this);
    switch (m_prompts.execDialog(choice)) {
    case TfrmOpenSave::Ok:
        return m_dataLogger.SaveDataSetCollection();
    case TfrmOpenSave::No:
        return SaveGraph(*graph);
    default:
        return false;
    }
}

bool TfrmMain::SaveGraph(TfrmGraph &graph)
{
    const QString folder
        = m_state.DataFolder.isEmpty() ? m_folders.programFolder : m_state.DataFolder;
    const QString fileName = m_prompts.saveFileName(QStringLiteral("Save As"), folder, GraphFilter,
                                                    QStringLiteral("GHF"));
    if (fileName.isEmpty())
        return false;
    if (extensionOf(fileName) != QLatin1String("ghf"))
        return false; // an unknown extension writes nothing
    const QString error = GraphFile::write(fileName, graph.PESGraph1->storeBlock());
    if (!error.isEmpty()) {
        m_prompts.showError(error);
        return false;
    }
    return true;
}

void TfrmMain::Open1Click()
{
    TfrmOpenSave choice(this);
    choice.forOpening(QLocale::system().decimalPoint() == QLatin1String(","));
    switch (m_prompts.execDialog(choice)) {
    case TfrmOpenSave::Ok:
        m_dataLogger.OpenDataSetCollection();
        return;
    case TfrmOpenSave::No:
        break;
    default:
        return;
    }
    const QString folder
        = m_state.DataFolder.isEmpty() ? m_folders.programFolder : m_state.DataFolder;
    const QString fileName = m_prompts.openFileName(QStringLiteral("Open"), folder, GraphFilter);
    if (fileName.isEmpty() || extensionOf(fileName) != QLatin1String("ghf"))
        return;
    OpenGraphFile(fileName);
}

bool TfrmMain::OpenGraphFile(const QString &fileName)
{
    // The whole block is read before a window is made, so a bad file makes none.
    const GraphFile::ReadResult read = GraphFile::read(fileName);
    if (!read.block) {
        m_prompts.showError(read.error);
        return false;
    }
    auto *graph = new TfrmGraph(*this);
    QString error;
    if (!graph->PESGraph1->loadBlock(*read.block, &error)) {
        delete graph;
        m_prompts.showError(error);
        return false;
    }
    graph->setWindowTitle(QFileInfo(fileName).absoluteFilePath());
    QMdiSubWindow *frame = addChildWindow(graph);
    connect(graph, &MdiChildForm::formClosed, this, [this, graph] { graphWindowClosed(graph); });
    frame->setGeometry(0, 0, m_mdiArea->width(), qMax(200, m_mdiArea->height() - 40));
    frame->show();
    graph->UpdateGraphStatistics();
    graph->PESGraph1->reinitAndReset();
    return true;
}

TfrmGraph *TfrmMain::createRealTimeGraph()
{
    auto *graph = new TfrmGraph(*this);
    graph->setWindowTitle(TfrmGraph::RealTimeCaption);
    QMdiSubWindow *frame = addChildWindow(graph);
    RealTimeGraphWindow = graph;
    m_menus->RealTimeGraph1->setChecked(true);
    connect(graph, &MdiChildForm::formClosed, this, [this, graph] { graphWindowClosed(graph); });
    const double now = DateTimeDays::fromDateTime(m_clock.now());
    graph->PrepareGraph(1, 130, 30, now + m_state.RealTimeRate * 510.0 * DateTimeDays::OneSecond,
                        now, 500);
    graph->makeRealTimeGraph();
    graph->tbntClr->setEnabled(!m_state.RealTimeRunning);
    frame->move(frame->x(), 0);
    frame->show();
    return graph;
}

void TfrmMain::RealTimeGraph1Click()
{
    if (RealTimeGraphWindow) {
        auto *frame = qobject_cast<QMdiSubWindow *>(RealTimeGraphWindow->parentWidget());
        frame->showNormal();
        m_mdiArea->setActiveSubWindow(frame);
        m_menus->RealTimeGraph1->setChecked(true);
        return;
    }
    createRealTimeGraph();
}

void TfrmMain::graphWindowClosed(TfrmGraph *graph)
{
    m_state.loggerDataLoaded = false;
    if (graph == DataLoggerGraphWindow)
        DataLoggerGraphWindow = nullptr;
    if (graph == RealTimeGraphWindow) {
        m_menus->RealTimeGraph1->setChecked(false);
        RealTimeGraphWindow = nullptr;
        m_realTime.windowClosed();
    }
}

void TfrmMain::activeChildChanged(QMdiSubWindow *frame)
{
    if (!frame)
        return;
    // Only a table window can be drawn as a graph.
    m_menus->btnOutputToGraph->setEnabled(false);
    if (auto *child = qobject_cast<MdiChildForm *>(frame->widget()))
        Q_EMIT child->formActivated();
}
