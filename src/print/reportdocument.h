#pragma once

#include "print/reportsections.h"
#include "print/reporttexts.h"

#include <QSizeF>

#include <functional>
#include <memory>

class QPaintDevice;
class QPainter;
class QRectF;
class QTextDocument;

// A survey report's texts laid out as a rich text document: headings, paragraphs and tables
// with a header row that is repeated on every page a table runs onto, and the pictures (the
// graph, the distribution). The same document is printed page by page into a PDF file and
// written as an OpenDocument text.
namespace ReportDocument {

struct Picture
{
    std::function<void(QPainter &, const QRectF &)> draw; // none: the picture is left out
    double aspect = 2.0; // width / height
};

struct Pictures
{
    Picture graph, distribution;
};

// How pictures go into the document: drawn by their functions when the document is painted
// (sharp at any size, for the PDF file), or embedded as images (for a document file).
enum class PictureMode { Drawn, Embedded };

// The document of the chosen sections. With a paint device, its fonts and sizes are laid out
// for it and the pages are pageSize (device pixels); without, for the screen's resolution.
std::unique_ptr<QTextDocument> build(const ReportTexts &texts, const ReportSections::Set &sections,
                                     const Pictures &pictures, PictureMode mode,
                                     QPaintDevice *device, const QSizeF &pageSize);

} // namespace ReportDocument
