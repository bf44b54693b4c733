#include "resources/bitmaptable.h"

#include <QPainter>
#include <QSvgRenderer>

static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

const QImage &BitmapTable::slot(int index) const
{
    static const QImage empty;
    if (index < 0 || index >= SlotCount)
        return empty;
    return m_slots[static_cast<std::size_t>(index)];
}

QImage BitmapTable::render(const QString &resourceName, qreal devicePixelRatio)
{
    initResources();
    QSvgRenderer svg(QStringLiteral(":/") + resourceName);
    if (!svg.isValid())
        return {};
    return render(resourceName, svg.defaultSize(), devicePixelRatio);
}

QImage BitmapTable::render(const QString &resourceName, QSize size, qreal devicePixelRatio)
{
    initResources();
    QSvgRenderer svg(QStringLiteral(":/") + resourceName);
    if (!svg.isValid() || size.isEmpty())
        return {};
    QImage image(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        svg.render(&painter);
    }
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

bool BitmapTable::load(qreal devicePixelRatio)
{
    bool complete = true;
    auto fill = [&](int first, const char *prefix, int count) {
        for (int i = 0; i < count; ++i) {
            QImage image = render(QLatin1String(prefix) + QString::number(i), devicePixelRatio);
            complete = complete && !image.isNull();
            m_slots[static_cast<std::size_t>(first + i)] = std::move(image);
        }
    };
    fill(0, "LCD", DisplayDigitCount);
    fill(16, "LCDS", ClockDigitCount);
    fill(32, "BAT", BatteryCount);
    return complete;
}
