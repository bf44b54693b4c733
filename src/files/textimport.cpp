#include "files/textimport.h"

#include "base/datetimepattern.h"
#include "base/workprogress.h"
#include "files/csvfields.h"
#include "files/tableformat.h"
#include "files/textrecords.h"
#include "files/wholefile.h"

#include <QFile>

#include <cerrno>
#include <climits>

namespace {

// Takes the lines of a text one at a time: the first ones are held until the layout is
// decided, the rest go straight into the table.
class TableReader
{
public:
    TableReader(QChar separator, int columns, const QLocale &locale, WorkProgress *progress,
                qint64 totalBytes)
        : m_preferred(separator)
        , m_locale(locale)
        , m_progress(progress)
        , m_totalBytes(totalBytes)
        , m_records(TextImport::MaxLineLength)
        , m_datePattern(DateTimePattern::date(locale))
        , m_timePattern(DateTimePattern::time(locale))
        , m_localeDecimal(locale.decimalPoint().size() == 1 ? locale.decimalPoint()[0]
                                                            : QChar(u'.'))
    {
        m_result.table = CellTable(columns, 2);
        if (m_progress)
            m_progress->start(0);
    }

    // False once the reading has ended (a line without the separator, or Cancel).
    bool feed(QByteArrayView bytes)
    {
        m_records.feed(bytes);
        return takeLines();
    }

    TextImport::Result finish()
    {
        m_records.finish();
        takeLines();
        if (!m_format)
            decide();
        if (m_progress)
            m_progress->finish();
        CellTable &table = m_result.table;
        // A second level in column 4, as an LEQ table has (not a note or a place).
        QLocale numbers(m_locale);
        numbers.setNumberOptions(QLocale::RejectGroupSeparator);
        bool level = false;
        numbers.toDouble(table.cell(4, 1).trimmed(), &level);
        if (level) {
            table.setCell(3, 0, u"SPL");
            table.setCell(4, 0, u"Leq");
        }
        if (m_result.lines == 0)
            m_result.noLineReason = m_records.empty()
                ? QStringLiteral("the file is empty.")
                : QStringLiteral("its first line holds no %1.")
                      .arg(m_preferred == u',' ? QStringLiteral("comma") : QStringLiteral("tab"));
        return std::move(m_result);
    }

private:
    bool takeLines()
    {
        TextRecords::Line line;
        while (!m_ended && m_records.next(line)) {
            if (!m_format) {
                if (m_sample.isEmpty() && line.text.startsWith(u'#'))
                    continue;
                m_sample << line.text.toString();
                m_sampleCut.push_back(line.cut);
                m_sampleChars += line.text.size() + 2;
                if (m_sample.size() >= TableFormat::SampleLines)
                    decide();
                continue;
            }
            take(line.text, line.cut);
        }
        return !m_ended;
    }

    void decide()
    {
        m_format = TableFormat::decide(m_sample, m_preferred, m_locale);
        m_result.dateNote = m_format->orderNote();
        const QStringList sample = std::exchange(m_sample, {});
        const std::vector<bool> cuts = std::exchange(m_sampleCut, {});
        for (qsizetype i = 0; i < sample.size() && !m_ended; ++i) {
            if (i == 0 && m_format->header && sample.size() > 1) {
                takeTitles(sample[0]);
                continue;
            }
            take(sample[i], cuts[std::size_t(i)]);
        }
        if (sample.size() >= TableFormat::SampleLines)
            reserve(sample.size());
    }

    // Room for the rows a file of this size is likely to hold, so that a long table does not
    // grow (and briefly double) its storage again and again.
    void reserve(qsizetype sampleLines)
    {
        if (m_totalBytes <= 0 || m_result.lines <= 0)
            return;
        const double bytesPerLine
            = double(m_sampleChars) * (m_records.utf16() ? 2 : 1) / double(sampleLines);
        const double rows = double(m_totalBytes) / bytesPerLine * 1.02 + 16;
        if (rows > INT_MAX / 2)
            return;
        CellTable &table = m_result.table;
        table.reserveRows(int(rows));
        table.reserveText(qsizetype(double(table.textSize()) / m_result.lines * rows));
    }

    // The columns field i of a line goes to: one-field date-times fill columns 1 and 2.
    int columnOf(int field) const
    {
        const bool oneField = m_format->dates && m_format->dates->fieldCount() == 1;
        return field + (oneField && field > 0 ? 2 : 1);
    }

    void takeTitles(QStringView line)
    {
        const std::vector<QStringView> &fields
            = m_fields.split(line, m_format->separator, m_result.table.colCount());
        for (int i = 0; i < int(fields.size()); ++i)
            m_result.table.setCell(columnOf(i), 0, fields[std::size_t(i)].trimmed());
    }

    void take(QStringView line, bool cut)
    {
        if (!line.contains(m_format->separator) || m_result.lines == INT_MAX - 1) {
            m_ended = true;
            return;
        }
        if (m_progress && m_progress->cancelled()) {
            m_result.cancelled = true;
            m_ended = true;
            return;
        }
        CellTable &table = m_result.table;
        const int k = m_result.lines + 1;
        if (table.rowCount() < k + 1)
            table.setRowCount(k + 1);
        table.setCell(0, k, k);
        const std::vector<QStringView> &fields
            = m_fields.split(line, m_format->separator, table.colCount());
        int first = 0; // the first field stored as it stands
        if (m_format->dates && m_format->dates->layout() != DateTimeFields::Layout::Locale) {
            if (const std::optional<DateTimeFields::Read> read = m_format->dates->read(fields)) {
                m_text.clear();
                m_datePattern.appendUtf8(m_text, read->date, QTime());
                table.setCell(1, k, utf16(m_text));
                m_text.clear();
                m_timePattern.appendUtf8(m_text, QDate(), read->time);
                table.setCell(2, k, utf16(m_text));
                first = m_format->dates->fieldCount();
            }
        }
        const bool swapDecimal = m_format->dates && m_format->decimal != m_localeDecimal;
        for (int i = first; i < int(fields.size()); ++i) {
            const int col = columnOf(i);
            QStringView field = fields[std::size_t(i)];
            if (swapDecimal && col >= 3 && isNumber(field)) {
                m_level = field.toString();
                m_level.replace(m_format->decimal, m_localeDecimal);
                field = m_level;
            }
            table.setCell(col, k, field);
        }
        m_result.lines = k;
        m_result.cutLines += cut ? 1 : 0;
        if (m_progress)
            m_progress->progressed(k);
    }

    // A short text written as UTF-8, as UTF-16 in a reused buffer (most are plain ASCII).
    QStringView utf16(const QByteArray &utf8)
    {
        m_utf16.resize(utf8.size());
        for (qsizetype i = 0; i < utf8.size(); ++i) {
            if (uchar(utf8[i]) >= 0x80) {
                m_utf16 = QString::fromUtf8(utf8);
                return m_utf16;
            }
            m_utf16[i] = QLatin1Char(utf8[i]);
        }
        return m_utf16;
    }

    // Digits with at most one of the file's decimal separator, and an optional sign.
    bool isNumber(QStringView text) const
    {
        text = text.trimmed();
        if (text.startsWith(u'-') || text.startsWith(u'+'))
            text = text.sliced(1);
        int marks = 0;
        for (QChar c : text) {
            if (c == m_format->decimal)
                ++marks;
            else if (!c.isDigit())
                return false;
        }
        return marks == 1 && text.size() > 1;
    }

    QChar m_preferred;
    QLocale m_locale;
    WorkProgress *m_progress;
    qint64 m_totalBytes;
    TextRecords m_records;
    DateTimePattern m_datePattern;
    DateTimePattern m_timePattern;
    QChar m_localeDecimal;
    std::optional<TableFormat> m_format;
    QStringList m_sample;
    std::vector<bool> m_sampleCut;
    qsizetype m_sampleChars = 0;
    CsvFields m_fields;
    QByteArray m_text;
    QString m_level;
    QString m_utf16;
    TextImport::Result m_result;
    bool m_ended = false;
};

} // namespace

namespace TextImport {

Result read(const QByteArray &bytes, QChar separator, int columns, const QLocale &locale,
            WorkProgress *progress)
{
    TableReader reader(separator, columns, locale, progress, bytes.size());
    reader.feed(bytes);
    return reader.finish();
}

Result readFile(const QString &fileName, QChar separator, int columns, const QLocale &locale,
                WorkProgress *progress)
{
    QFile file(fileName);
    Result failed;
    failed.error = WholeFile::openForReading(file);
    if (!failed.error.isEmpty())
        return failed;
    TableReader reader(separator, columns, locale, progress, file.size());
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(chunk.data(), chunk.size());
        if (got < 0) {
            failed.error = QStringLiteral("Cannot read file \"%1\". %2")
                               .arg(WholeFile::shownName(fileName), WholeFile::reason(file, errno));
            reader.finish();
            return failed;
        }
        if (got == 0 || !reader.feed(QByteArrayView(chunk.constData(), got)))
            break;
    }
    return reader.finish();
}

} // namespace TextImport
