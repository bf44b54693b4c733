#pragma once

#include <QStatusBar>

#include <array>

class QLabel;

// The main window's status bar: three text panels, 100, 150 and 50 pixels wide. Panel 1 shows
// the connection state; panels 0 and 2 stay empty.
class StatusPanels : public QStatusBar
{
    Q_OBJECT

public:
    explicit StatusPanels(QWidget *parent = nullptr);

    void setPanelText(int panel, const QString &text);
    QString panelText(int panel) const;

private:
    std::array<QLabel *, 3> m_panels {};
};
