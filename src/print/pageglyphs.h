#pragma once

#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>

#include <vector>

class QFont;
class QPaintDevice;
class QPainter;

// Draws lines of text onto a painter as one run of glyphs, each glyph where drawText would put
// it, the blanks left out. A printer's page description grows with every drawing call and every
// glyph, blanks too, and a printed table is mostly blanks: a page drawn this way is several times
// smaller and faster to make than one line at a time with drawText, and looks the same. A line
// with a character the font lacks is drawn with drawText at once, which takes it from another
// font.
class PageGlyphs
{
public:
    // The glyphs come from `font` at the resolution of `device`, the painter's device.
    PageGlyphs(QPainter &painter, const QFont &font, const QPaintDevice &device);

    // Adds a line with its baseline starting at `origin`.
    void add(const QString &text, const QPointF &origin);
    // Draws the lines added since the last time (before a new page, and at the end).
    void flush();

private:
    QPainter &m_painter;
    QRawFont m_font;
    std::vector<quint32> m_lineGlyphs;
    std::vector<QPointF> m_advances;
    QList<quint32> m_glyphs;
    QList<QPointF> m_positions;
};
