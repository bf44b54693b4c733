#pragma once

#include <QWidget>

// A horizontal slider with two thumbs over integer positions: Value1 is cursor A, Value2 is
// cursor B. Setting a value clamps it to [Minimum, Maximum] and raises the thumb's change
// signal when the value changes. The track is yellow, the thumbs lime: thumb A above the track
// pointing down, thumb B below it pointing up, so both stay visible and grabbable when equal.
//
// A maximum set below the minimum counts as the minimum (an empty chart gives 0 to -1, that is
// 0 to 0); the maximum asked for is kept, so the order in which the two ends are set does not
// matter. After a range change both values are clamped first and only then signalled, so a
// handler that reads both values sees them inside the new range.
class Tslider2 : public QWidget
{
    Q_OBJECT

public:
    explicit Tslider2(QWidget *parent = nullptr);

    int Minimum() const { return m_minimum; }
    int Maximum() const { return m_maximum; }
    int Value1() const { return m_value1; }
    int Value2() const { return m_value2; }

    // Changing the range clamps both values (raising their signals when they change).
    void setMinimum(int minimum);
    void setMaximum(int maximum);
    void setValue1(int value);
    void setValue2(int value);

Q_SIGNALS:
    void OnValueChange1(int value);
    void OnValueChange2(int value);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    QSize sizeHint() const override;

private:
    void applyRange(int minimum, int requestedMaximum);
    void setValues(int value1, int value2);
    int thumbX(int value) const;
    int valueAt(double x) const;
    int thumbAt(const QPoint &pos) const;

    int m_minimum = 0;
    int m_maximum = 100; // the range's top: never below m_minimum
    int m_requestedMaximum = 100; // the maximum as set, which may lie below the minimum
    int m_value1 = 0;
    int m_value2 = 0;
    int m_dragging = 0; // 0 none, 1 or 2 the thumb being dragged
    int m_grabOffset = 0; // mouse x minus the dragged thumb's centre when it was grabbed
};
