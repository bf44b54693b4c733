#include "print/distributionpicture.h"

#include <QPainter>
#include <QPainterPath>
#include <QRectF>

#include <algorithm>
#include <cmath>

namespace DistributionPicture {

namespace {

// A round step of at least `least`: 1, 2 or 5 times a power of ten.
double niceStep(double least)
{
    if (!(least > 0.0))
        return 1.0;
    const double power = std::pow(10.0, std::floor(std::log10(least)));
    for (const double m : { 1.0, 2.0, 5.0, 10.0 })
        if (m * power >= least)
            return m * power;
    return 10.0 * power;
}

} // namespace

void draw(QPainter &painter, const QRectF &target, const LevelDistribution::Result &d,
          const QLocale &locale)
{
    if (d.classes.empty() || target.width() <= 0.0 || target.height() <= 0.0)
        return;
    painter.save();
    QFont font = painter.font();
    font.setPixelSize(std::max(6, int(target.height() / 22.0)));
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const double line = metrics.height();
    const QRectF plot
        = target.adjusted(metrics.horizontalAdvance(QStringLiteral("100 %")) + line, line,
                          -metrics.horizontalAdvance(QStringLiteral("100 %")) - line, -2.5 * line);
    const double width = d.classes.size() > 1 ? d.classes[1].lower - d.classes[0].lower : 1.0;
    const double low = d.classes.front().lower;
    const double high = d.classes.back().lower + width;
    double top = 0.0;
    for (const LevelDistribution::Class &c : d.classes)
        top = std::max(top, c.percent);
    const double percentStep = niceStep(top / 5.0);
    top = std::max(percentStep, std::ceil(top / percentStep) * percentStep);
    const auto xOf = [&](double level) {
        return plot.left() + (level - low) / (high - low) * plot.width();
    };
    const auto yOfPercent = [&](double p) {
        return plot.bottom() - p / top * plot.height();
    };
    const auto yOfExceeded = [&](double p) {
        return plot.bottom() - p / 100.0 * plot.height();
    };

    const QPen thin(QColor(0xB0, 0xB0, 0xB0), std::max(1.0, line / 14.0));
    const QPen axis(Qt::black, std::max(1.0, line / 10.0));
    painter.setPen(thin);
    for (double p = 0.0; p <= top + 1e-9; p += percentStep) {
        painter.drawLine(QPointF(plot.left(), yOfPercent(p)), QPointF(plot.right(), yOfPercent(p)));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(target.left(), yOfPercent(p) - line / 2,
                                plot.left() - target.left() - line / 3, line),
                         Qt::AlignRight | Qt::AlignVCenter,
                         locale.toString(p, 'g', 4) + QStringLiteral(" %"));
        painter.setPen(thin);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x4A, 0x7E, 0xBB));
    for (const LevelDistribution::Class &c : d.classes)
        painter.drawRect(QRectF(QPointF(xOf(c.lower), yOfPercent(c.percent)),
                                QPointF(xOf(c.lower + width), plot.bottom()))
                             .adjusted(width > 0.5 ? line / 20 : 0.0, 0.0, 0.0, 0.0));
    QPainterPath exceeded;
    for (std::size_t i = 0; i < d.classes.size(); ++i) {
        const QPointF p(xOf(d.classes[i].lower), yOfExceeded(d.classes[i].exceeded));
        i == 0 ? exceeded.moveTo(p) : exceeded.lineTo(p);
    }
    exceeded.lineTo(xOf(high), plot.bottom());
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0xC0, 0x30, 0x20), std::max(1.0, line / 7.0)));
    painter.drawPath(exceeded);

    painter.setPen(axis);
    painter.drawRect(plot);
    painter.setPen(Qt::black);
    for (int p = 0; p <= 100; p += 25)
        painter.drawText(QRectF(plot.right() + line / 3, yOfExceeded(p) - line / 2,
                                target.right() - plot.right(), line),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         locale.toString(p) + QStringLiteral(" %"));
    const double levelStep = niceStep(
        (high - low)
        / std::max(1.0, plot.width() / metrics.horizontalAdvance(QStringLiteral("0000"))));
    for (double l = std::ceil(low / levelStep) * levelStep; l <= high + 1e-9; l += levelStep)
        painter.drawText(QRectF(xOf(l) - 2 * line, plot.bottom() + line / 4, 4 * line, line),
                         Qt::AlignHCenter | Qt::AlignTop, locale.toString(l, 'g', 4));
    painter.drawText(QRectF(plot.left(), plot.bottom() + 1.3 * line, plot.width(), line),
                     Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("Level (dB): bars, percent of the points in each class; "
                                    "line, percent at or above"));
    painter.restore();
}

} // namespace DistributionPicture
