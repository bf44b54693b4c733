#include "print/odttables.h"

#include <QRegularExpression>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>
#include <zip.h>

namespace OdtTables {

namespace {

// The text width of A4 and Letter with their usual margins, for a table's width as a length.
constexpr double TextWidthCm = 17.0;

struct Layout
{
    int headerRows = 0;
    double widthPercent = 100.0;
    std::vector<double> columnPercents;
};

// The tables of the document in the order the writer writes them.
std::vector<Layout> layoutsOf(const QTextDocument &document)
{
    std::vector<Layout> layouts;
    const auto visit = [&layouts](const QTextFrame *frame, const auto &self) -> void {
        for (const QTextFrame *child : frame->childFrames()) {
            if (const auto *table = qobject_cast<const QTextTable *>(child)) {
                const QTextTableFormat format = table->format();
                Layout layout;
                layout.headerRows = format.headerRowCount();
                if (format.width().type() == QTextLength::PercentageLength)
                    layout.widthPercent = format.width().rawValue();
                for (const QTextLength &column : format.columnWidthConstraints())
                    layout.columnPercents.push_back(
                        column.type() == QTextLength::PercentageLength ? column.rawValue() : 0.0);
                layouts.push_back(std::move(layout));
            }
            self(child, self);
        }
    };
    visit(document.rootFrame(), visit);
    return layouts;
}

QString number(double value)
{
    return QString::number(value, 'f', 2);
}

} // namespace

QString laidOut(const QString &xml, const QTextDocument &document)
{
    const std::vector<Layout> layouts = layoutsOf(document);
    static const QRegularExpression tableStart(
        QStringLiteral("<table:table table:style-name=\"([^\"]+)\"[^>]*>"));
    // The writer's columns: one element repeated, or one each naming a style it wrote.
    static const QRegularExpression writersColumns(
        QStringLiteral("(?:\\s*<table:table-column[^>]*/>)+"));
    QString out;
    out.reserve(xml.size() + xml.size() / 8);
    QString styles; // the tables' and columns' styles, put in place of the writer's
    qsizetype at = 0;
    std::size_t index = 0;
    QRegularExpressionMatchIterator tables = tableStart.globalMatch(xml);
    while (tables.hasNext() && index < layouts.size()) {
        const QRegularExpressionMatch table = tables.next();
        const Layout &layout = layouts[index++];
        const QString name = table.captured(1);
        out += QStringView(xml).mid(at, table.capturedEnd() - at);
        at = table.capturedEnd();
        styles += QStringLiteral("<style:style style:name=\"%1\" style:family=\"table\">"
                                 "<style:table-properties table:border-model=\"collapsing\" "
                                 "style:width=\"%2cm\" style:rel-width=\"%3%\" "
                                 "table:align=\"left\"/></style:style>")
                      .arg(name, number(TextWidthCm * layout.widthPercent / 100.0),
                           QString::number(qRound(layout.widthPercent)));
        // The columns, each naming its share.
        const QRegularExpressionMatch columns
            = writersColumns.match(xml, at, QRegularExpression::NormalMatch,
                                   QRegularExpression::AnchorAtOffsetMatchOption);
        if (columns.hasMatch() && !layout.columnPercents.empty()) {
            for (std::size_t c = 0; c < layout.columnPercents.size(); ++c) {
                const QString column = QStringLiteral("%1.C%2").arg(name).arg(c);
                out += QStringLiteral("<table:table-column table:style-name=\"%1\"/>").arg(column);
                styles += QStringLiteral("<style:style style:name=\"%1\" "
                                         "style:family=\"table-column\">"
                                         "<style:table-column-properties "
                                         "style:column-width=\"%2cm\" "
                                         "style:rel-column-width=\"%3*\"/></style:style>")
                              .arg(column,
                                   number(TextWidthCm * layout.widthPercent / 100.0
                                          * layout.columnPercents[c] / 100.0),
                                   QString::number(qRound(layout.columnPercents[c] * 100.0)));
            }
            at = columns.capturedEnd();
        }
        // The header rows, repeated by a word processor on every page the table runs onto.
        if (layout.headerRows > 0) {
            const QString rowEnd = QStringLiteral("</table:table-row>");
            const qsizetype first = xml.indexOf(QStringLiteral("<table:table-row>"), at);
            qsizetype last = first;
            for (int r = 0; r < layout.headerRows && last >= 0; ++r) {
                last = xml.indexOf(rowEnd, last);
                if (last >= 0)
                    last += rowEnd.size();
            }
            if (first >= 0 && last > first) {
                out += QStringView(xml).mid(at, first - at);
                out += QStringLiteral("<table:table-header-rows>");
                out += QStringView(xml).mid(first, last - first);
                out += QStringLiteral("</table:table-header-rows>");
                at = last;
            }
        }
    }
    out += QStringView(xml).mid(at);
    // The writer's own table styles give way to these: a style of the same name later in the
    // list would not be read, so they go first and the writer's are renamed out of the way.
    static const QRegularExpression writersTableStyle(
        QStringLiteral("<style:style style:name=\"([^\"]+)\" style:family=\"table\">"));
    out.replace(writersTableStyle,
                QStringLiteral("<style:style style:name=\"\\1.written\" style:family=\"table\">"));
    const QString automatic = QStringLiteral("<office:automatic-styles>");
    const qsizetype stylesAt = out.indexOf(automatic);
    if (stylesAt >= 0)
        out.insert(stylesAt + automatic.size(), styles);
    return out;
}

std::optional<QByteArray> laidOut(const QByteArray &odt, const QTextDocument &document,
                                  QString &error)
{
    zip_error_t zipError;
    zip_error_init(&zipError);
    const auto fail = [&error](const QString &why) {
        error = why;
        return std::optional<QByteArray>();
    };
    // The archive is read from a copy of the file's bytes that libzip owns; closing it writes
    // the new archive into the same source, read back from there.
    void *bytes = std::malloc(std::size_t(std::max<qsizetype>(odt.size(), 1)));
    if (!bytes)
        return fail(QStringLiteral("Out of memory."));
    std::memcpy(bytes, odt.constData(), std::size_t(odt.size()));
    zip_source_t *source = zip_source_buffer_create(bytes, zip_uint64_t(odt.size()), 1, &zipError);
    if (!source) {
        std::free(bytes);
        return fail(QString::fromUtf8(zip_error_strerror(&zipError)));
    }
    zip_t *archive = zip_open_from_source(source, 0, &zipError);
    if (!archive) {
        zip_source_free(source);
        return fail(QString::fromUtf8(zip_error_strerror(&zipError)));
    }
    // Kept past the archive's close, to read the new archive from.
    zip_source_keep(source);
    const std::unique_ptr<zip_source_t, decltype(&zip_source_free)> sourceOwner(source,
                                                                                &zip_source_free);
    zip_stat_t stat;
    zip_stat_init(&stat);
    const zip_int64_t index = zip_name_locate(archive, "content.xml", 0);
    if (index < 0 || zip_stat_index(archive, zip_uint64_t(index), 0, &stat) < 0
        || !(stat.valid & ZIP_STAT_SIZE)) {
        zip_discard(archive);
        return fail(QStringLiteral("The document has no content."));
    }
    QByteArray content(qsizetype(stat.size), Qt::Uninitialized);
    zip_file_t *file = zip_fopen_index(archive, zip_uint64_t(index), 0);
    const zip_int64_t read
        = file ? zip_fread(file, content.data(), zip_uint64_t(content.size())) : -1;
    if (file)
        zip_fclose(file);
    if (read != zip_int64_t(content.size())) {
        zip_discard(archive);
        return fail(QStringLiteral("The document's content could not be read."));
    }
    const QByteArray fixed = laidOut(QString::fromUtf8(content), document).toUtf8();
    // libzip reads the new content when the archive is closed: it must live until then.
    zip_source_t *replacement
        = zip_source_buffer(archive, fixed.constData(), zip_uint64_t(fixed.size()), 0);
    if (!replacement || zip_file_replace(archive, zip_uint64_t(index), replacement, 0) < 0) {
        if (replacement)
            zip_source_free(replacement);
        const QString why = QString::fromUtf8(zip_strerror(archive));
        zip_discard(archive);
        return fail(why);
    }
    zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, 0);
    if (zip_close(archive) < 0) {
        const QString why = QString::fromUtf8(zip_strerror(archive));
        zip_discard(archive);
        return fail(why);
    }
    // The buffer now holds the archive as written.
    QByteArray result;
    if (zip_source_open(source) < 0)
        return fail(QString::fromUtf8(zip_error_strerror(zip_source_error(source))));
    char chunk[65536];
    for (zip_int64_t n; (n = zip_source_read(source, chunk, sizeof chunk)) > 0;)
        result.append(chunk, qsizetype(n));
    zip_source_close(source);
    if (result.isEmpty())
        return fail(QStringLiteral("The document could not be written."));
    return result;
}

} // namespace OdtTables
