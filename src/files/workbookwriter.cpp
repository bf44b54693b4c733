#include "files/workbookwriter.h"

#include "base/datetimedays.h"
#include "files/wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <system_error>
#include <xlsxwriter.h>

namespace WorkbookWriter {

namespace {

// The longest text a spreadsheet cell holds.
constexpr qsizetype MaxTextLength = 32767;

// Why the library failed, in words: the system's reason where it left one (a full disk), else
// the library's own.
QString reasonOf(lxw_error error, int systemError)
{
    if (systemError != 0)
        return QString::fromLocal8Bit(std::strerror(systemError));
    return QString::fromUtf8(lxw_strerror(error));
}

// One workbook being written: the library's handles and the formats made once.
class Book
{
public:
    Book(const QByteArray &fileName, const QByteArray &tempFolder, const QLocale &locale)
        : m_tempFolder(tempFolder)
    {
        lxw_workbook_options options {};
        options.constant_memory = LXW_TRUE;
        options.tmpdir = m_tempFolder.data();
        options.use_zip64 = LXW_TRUE;
        m_book = workbook_new_opt(fileName.constData(), &options);
        if (!m_book)
            return;
        const QString date = locale.dateFormat(QLocale::ShortFormat);
        const QString time = DateTimeDays::wholeSecondsTimeFormat(locale, QLocale::LongFormat);
        m_dateTime = numberFormat(spreadsheetFormat(date + QLatin1Char(' ') + time));
        m_date = numberFormat(spreadsheetFormat(date));
        m_time = numberFormat(spreadsheetFormat(time));
        m_title = workbook_add_format(m_book);
        if (m_title)
            format_set_bold(m_title);
    }
    ~Book()
    {
        if (m_book)
            workbook_close(m_book);
    }
    Book(const Book &) = delete;
    Book &operator=(const Book &) = delete;

    bool ready() const { return m_book && m_dateTime && m_date && m_time && m_title; }

    lxw_error writeSheet(const Sheet &sheet)
    {
        const int titleRows = sheet.titles.isEmpty() ? 0 : 1;
        std::vector<Cell> cells;
        for (const Part &part : parts(sheet.name, sheet.rows, titleRows)) {
            lxw_worksheet *page = workbook_add_worksheet(
                m_book, part.name.left(MaxNameLength).toUtf8().constData());
            if (!page)
                return LXW_ERROR_MEMORY_MALLOC_FAILED;
            for (std::size_t c = 0; c < sheet.widths.size(); ++c)
                if (const lxw_error e = worksheet_set_column(page, lxw_col_t(c), lxw_col_t(c),
                                                             sheet.widths[c], nullptr))
                    return e;
            for (qsizetype c = 0; c < sheet.titles.size(); ++c)
                if (const lxw_error e = writeText(page, 0, lxw_col_t(c), sheet.titles[c], m_title))
                    return e;
            if (titleRows > 0)
                worksheet_freeze_panes(page, 1, 0);
            for (qint64 r = 0; r < part.rows; ++r) {
                cells.clear();
                sheet.row(part.first + r, cells);
                const lxw_row_t at = lxw_row_t(r + titleRows);
                for (std::size_t c = 0; c < cells.size(); ++c)
                    if (const lxw_error e = writeCell(page, at, lxw_col_t(c), cells[c]))
                        return e;
            }
        }
        return LXW_NO_ERROR;
    }

    // Closes the workbook, which writes the file: the library's result and the system's error.
    std::pair<lxw_error, int> close()
    {
        errno = 0;
        const lxw_error error = workbook_close(m_book);
        const int systemError = error != LXW_NO_ERROR ? errno : 0;
        m_book = nullptr;
        return { error, systemError };
    }

private:
    lxw_format *numberFormat(const QString &format)
    {
        lxw_format *made = workbook_add_format(m_book);
        if (made)
            format_set_num_format(made, format.toUtf8().constData());
        return made;
    }

    lxw_format *decimalsFormat(int decimals)
    {
        auto found = m_numbers.find(decimals);
        if (found != m_numbers.end())
            return found->second;
        const QString format = decimals <= 0
            ? QStringLiteral("0")
            : QStringLiteral("0.") + QString(decimals, QLatin1Char('0'));
        return m_numbers[decimals] = numberFormat(format);
    }

    lxw_error writeText(lxw_worksheet *page, lxw_row_t row, lxw_col_t col, const QString &text,
                        lxw_format *format)
    {
        if (text.isEmpty())
            return LXW_NO_ERROR;
        return worksheet_write_string(page, row, col, text.left(MaxTextLength).toUtf8().constData(),
                                      format);
    }

    lxw_error writeCell(lxw_worksheet *page, lxw_row_t row, lxw_col_t col, const Cell &cell)
    {
        lxw_format *format = nullptr;
        switch (cell.kind) {
        case Cell::Kind::Empty:
            return LXW_NO_ERROR;
        case Cell::Kind::Text:
            return writeText(page, row, col, cell.text, nullptr);
        case Cell::Kind::Number:
            format = decimalsFormat(cell.decimals);
            break;
        case Cell::Kind::DateTime:
            format = m_dateTime;
            break;
        case Cell::Kind::Date:
            format = m_date;
            break;
        case Cell::Kind::Time:
            format = m_time;
            break;
        }
        if (!format)
            return LXW_ERROR_MEMORY_MALLOC_FAILED;
        // A value a spreadsheet cannot hold (not a number, or a date before its first) is left
        // empty rather than written as something else.
        if (!std::isfinite(cell.value) || (cell.kind != Cell::Kind::Number && cell.value < 0.0))
            return LXW_NO_ERROR;
        return worksheet_write_number(page, row, col, cell.value, format);
    }

    QByteArray m_tempFolder;
    lxw_workbook *m_book = nullptr;
    lxw_format *m_dateTime = nullptr;
    lxw_format *m_date = nullptr;
    lxw_format *m_time = nullptr;
    lxw_format *m_title = nullptr;
    std::map<int, lxw_format *> m_numbers;
};

QString failed(const QString &fileName, const QString &reason)
{
    return QStringLiteral("Cannot write file \"%1\". %2")
        .arg(WholeFile::shownName(fileName), reason);
}

} // namespace

std::vector<Part> parts(const QString &name, qint64 rows, int titles)
{
    const qint64 perSheet = MaxRows - titles;
    std::vector<Part> result;
    qint64 first = 0;
    do {
        const qint64 count = std::min(perSheet, std::max<qint64>(rows - first, 0));
        result.push_back(
            { result.empty() ? name : name + QLatin1Char(' ') + QString::number(result.size() + 1),
              first, count });
        first += count;
    } while (first < rows);
    return result;
}

QString spreadsheetFormat(const QString &qtFormat)
{
    QString out;
    QString literal;
    const auto flushLiteral = [&] {
        // Separators a number format takes as they are; any other text is quoted.
        static const QString plain = QStringLiteral("/:-., ");
        const bool quoted = std::any_of(literal.cbegin(), literal.cend(),
                                        [](QChar c) { return !plain.contains(c); });
        out += quoted ? QLatin1Char('"') + literal + QLatin1Char('"') : literal;
        literal.clear();
    };
    for (qsizetype i = 0; i < qtFormat.size();) {
        const QChar c = qtFormat[i];
        qsizetype run = 1;
        while (i + run < qtFormat.size() && qtFormat[i + run] == c)
            ++run;
        const auto letters = [&](char letter, qsizetype most) {
            flushLiteral();
            out += QString(std::min(run, most), QLatin1Char(letter));
        };
        switch (c.unicode()) {
        case '\'':
            // Quoted text, '' inside it a quote; '' alone a quote too.
            ++i;
            if (i < qtFormat.size() && qtFormat[i] == QLatin1Char('\'')) {
                literal += QLatin1Char('\'');
                ++i;
                continue;
            }
            while (i < qtFormat.size()) {
                if (qtFormat[i] == QLatin1Char('\'')) {
                    if (i + 1 < qtFormat.size() && qtFormat[i + 1] == QLatin1Char('\'')) {
                        literal += QLatin1Char('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                literal += qtFormat[i++];
            }
            continue;
        case 'd':
            letters('d', 4);
            break;
        case 'M':
            letters('m', 4);
            break;
        case 'y':
            flushLiteral();
            out += run >= 3 ? QStringLiteral("yyyy") : QStringLiteral("yy");
            break;
        case 'h':
        case 'H':
            letters('h', 2);
            break;
        case 'm':
            letters('m', 2);
            break;
        case 's':
            letters('s', 2);
            break;
        case 'A':
        case 'a':
            flushLiteral();
            out += QStringLiteral("AM/PM");
            run = i + 1 < qtFormat.size() && qtFormat[i + 1].toLower() == QLatin1Char('p') ? 2 : 1;
            break;
        case 'z':
        case 't':
            // Milliseconds and the zone's name: a date-time cell holds neither, nor the
            // separator before its milliseconds.
            if (c == QLatin1Char('z')
                && (literal.endsWith(QLatin1Char('.')) || literal.endsWith(QLatin1Char(','))))
                literal.chop(1);
            break;
        default:
            literal += QString(run, c);
            break;
        }
        i += run;
    }
    flushLiteral();
    return out.trimmed();
}

QString write(const QString &fileName, const std::vector<Sheet> &sheets, const QLocale &locale)
{
    const QFileInfo target(fileName);
    // The new file beside the old one, so that taking the old one's name is a rename.
    QTemporaryFile staging(QDir(target.absolutePath())
                               .filePath(QStringLiteral(".") + target.completeBaseName()
                                         + QStringLiteral(".XXXXXX.xlsx")));
    if (!staging.open())
        return failed(fileName, staging.errorString());
    const QString stagingName = staging.fileName();
    staging.close();
    lxw_error error = LXW_NO_ERROR;
    int systemError = 0;
    {
        Book book(QFile::encodeName(stagingName), QFile::encodeName(QDir::tempPath()), locale);
        if (!book.ready())
            return failed(fileName, reasonOf(LXW_ERROR_MEMORY_MALLOC_FAILED, 0));
        for (const Sheet &sheet : sheets) {
            error = book.writeSheet(sheet);
            if (error != LXW_NO_ERROR)
                break;
        }
        const auto [closeError, closeSystemError] = book.close();
        if (error == LXW_NO_ERROR) {
            error = closeError;
            systemError = closeSystemError;
        }
    }
    if (error != LXW_NO_ERROR)
        return failed(fileName, reasonOf(error, systemError));
    // The new file takes the old one's permissions, or those a new file gets.
    QFile::setPermissions(stagingName,
                          target.exists() ? QFile::permissions(fileName)
                                          : QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                  | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    std::error_code renamed;
    std::filesystem::rename(std::filesystem::path(QFile::encodeName(stagingName).toStdString()),
                            std::filesystem::path(QFile::encodeName(fileName).toStdString()),
                            renamed);
    if (renamed)
        return failed(fileName, QString::fromLocal8Bit(renamed.message()));
    staging.setAutoRemove(false);
    return {};
}

} // namespace WorkbookWriter
