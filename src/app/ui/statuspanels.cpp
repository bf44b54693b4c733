#include "app/ui/statuspanels.h"

#include <QLabel>

StatusPanels::StatusPanels(QWidget *parent)
    : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(false);
    const int widths[] = { 100, 150, 50 };
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        auto *panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFixedWidth(widths[i]);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setContentsMargins(4, 0, 4, 0);
        addWidget(panel);
        m_panels[i] = panel;
    }
}

void StatusPanels::setPanelText(int panel, const QString &text)
{
    if (panel >= 0 && panel < static_cast<int>(m_panels.size()))
        m_panels[static_cast<std::size_t>(panel)]->setText(text);
}

QString StatusPanels::panelText(int panel) const
{
    if (panel >= 0 && panel < static_cast<int>(m_panels.size()))
        return m_panels[static_cast<std::size_t>(panel)]->text();
    return {};
}
