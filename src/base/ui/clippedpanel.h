#pragma once

#include <QScrollArea>

// Holds a panel of fixed-size fields. When the window is narrower or lower than the panel
// needs (a tile among many), the panel is cut off at the window's edge instead of its fields
// being pushed over each other. It never scrolls with the wheel; moving the keyboard focus to a
// field that is cut off brings that field into view.
class ClippedPanel : public QScrollArea
{
    Q_OBJECT

public:
    // Cut off at the right edge only (a row of fields keeps its height), or at the bottom too.
    enum class Cut { Right, RightAndBottom };
    ClippedPanel(QWidget *panel, Cut cut, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    int m_minimumHeight = 0;
};
