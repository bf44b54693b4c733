#pragma once

#include "base/celltable.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

class WorkProgress;

// Reads a text file of levels (the program's own, or what a spreadsheet writes) into a table:
// line k goes to row k (row 0 stays for the titles), its fields to columns 1, 2, ... and k into
// column 0. The file is read in one streaming pass, in memory that grows with its rows only.
// Comment lines ("#...") at the top are skipped; how the rest is laid out (separator, dates and
// times, a header line, the decimal separator) is decided from its first lines (TableFormat).
// The program's own files are taken as they stand. A file in another layout has its date and
// time written into columns 1 and 2 as the program writes them (the locale's short date and
// long time, local time) and the decimal separator of its levels made the locale's, so that the
// table reads and saves as the program's own; a line whose date does not read is kept as it
// stands. A header line's names become the titles of the columns its fields go to. A line keeps
// at most its first MaxLineLength characters (a line of levels is some 40), so that no cell ever
// holds megabytes for a window to lay out; the lines after a cut one are still read. The first
// line without the separator (an empty line, for instance) ends the reading; fields beyond the
// table's last column are dropped; empty fields stay empty. When the first row has a level (a
// number) in column 4, columns 3 and 4 are titled "SPL" and "Leq".
namespace TextImport {

inline constexpr int MaxLineLength = 179;

struct Result
{
    CellTable table; // at least two rows: the titles and one row of readings
    int lines = 0;
    bool cancelled = false; // the user cancelled: the rows read before are kept
    int cutLines = 0; // lines taken that were longer than MaxLineLength
    QString dateNote; // how an ambiguous date order was taken, or empty
    QString noLineReason; // when no line was read: "the file is empty." or "its first line..."
    QString error; // the file could not be opened or read: the message to show
};

// Reads a text (UTF-8 or UTF-16 with a byte order mark) whose name implies the separator
// (tab or comma). The progress hears the line count after each line and is asked before each
// line is stored whether to stop.
Result read(const QByteArray &bytes, QChar separator, int columns,
            const QLocale &locale = QLocale::system(), WorkProgress *progress = nullptr);
// The same, streamed from a file.
Result readFile(const QString &fileName, QChar separator, int columns,
                const QLocale &locale = QLocale::system(), WorkProgress *progress = nullptr);

} // namespace TextImport
