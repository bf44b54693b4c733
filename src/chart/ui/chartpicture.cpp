#include "chart/ui/chartpicture.h"

#include "chart/ui/pesgraph.h"
#include "files/wholefile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>
#include <QSvgGenerator>

#include <algorithm>

namespace ChartPicture {

namespace {

// Draws the chart on a vector device; false when the device cannot be painted on.
bool paint(PESGraph &chart, QPaintDevice &device, const QRect &target)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    chart.render(painter, target);
    return painter.end();
}

} // namespace

QString filter()
{
    return QStringLiteral("PNG picture (*.png);;SVG picture (*.svg);;PDF document (*.pdf)");
}

QImage image(PESGraph &chart, QSize size)
{
    QImage picture(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    chart.render(painter, picture.rect());
    return picture;
}

void draw(PESGraph &chart, QPainter &painter, const QRectF &target)
{
    // The chart goes through a picture at the default resolution first, which plays back onto
    // any device scaled to its resolution, so that it is scaled once whatever the device's.
    QPicture picture;
    const double scale
        = painter.device() ? double(painter.device()->logicalDpiX()) / picture.logicalDpiX() : 1.0;
    QPainter recorder;
    if (!recorder.begin(&picture))
        return;
    chart.render(recorder,
                 QRect(0, 0, std::max(1, qRound(target.width() / scale)),
                       std::max(1, qRound(target.height() / scale))));
    recorder.end();
    painter.save();
    painter.translate(target.topLeft());
    painter.drawPicture(0, 0, picture);
    painter.restore();
}

QString save(PESGraph &chart, const QString &fileName, QSize size)
{
    const QString extension = QFileInfo(fileName).suffix().toLower();
    if (extension != QLatin1String("png") && extension != QLatin1String("svg")
        && extension != QLatin1String("pdf"))
        return QStringLiteral("Cannot save a picture as \"%1\": choose a name ending in \".png\", "
                              "\".svg\" or \".pdf\".")
            .arg(QDir::toNativeSeparators(fileName));
    size = size.expandedTo(QSize(1, 1));
    // The picture's writers do not say when a write to their device fails or falls short: they
    // write into memory, and the whole picture then goes to the file in one checked write.
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    const QRect target(QPoint(0, 0), size);
    bool drawn = false;
    if (extension == QLatin1String("png")) {
        drawn = image(chart, size).save(&file, "PNG");
    } else if (extension == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(size);
        svg.setViewBox(target);
        svg.setResolution(chart.logicalDpiX());
        svg.setTitle(chart.window()->windowTitle());
        drawn = paint(chart, svg, target);
    } else {
        // One page the size of the picture, one unit a pixel of the screen.
        QPdfWriter pdf(&file);
        pdf.setResolution(chart.logicalDpiX());
        pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / chart.logicalDpiX(), QPageSize::Point));
        pdf.setPageMargins(QMarginsF());
        pdf.setTitle(chart.window()->windowTitle());
        drawn = paint(chart, pdf, target);
    }
    if (!drawn)
        return QStringLiteral("Cannot write file \"%1\". The picture could not be drawn.")
            .arg(QDir::toNativeSeparators(fileName));
    return WholeFile::write(fileName, file.data());
}

} // namespace ChartPicture
