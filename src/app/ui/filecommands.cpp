#include "app/ui/filecommands.h"

#include "base/appfolders.h"
#include "base/appstate.h"
#include "base/ui/prompts.h"
#include "base/ui/windowservices.h"
#include "files/graphfile.h"
#include "files/ui/tfrmopensave.h"
#include "graph/chartblock.h"
#include "graph/chartmodel.h"
#include "graph/ui/graphwindowfactory.h"
#include "graph/ui/pesgraph.h"
#include "graph/ui/tfrmgraph.h"
#include "logger/ui/dataloggercontroller.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace {
const QString GraphFilter = QStringLiteral("Graph file(*.ghf,only for Q7316) (*.GHF *.ghf)");

QString extensionOf(const QString &fileName)
{
    return QFileInfo(fileName).suffix().toLower();
}
} // namespace

FileCommands::FileCommands(WindowServices &services, GraphWindowFactory &graphs,
                           DataLoggerController &dataLogger)
    : m_services(services)
    , m_graphs(graphs)
    , m_dataLogger(dataLogger)
{
}

bool FileCommands::saveChild(MdiChildForm &child)
{
    auto *graph = qobject_cast<TfrmGraph *>(&child);
    if (!graph)
        return false; // the control panel, for instance, has nothing to save
    if (!graph->isCaption(TfrmGraph::DataLoggerCaption))
        return SaveGraph(*graph);
    // The data logger window: all data sets as a collection, or the shown set as a graph.
    TfrmOpenSave choice(m_services.dialogParent());
    switch (m_services.prompts().execDialog(choice)) {
    case TfrmOpenSave::Ok:
        return m_dataLogger.SaveDataSetCollection();
    case TfrmOpenSave::No:
        return SaveGraph(*graph);
    default:
        return false;
    }
}

bool FileCommands::SaveGraph(TfrmGraph &graph)
{
    Prompts &prompts = m_services.prompts();
    const QString fileName
        = prompts.saveFileName(QStringLiteral("Save As"), m_services.folders().dialogFolder(),
                               GraphFilter, QStringLiteral("GHF"));
    if (fileName.isEmpty())
        return false;
    const QString extension = extensionOf(fileName);
    if (extension != QLatin1String("ghf")) {
        prompts.showError(QStringLiteral("Cannot save \"%1\": a file of type \"%2\" cannot be "
                                         "written. Choose a name ending in \".ghf\".")
                              .arg(QDir::toNativeSeparators(fileName),
                                   extension.isEmpty() ? QStringLiteral("(none)")
                                                       : QLatin1Char('.') + extension));
        return false;
    }
    const QString error = GraphFile::write(fileName, graph.chart().storeBlock());
    if (!error.isEmpty()) {
        prompts.showError(error);
        return false;
    }
    // What is saved is no longer unsaved: closing the window asks nothing more.
    if (&graph == m_graphs.RealTimeGraphWindow())
        m_services.state().RealTimeModified = false;
    return true;
}

void FileCommands::Open1Click()
{
    if (m_services.state().ExchangeRunning)
        return; // the command is disabled while an exchange has the meter
    TfrmOpenSave choice(m_services.dialogParent());
    choice.forOpening(QLocale::system().decimalPoint() == QLatin1String(","));
    switch (m_services.prompts().execDialog(choice)) {
    case TfrmOpenSave::Ok:
        m_dataLogger.OpenDataSetCollection();
        return;
    case TfrmOpenSave::No:
        break;
    default:
        return;
    }
    const QString fileName = m_services.prompts().openFileName(
        QStringLiteral("Open"), m_services.folders().dialogFolder(), GraphFilter);
    if (fileName.isEmpty() || extensionOf(fileName) != QLatin1String("ghf"))
        return;
    OpenGraphFile(fileName);
}

bool FileCommands::OpenGraphFile(const QString &fileName)
{
    // The whole file is read and parsed before a window is made, so a bad file makes none.
    const GraphFile::ReadResult read = GraphFile::read(fileName);
    QString error = read.error;
    ChartModel parsed;
    if (read.block && ChartBlock::load(*read.block, parsed, &error)) {
        TfrmGraph &graph = m_graphs.createGraph(QFileInfo(fileName).absoluteFilePath());
        graph.chart().loadBlock(*read.block);
        graph.UpdateGraphStatistics();
        graph.chart().reinitAndReset();
        return true;
    }
    m_services.prompts().showError(error);
    return false;
}
