#pragma once

#include <QWidget>

// A transparent, borderless key area over the front-panel picture, with a hand cursor. A
// double click delivers the click first and then the double click, as the meter's keys expect
// (MAX/MIN: 'M' then 'N').
class KeyArea : public QWidget
{
    Q_OBJECT

public:
    KeyArea(const QString &objectName, const QRect &geometry, QWidget *parent);

Q_SIGNALS:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool m_pressed = false;
    bool m_hovered = false;
    bool m_swallowRelease = false; // the release that ends a double click is not a click
};
