#pragma once

#include <QImage>
#include <QSize>
#include <QString>

class PESGraph;
class QPainter;
class QRectF;

// A chart as a picture, for reports: an image for the clipboard, or a file whose type its name
// gives: ".png" (pixels at the size asked), ".svg" and ".pdf" (vector, text sharp at any scale).
// Files are written through a save file, so a failed write leaves any earlier file in place.
namespace ChartPicture {

// The file types by extension, for the save dialog.
QString filter();
QImage image(PESGraph &chart, QSize size);
// Draws the chart into a rectangle of a painter on a device of any resolution (a 300 dpi page),
// its texts and lines at their sizes on paper, as wide as the rectangle.
void draw(PESGraph &chart, QPainter &painter, const QRectF &target);
// Writes the chart at size (pixels); empty on success, otherwise the message to show.
QString save(PESGraph &chart, const QString &fileName, QSize size);

} // namespace ChartPicture
