#pragma once

#include <functional>

class QPainter;
class QRectF;
struct ReportTexts;

// Places a survey report's texts and graph on one page. From the top: the title (one line), the
// lines about the report, the note (a few lines at most), the graph across the page (about 45 %
// of the paper's height, less if the figures would not fit below it), then the figures table and
// the cursors on the left and the excluded intervals and annotations on the right, each list cut
// to the room left with a last line "… and N more". Nothing is drawn outside `area`.
namespace ReportPage {

// `area`: the printable rectangle in the painter's device pixels; `paperHeight`: the whole
// sheet's height in the same pixels.
void paint(QPainter &painter, const QRectF &area, double paperHeight, const ReportTexts &texts,
           const std::function<void(QPainter &, const QRectF &)> &drawGraph);

} // namespace ReportPage
