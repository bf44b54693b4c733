#pragma once

#include <QImage>
#include <QString>

#include <array>

// The program's pictures loaded by resource name into 38 slots: the level digits "LCD0" ...
// "LCD15" (slots 0-15), the clock digits "LCDS0" ... "LCDS9" (16-25), six empty slots and the
// battery pictures "BAT0" ... "BAT5" (32-37). The artwork is vector art, rendered at the
// screen's pixel ratio so that it stays crisp.
class BitmapTable
{
public:
    static constexpr int SlotCount = 38;
    static constexpr int DisplayDigitCount = 16;
    static constexpr int ClockDigitCount = 10;
    static constexpr int BatteryCount = 6;

    // Loads every slot; false when a picture is missing from the resources.
    bool load(qreal devicePixelRatio = 1.0);

    const QImage &DisplayDigitBitmaps(int index) const { return slot(index); }
    const QImage &ClockDigitBitmaps(int index) const { return slot(16 + index); }
    const QImage &BatteryBitmaps(int index) const { return slot(32 + index); }
    const QImage &slot(int index) const;

    // Renders one named picture at its own size (in device-independent pixels).
    static QImage render(const QString &resourceName, qreal devicePixelRatio = 1.0);
    // The same, at the given size.
    static QImage render(const QString &resourceName, QSize size, qreal devicePixelRatio);

private:
    std::array<QImage, SlotCount> m_slots;
};
