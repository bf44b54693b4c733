#include "print/pageglyphs.h"

#include <QFont>
#include <QGlyphRun>
#include <QPainter>

PageGlyphs::PageGlyphs(QPainter &painter, const QFont &font, const QPaintDevice &device)
    : m_painter(painter)
    , m_font(QRawFont::fromFont(QFont(font, &device)))
{
}

void PageGlyphs::add(const QString &text, const QPointF &origin)
{
    const int count = int(text.size());
    m_lineGlyphs.resize(std::size_t(count));
    m_advances.resize(std::size_t(count));
    int glyphCount = count;
    bool drawable = m_font.isValid()
        && m_font.glyphIndexesForChars(text.constData(), count, m_lineGlyphs.data(), &glyphCount)
        && glyphCount == count // one glyph a character: no surrogate pairs
        && m_font.advancesForGlyphIndexes(m_lineGlyphs.data(), m_advances.data(), count);
    for (int i = 0; drawable && i < count; ++i)
        drawable = m_lineGlyphs[std::size_t(i)] != 0 || text[i].isSpace();
    if (!drawable) {
        m_painter.drawText(origin, text);
        return;
    }
    qreal x = origin.x();
    for (int i = 0; i < count; ++i) {
        if (!text[i].isSpace()) {
            m_glyphs.append(m_lineGlyphs[std::size_t(i)]);
            m_positions.append(QPointF(x, origin.y()));
        }
        x += m_advances[std::size_t(i)].x();
    }
}

void PageGlyphs::flush()
{
    if (m_glyphs.isEmpty())
        return;
    QGlyphRun run;
    run.setRawFont(m_font);
    run.setGlyphIndexes(m_glyphs);
    run.setPositions(m_positions);
    m_painter.drawGlyphRun(QPointF(0, 0), run);
    m_glyphs.clear();
    m_positions.clear();
}
