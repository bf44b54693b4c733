#include "print/reportpage.h"

#include "print/reporttexts.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

const QChar Ellipsis(0x2026);
constexpr int NoteLines = 4;
constexpr double GraphShare = 0.45; // of the paper's height
constexpr double SmallestGraphShare = 0.2;
constexpr double LeftColumnShare = 0.48; // of the printable width

QFont fontOf(double points, bool bold = false, bool italic = false)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    // No ligatures: a word read back or copied from the PDF keeps its letters ("fi", not "ﬁ").
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

// Lines of one font and colour, measured at the resolution of the painter's device.
class Writer
{
public:
    Writer(QPainter &painter, const QFont &font, const QColor &color = Qt::black)
        : m_painter(painter)
        , m_font(font)
        , m_color(color)
        , m_metrics(font, painter.device())
    {
    }
    double height() const { return m_metrics.lineSpacing(); }
    const QFont &font() const { return m_font; }
    const QFontMetricsF &metrics() const { return m_metrics; }

    // One line with its top at y, cut with "…" where it is wider than `width`.
    void line(double x, double y, double width, const QString &text,
              Qt::Alignment align = Qt::AlignLeft) const
    {
        m_painter.setFont(m_font);
        m_painter.setPen(m_color);
        m_painter.drawText(QRectF(x, y, width, height()),
                           int(align | Qt::AlignVCenter) | Qt::TextSingleLine | Qt::TextDontClip,
                           m_metrics.elidedText(text, Qt::ElideRight, width));
    }

private:
    QPainter &m_painter;
    QFont m_font;
    QColor m_color;
    QFontMetricsF m_metrics;
};

// The note word-wrapped to `width` (a word longer than a line is broken), at most NoteLines
// lines; when more would follow, the last one ends with "…".
std::vector<QString> noteLines(const QString &note, const Writer &writer, QPaintDevice *device,
                               double width)
{
    if (note.isEmpty())
        return {};
    QString text = note;
    text.remove(QLatin1Char('\r'));
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(text, writer.font(), device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    std::vector<int> starts;
    std::vector<QString> lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        starts.push_back(line.textStart());
        lines.push_back(
            text.mid(line.textStart(), line.textLength()).remove(QChar::LineSeparator).trimmed());
    }
    layout.endLayout();
    if (lines.size() <= std::size_t(NoteLines))
        return lines;
    lines.resize(NoteLines);
    const QString rest
        = text.mid(starts[NoteLines - 1]).replace(QChar::LineSeparator, QLatin1Char(' '));
    QString last = writer.metrics().elidedText(rest, Qt::ElideRight, width);
    if (!last.endsWith(Ellipsis))
        last = writer.metrics().elidedText(rest, Qt::ElideRight,
                                           width - writer.metrics().horizontalAdvance(Ellipsis))
            + Ellipsis;
    lines.back() = last;
    return lines;
}

// At most `room` lines of a list: all of it when it fits, otherwise the first items and a last
// line "… and N more"; "None" for an empty list.
std::vector<QString> fitted(const std::vector<QString> &items, int room)
{
    if (items.empty())
        return { QStringLiteral("None") };
    if (items.size() <= std::size_t(room))
        return items;
    const std::size_t shown = std::size_t(std::max(0, room - 1));
    std::vector<QString> lines(items.begin(), items.begin() + std::ptrdiff_t(shown));
    lines.push_back(QStringLiteral("%1 and %2 more").arg(Ellipsis).arg(items.size() - shown));
    return lines;
}

class Page
{
public:
    explicit Page(QPainter &painter)
        : m_painter(painter)
        , m_pixelsPerMm(painter.device()->logicalDpiY() / 25.4)
    {
    }
    double mm(double value) const { return value * m_pixelsPerMm; }

    void rule(double x, double y, double width) const
    {
        // A thin filled bar: a stroked line in the PDF can come out without its colour.
        m_painter.fillRect(QRectF(x, y, width, mm(0.35)), QColor(150, 150, 150));
    }
    // A section's heading with a rule under it; returns the y below it.
    double heading(const Writer &writer, double x, double y, double width,
                   const QString &text) const
    {
        writer.line(x, y, width, text);
        y += writer.height();
        rule(x, y + mm(0.4), width);
        return y + mm(1.2);
    }
    // The figures table: the header row and one row per figure, every other row shaded. The
    // Specific and Residual columns, when there are any, share the width with short titles.
    double figures(const Writer &bold, const Writer &body, double x, double y, double width,
                   const std::vector<ReportTexts::FigureRow> &rows,
                   const std::vector<QString> &moreTitles) const
    {
        const double nameWidth = width * 0.26;
        const double valueWidth = (width - nameWidth) / double(2 + moreTitles.size());
        const auto row = [&](const Writer &w, const QString &a, const QString &b, const QString &c,
                             const std::vector<QString> &more) {
            w.line(x + mm(1), y, nameWidth - mm(1), a);
            w.line(x + nameWidth, y, valueWidth - mm(2), b, Qt::AlignRight);
            w.line(x + nameWidth + valueWidth, y, valueWidth - mm(2), c, Qt::AlignRight);
            for (std::size_t i = 0; i < more.size(); ++i)
                w.line(x + nameWidth + double(2 + i) * valueWidth, y, valueWidth - mm(2), more[i],
                       Qt::AlignRight);
            y += w.height();
        };
        if (moreTitles.empty())
            row(bold, QStringLiteral("Figure"), QStringLiteral("Whole graph"),
                QStringLiteral("Between A and B"), {});
        else
            row(bold, QStringLiteral("Figure"), QStringLiteral("Whole"), QStringLiteral("A - B"),
                moreTitles);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (i % 2 == 0)
                m_painter.fillRect(QRectF(x, y, width, body.height()), QColor(238, 240, 243));
            row(body, rows[i].name, rows[i].whole, rows[i].between, rows[i].more);
        }
        return y;
    }
    double lines(const Writer &writer, double x, double y, double width,
                 const std::vector<QString> &texts) const
    {
        for (const QString &text : texts) {
            writer.line(x, y, width, text);
            y += writer.height();
        }
        return y;
    }

private:
    QPainter &m_painter;
    double m_pixelsPerMm;
};

} // namespace

namespace ReportPage {

void paint(QPainter &painter, const QRectF &area, double paperHeight, const ReportTexts &texts,
           const std::function<void(QPainter &, const QRectF &)> &drawGraph)
{
    const Page page(painter);
    const Writer title(painter, fontOf(16, true));
    const Writer about(painter, fontOf(8.5), QColor(70, 70, 70));
    const Writer note(painter, fontOf(9.5));
    const Writer heading(painter, fontOf(10, true));
    const Writer bold(painter, fontOf(8.5, true));
    const Writer body(painter, fontOf(8.5));
    const Writer small(painter, fontOf(7.5, false, true), QColor(90, 90, 90));
    const double gap = page.mm(3);
    const double x = area.left();
    const double width = area.width();

    double y = area.top();
    title.line(x, y, width, texts.title);
    y += title.height() + page.mm(1);
    y = page.lines(about, x, y, width, texts.about) + gap;
    const std::vector<QString> noted = noteLines(texts.note, note, painter.device(), width);
    if (!noted.empty())
        y = page.lines(note, x, y, width, noted) + gap;

    // The figures and cursors on the left take a fixed height; the graph gets what is left of
    // its share above them.
    const double headingHeight = heading.height() + page.mm(1.2);
    const double leftHeight = headingHeight + bold.height()
        + double(texts.figures.size()) * body.height() + small.height() + page.mm(2)
        + double(texts.cursors.size()) * body.height();
    const double graphHeight
        = std::max(paperHeight * SmallestGraphShare,
                   std::min(paperHeight * GraphShare, area.bottom() - y - gap - leftHeight));
    const QRectF graph(x, y, width, graphHeight);
    y += graphHeight + gap;

    const double leftWidth = width * LeftColumnShare;
    double left = page.heading(heading, x, y, leftWidth, QStringLiteral("Acoustic figures"));
    left = page.figures(bold, body, x, left, leftWidth, texts.figures, texts.moreFigureTitles);
    small.line(x + page.mm(1), left, leftWidth,
               QStringLiteral("Excluded intervals are left out of the figures."));
    left += small.height() + page.mm(2);
    page.lines(body, x + page.mm(1), left, leftWidth - page.mm(1), texts.cursors);

    // The lists share the room on the right, each at least a line, neither crowding out the
    // other while it has more than half.
    const double rightX = x + leftWidth + page.mm(8);
    const double rightWidth = area.right() - rightX;
    const double listsHeight = area.bottom() - y - 2 * headingHeight - page.mm(2);
    const int room = std::max(2, int(std::floor(listsHeight / body.height())));
    const int excluded = std::max<int>(1, int(texts.exclusions.size()));
    const int annotated = std::max<int>(1, int(texts.annotations.size()));
    int excludedRoom = excluded;
    if (excluded + annotated > room)
        excludedRoom = std::min(excluded, std::max(room / 2, room - annotated));
    double right = page.heading(heading, rightX, y, rightWidth, texts.intervalsTitle);
    right = page.lines(body, rightX, right, rightWidth, fitted(texts.exclusions, excludedRoom));
    right = page.heading(heading, rightX, right + page.mm(2), rightWidth,
                         QStringLiteral("Annotations"));
    page.lines(body, rightX, right, rightWidth, fitted(texts.annotations, room - excludedRoom));

    if (drawGraph) {
        painter.save();
        painter.setClipRect(graph);
        drawGraph(painter, graph);
        painter.restore();
    }
}

} // namespace ReportPage
