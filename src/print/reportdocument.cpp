#include "print/reportdocument.h"

#include "print/reportpictureobject.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

#include <algorithm>

ReportPictureObject::ReportPictureObject(std::vector<ReportDocument::Picture> pictures,
                                         QObject *parent)
    : QObject(parent)
    , m_pictures(std::move(pictures))
{
}

QSizeF ReportPictureObject::intrinsicSize(QTextDocument *doc, int, const QTextFormat &format)
{
    const int index = format.intProperty(PictureIndex);
    if (index < 0 || index >= int(m_pictures.size()))
        return {};
    const double aspect = std::max(0.1, m_pictures[std::size_t(index)].aspect);
    const QSizeF page = doc->pageSize();
    const double textWidth
        = (page.width() > 0 ? page.width() : doc->textWidth()) - 2.0 * doc->documentMargin();
    const double width = std::max(1.0, textWidth - 1.0);
    double height = width / aspect;
    const double share = format.doubleProperty(MaxHeightShare);
    if (share > 0.0 && page.height() > 0.0)
        height = std::min(height, share * page.height());
    return { width, height };
}

void ReportPictureObject::drawObject(QPainter *painter, const QRectF &rect, QTextDocument *, int,
                                     const QTextFormat &format)
{
    const int index = format.intProperty(PictureIndex);
    if (index < 0 || index >= int(m_pictures.size()) || !m_pictures[std::size_t(index)].draw)
        return;
    painter->save();
    m_pictures[std::size_t(index)].draw(*painter, rect);
    painter->restore();
}

namespace ReportDocument {

namespace {

constexpr double BodyPoints = 9.0;
constexpr double SmallPoints = 8.0;
constexpr double HeadingPoints = 11.5;
constexpr double TitlePoints = 16.0;
// An embedded picture's width in a document file, in the writer's pixels (96 a inch): 17 cm,
// the text width of A4 and of Letter with their usual margins.
constexpr double EmbeddedWidth = 640.0;
constexpr int EmbeddedResolution = 3; // image pixels per document pixel
// The text height of an A4 page with its usual margins, in the writer's pixels: 25.4 cm.
constexpr double EmbeddedPageHeight = 960.0;

const QColor Grey(0x55, 0x55, 0x55);
const QColor Flag(0xB0, 0x10, 0x10);
const QColor HeaderBackground(0xE4, 0xE8, 0xEE);

// Latin text is set without shaping: no "fi" or "ff" ligature, so that a text copied or
// searched in the file reads as it was written (scripts that need shaping still get it).
constexpr QFont::StyleStrategy Strategy = QFont::PreferNoShaping;

QTextCharFormat charFormat(double points, bool bold = false, QColor color = Qt::black)
{
    QTextCharFormat f;
    f.setFontStyleStrategy(Strategy);
    f.setFontPointSize(points);
    f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    f.setForeground(color);
    return f;
}

class Builder
{
public:
    // The layout scales the document's lengths to the device: they are given in points.
    Builder(QTextDocument &doc, PictureMode mode, double pixelsPerPoint)
        : m_doc(doc)
        , m_cursor(&doc)
        , m_mode(mode)
        , m_px(pixelsPerPoint)
    {
    }

    void begin() { m_cursor.beginEditBlock(); }
    void end() { m_cursor.endEditBlock(); }

    // A new paragraph (the document's first block is used for the first one).
    void paragraph(const QString &text, const QTextCharFormat &format, double spaceBefore = 0.0,
                   bool pageBreak = false)
    {
        QTextBlockFormat block;
        block.setTopMargin(spaceBefore * m_px);
        block.setBottomMargin(1.5 * m_px);
        if (pageBreak)
            block.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        if (m_first) {
            m_cursor.setBlockFormat(block);
            m_cursor.setBlockCharFormat(format);
            m_first = false;
        } else {
            m_cursor.insertBlock(block, format);
        }
        m_cursor.insertText(text, format);
    }

    void heading(const QString &text, bool pageBreak)
    {
        paragraph(text, charFormat(HeadingPoints, true), 10.0, pageBreak && !m_first);
    }

    void lines(const std::vector<QString> &lines, double points = BodyPoints)
    {
        for (const QString &line : lines)
            paragraph(line, charFormat(points));
    }

    // A heading and its lines in one block, laid out line after line, so that a page does not
    // end between the heading and a paragraph's spacing before its first line.
    void headedLines(const QString &title, const std::vector<QString> &lines, double points,
                     bool pageBreak)
    {
        paragraph(title, charFormat(HeadingPoints, true), 10.0, pageBreak && !m_first);
        for (const QString &line : lines) {
            m_cursor.insertText(QString(QChar::LineSeparator), charFormat(points));
            m_cursor.insertText(line, charFormat(points));
        }
    }

    void table(const ReportTexts::Table &t, int headerRows = 1, int widthPercent = 100)
    {
        const int columns = int(t.titles.size());
        if (columns == 0)
            return;
        QTextTableFormat format;
        format.setHeaderRowCount(headerRows);
        format.setCellPadding(1.2 * m_px);
        format.setCellSpacing(0.0);
        format.setBorder(0.5 * m_px);
        format.setBorderBrush(QColor(0x90, 0x90, 0x90));
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        // Each cell draws its own thin border: collapsed borders are worked out again for every
        // cell of a table on every page it is drawn on, which makes a long table's pages slow.
        format.setBorderCollapse(false);
        format.setWidth(QTextLength(QTextLength::PercentageLength, widthPercent));
        format.setTopMargin(3.0 * m_px);
        format.setColumnWidthConstraints(columnWidths(t));
        const int rows = int(t.rows.size()) + headerRows;
        QTextTable *table = m_cursor.insertTable(rows, columns, format);
        const QTextCharFormat head = charFormat(SmallPoints, true);
        const QTextCharFormat body = charFormat(SmallPoints);
        const QTextCharFormat flagged = charFormat(SmallPoints, true, Flag);
        QTextBlockFormat right;
        right.setAlignment(Qt::AlignRight);
        for (int c = 0; c < columns && headerRows > 0; ++c) {
            QTextTableCell cell = table->cellAt(0, c);
            QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
            cellFormat.setBackground(HeaderBackground);
            cell.setFormat(cellFormat);
            QTextCursor at = cell.firstCursorPosition();
            if (c > 0 && !t.rows.empty() && numeric(t.rows.front().value(c)))
                at.setBlockFormat(right);
            at.insertText(t.titles[c], head);
        }
        for (std::size_t r = 0; r < t.rows.size(); ++r) {
            const QStringList &cells = t.rows[r];
            const quint32 flags = r < t.flagged.size() ? t.flagged[r] : 0;
            for (int c = 0; c < columns && c < cells.size(); ++c) {
                QTextCursor at = table->cellAt(int(r) + headerRows, c).firstCursorPosition();
                if (c > 0 && numeric(cells[c]))
                    at.setBlockFormat(right);
                at.insertText(cells[c], (flags >> c) & 1u ? flagged : body);
            }
        }
        m_cursor.movePosition(QTextCursor::End);
        if (!t.note.isEmpty())
            paragraph(t.note, charFormat(SmallPoints, false, Grey), 2.0);
    }

    void picture(const Picture &picture, int index, double maxHeightShare)
    {
        paragraph(QString(), charFormat(BodyPoints), 4.0);
        if (m_mode == PictureMode::Drawn) {
            QTextCharFormat object;
            object.setObjectType(ReportPictureObject::Type);
            object.setProperty(ReportPictureObject::PictureIndex, index);
            object.setProperty(ReportPictureObject::MaxHeightShare, maxHeightShare);
            m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), object);
            return;
        }
        const double height
            = std::min(EmbeddedWidth / picture.aspect, maxHeightShare * EmbeddedPageHeight);
        QImage image(int(EmbeddedWidth * EmbeddedResolution), int(height * EmbeddedResolution),
                     QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            // Drawn at the size it is shown, finer by the resolution: its texts keep their size
            // against the picture.
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.scale(EmbeddedResolution, EmbeddedResolution);
            picture.draw(painter, QRectF(0, 0, EmbeddedWidth, height));
        }
        const QUrl name(QStringLiteral("report-picture-%1.png").arg(index));
        m_doc.addResource(QTextDocument::ImageResource, name, image);
        QTextImageFormat format;
        format.setName(name.toString());
        format.setWidth(EmbeddedWidth);
        format.setHeight(height);
        m_cursor.insertImage(format);
    }

private:
    // Each column's share of the table's width, by the longest text in it (at least a few
    // characters), so that a date and time does not wrap while a count stays narrow.
    static QList<QTextLength> columnWidths(const ReportTexts::Table &t)
    {
        std::vector<qsizetype> longest(std::size_t(t.titles.size()), 4);
        const auto measure = [&](const QStringList &cells) {
            for (qsizetype c = 0; c < cells.size() && c < t.titles.size(); ++c)
                longest[std::size_t(c)] = std::max(longest[std::size_t(c)], cells[c].size());
        };
        measure(t.titles);
        for (const QStringList &row : t.rows)
            measure(row);
        double sum = 0.0;
        for (const qsizetype l : longest)
            sum += double(std::min<qsizetype>(l, 60));
        QList<QTextLength> widths;
        for (const qsizetype l : longest)
            widths << QTextLength(QTextLength::PercentageLength,
                                  100.0 * double(std::min<qsizetype>(l, 60)) / sum);
        return widths;
    }

    static bool numeric(const QString &text)
    {
        // A time of day ("15:59:30") or a date is text, left aligned as its column's others.
        return !text.isEmpty() && (text[0].isDigit() || text[0] == QLatin1Char('-'))
            && !text.contains(QLatin1Char(' ')) && !text.contains(QLatin1Char(':'))
            && !text.contains(QLatin1Char('/'));
    }

    QTextDocument &m_doc;
    QTextCursor m_cursor;
    PictureMode m_mode;
    double m_px;
    bool m_first = true;
};

void details(Builder &b, const ReportTexts &t)
{
    ReportTexts::Table table;
    table.titles = { QString(), QString() };
    for (const ReportTexts::Detail &d : t.details) {
        table.rows.push_back({ d.name, d.value });
        table.flagged.push_back(d.flagged ? 2u : 0u);
    }
    if (!table.rows.empty())
        b.table(table, 0);
    if (!t.detailNotes.isEmpty())
        for (const QString &line : t.detailNotes.split(QLatin1Char('\n')))
            b.paragraph(line, charFormat(BodyPoints));
}

} // namespace

std::unique_ptr<QTextDocument> build(const ReportTexts &t, const ReportSections::Set &sections,
                                     const Pictures &pictures, PictureMode mode,
                                     QPaintDevice *device, const QSizeF &pageSize)
{
    auto doc = std::make_unique<QTextDocument>();
    if (device)
        doc->documentLayout()->setPaintDevice(device);
    QFont font = doc->defaultFont();
    font.setPointSizeF(BodyPoints);
    font.setStyleStrategy(Strategy);
    doc->setDefaultFont(font);
    doc->setDocumentMargin(0.0);
    if (pageSize.isValid())
        doc->setPageSize(pageSize);
    if (mode == PictureMode::Drawn)
        doc->documentLayout()->registerHandler(
            ReportPictureObject::Type,
            new ReportPictureObject({ pictures.graph, pictures.distribution }, doc.get()));

    doc->setUndoRedoEnabled(false);
    Builder b(*doc, mode, 96.0 / 72.0);
    // One edit block: the document is laid out once, at its end, not after every cell.
    b.begin();
    b.paragraph(t.title, charFormat(TitlePoints, true));
    for (const QString &line : t.about)
        b.paragraph(line, charFormat(SmallPoints, false, Grey));
    if (!t.note.isEmpty())
        for (const QString &line : t.note.split(QLatin1Char('\n')))
            b.paragraph(line, charFormat(BodyPoints), 0.0);

    const auto chosen = [&](ReportSection s) {
        return sections.count(s) > 0 && t.holds(s);
    };
    if (chosen(ReportSection::Details)) {
        b.heading(QStringLiteral("Survey details"), false);
        details(b, t);
    }
    // The graph takes less of the first page when the details take their share of it, so
    // that the figures and the compliance stay on that page.
    if (chosen(ReportSection::Graph) && pictures.graph.draw)
        b.picture(pictures.graph, 0, chosen(ReportSection::Details) ? 0.27 : 0.42);
    if (chosen(ReportSection::Figures)) {
        b.heading(QStringLiteral("Acoustic figures"), false);
        b.table(t.figures, 1, std::min(100, 28 + 14 * int(t.figures.titles.size())));
        b.lines(t.figureNotes, SmallPoints);
    }
    if (chosen(ReportSection::Compliance))
        b.headedLines(QStringLiteral("Compliance with the limit"), t.compliance, BodyPoints, false);

    // The sections after the first page start on a page of their own.
    bool pageBreak = true;
    const auto later = [&](ReportSection s, const QString &title) {
        if (!chosen(s))
            return false;
        b.heading(title, pageBreak);
        pageBreak = false;
        return true;
    };
    if (later(ReportSection::Periods, t.periodsTitle))
        b.table(t.periods);
    if (later(ReportSection::Days, t.daysTitle))
        b.table(t.days);
    if (later(ReportSection::Exceedances, t.exceedancesTitle))
        b.table(t.exceedances, 1, 70);
    if (later(ReportSection::Distribution, t.distributionTitle) && pictures.distribution.draw)
        b.picture(pictures.distribution, 1, 0.35);
    if (later(ReportSection::Intervals, t.intervalsTitle))
        b.table(t.intervals);
    if (later(ReportSection::Annotations, QStringLiteral("Annotations")))
        b.table(t.annotations);
    // The sections of lines keep their heading with them.
    const auto laterLines = [&](ReportSection s, const QString &title,
                                const std::vector<QString> &lines, double points) {
        if (!chosen(s))
            return false;
        b.headedLines(title, lines, points, pageBreak);
        pageBreak = false;
        return true;
    };
    if (laterLines(ReportSection::Overlay, QStringLiteral("Overlay"), t.overlay, BodyPoints))
        b.table(t.overlayFigures, 1, 45);
    laterLines(ReportSection::Method, QStringLiteral("Method"), t.method, SmallPoints);
    b.end();
    return doc;
}

} // namespace ReportDocument
