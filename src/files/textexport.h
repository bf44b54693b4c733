#pragma once

#include "base/rangerule.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <vector>

class CellTable;
class WorkProgress;

// The text forms of levels: one line per record, ended by CR LF, no header, no quoting; fields
// joined by a tab (".txt") or a comma (".csv"). Written as UTF-8.
//
// A graph line is one point of a chart's first series: its date (the locale's short date), its
// time (the locale's long time, whole seconds, no zone name; rounded to the second, a
// millisecond part above 500 rounding up) and its level (one decimal, the locale's decimal
// separator), e.g. "12/8/26<TAB>9:05:07 PM<TAB>67.3". A null point (a gap of a recording, or a
// level that could not be read) keeps its date and time and leaves the level empty:
// "12/8/26<TAB>9:05:08 PM<TAB>"; read back, an empty level is a null point again.
// A table line is one grid row: the cells of columns 1 to the last, each followed by the
// separator, so that every line ends with one; the row number column and the title row are
// never written.
namespace TextExport {

// The level of a null point in a chart's series.
inline constexpr float NullLevel = 9999.0f;

// ',' for the extension "csv" (any case, with or without the dot), a tab otherwise.
char separatorForExtension(const QString &extension);
// The table export's rule: ',' when the name's last three letters are "csv" in any case, even
// without a dot before them, a tab otherwise.
char separatorForFileName(const QString &fileName);

// Commas separate fields only where the locale's decimal separator is not a comma; otherwise a
// level "40,0" would read back as two fields. The message that refuses such a file.
bool commaFormAllowed(const QLocale &locale);
QString commaFormRefused(const QString &fileName);

struct Lines
{
    QByteArray bytes;
    int lines = 0;
    bool cancelled = false; // the user cancelled: bytes hold the lines written before
};

// The graph lines of points range.from to range.to (1-based) of a series; it ends before the
// first point whose X is exactly 0 (a series has no data beyond it). The progress hears the
// number of lines after each line and is asked after each whether to stop.
Lines graphLines(const std::vector<double> &xs, const std::vector<float> &ys,
                 RangeRule::Range range, char separator, const QLocale &locale,
                 WorkProgress *progress = nullptr);
// The table lines of rows range.from to range.to.
Lines tableLines(const CellTable &table, RangeRule::Range range, char separator,
                 WorkProgress *progress = nullptr);

// A level as the text lines write it: fixed-point with one decimal (halves rounded away from
// zero, as on screen) and at most 7 significant digits, in the locale's digits and decimal
// separator, without group separators.
void appendLevel(QByteArray &out, float level, const QLocale &locale);

} // namespace TextExport
