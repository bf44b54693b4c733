#include "files/textimport.h"

#include "base/workprogress.h"

namespace {

// Splits one line into row k: each separator ends a field; the rest after the last separator is
// a field when it is not empty.
void storeLine(CellTable &table, int k, QStringView line, QChar separator)
{
    table.setCell(0, k, k);
    for (int col = 1; col < table.colCount() && !line.isEmpty(); ++col) {
        const qsizetype at = line.indexOf(separator);
        if (at < 0) {
            table.setCell(col, k, line);
            return;
        }
        table.setCell(col, k, line.left(at));
        line = line.mid(at + 1);
    }
}

} // namespace

namespace TextImport {

Result read(const QByteArray &utf8, QChar separator, int columns, WorkProgress *progress,
            int maxLines)
{
    QByteArrayView bytes(utf8);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    const QString text = QString::fromUtf8(bytes);
    const QStringView all(text);

    Result result { CellTable(columns, 2) };
    result.table.reserveText(text.size() + text.size() / 4);
    if (progress)
        progress->start(0);
    qsizetype pos = 0;
    while (pos < all.size()) {
        qsizetype end = all.indexOf(QLatin1Char('\n'), pos);
        if (end < 0)
            end = all.size();
        QStringView line = all.mid(pos, end - pos);
        pos = end + 1;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const bool cut = line.size() > MaxLineLength;
        if (cut) // never between the two halves of a surrogate pair
            line.truncate(MaxLineLength - (line[MaxLineLength - 1].isHighSurrogate() ? 1 : 0));
        if (!line.contains(separator))
            break;
        if (result.lines == maxLines) {
            result.truncated = true;
            break;
        }
        const int k = result.lines + 1;
        if (progress && progress->cancelled()) {
            result.cancelled = true;
            break;
        }
        if (result.table.rowCount() < k + 1)
            result.table.setRowCount(k + 1);
        storeLine(result.table, k, line, separator);
        result.lines = k;
        result.cutLines += cut ? 1 : 0;
        if (progress)
            progress->progressed(k);
    }
    if (progress)
        progress->finish();
    return result;
}

QString noLineReason(const QByteArray &utf8, QChar separator)
{
    if (utf8.isEmpty() || utf8 == "\xEF\xBB\xBF")
        return QStringLiteral("the file is empty.");
    return QStringLiteral("its first line holds no %1.")
        .arg(separator == QLatin1Char(',') ? QStringLiteral("comma") : QStringLiteral("tab"));
}

} // namespace TextImport
