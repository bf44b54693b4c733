#include "graph/ui/periodscommands.h"

#include "base/ui/windowservices.h"
#include "graph/ui/tfrmgraph.h"
#include "graph/ui/tfrmperiods.h"

#include <QRect>
#include <QSize>

#include <algorithm>

namespace {
constexpr int Offset = 30; // from the client area's top left, so the graph's caption shows
} // namespace

PeriodsCommands::PeriodsCommands(WindowServices &services, QObject *parent)
    : QObject(parent)
    , m_services(services)
{
}

TfrmPeriods *PeriodsCommands::windowOf(const TfrmGraph &graph) const
{
    for (const QPointer<TfrmPeriods> &window : m_windows)
        if (window && window->graph() == &graph)
            return window;
    return nullptr;
}

TfrmPeriods &PeriodsCommands::PeriodsClick(TfrmGraph &graph)
{
    if (TfrmPeriods *open = windowOf(graph)) {
        m_services.activateChildWindow(*open);
        return *open;
    }
    std::erase_if(m_windows, [](const QPointer<TfrmPeriods> &window) { return !window; });
    auto *window = new TfrmPeriods(m_services, graph);
    m_windows.emplace_back(window);
    const QSize area = m_services.clientAreaSize();
    const QSize size(std::min(window->width(), std::max(320, area.width() - Offset)),
                     std::min(window->height(), std::max(240, area.height() - Offset)));
    m_services.addChildWindow(
        *window,
        QRect(QPoint(std::min(Offset, area.width() / 10), std::min(Offset, area.height() / 10)),
              size));
    return *window;
}
