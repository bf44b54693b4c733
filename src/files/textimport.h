#pragma once

#include "base/celltable.h"

#include <QByteArray>
#include <QString>

class WorkProgress;

// Reads a text file of levels (or any tab- or comma-separated lines) into a table: line k goes
// to row k (row 0 stays for the titles), its fields to columns 1, 2, ... and k into column 0.
// Lines end with LF or CR LF. A line keeps at most its first MaxLineLength characters (a line
// of levels is some 40), so that no cell ever holds megabytes for a window to lay out; the
// lines after a cut one are still read. The first line without a separator (an empty line,
// for instance) ends the reading; fields beyond the table's last column are dropped; empty
// fields stay empty. No quoting.
namespace TextImport {

// The largest file read, and the most lines a table takes: a full logger memory as text is
// about 2 MB and 65,536 lines, a day's recording at 0.2 s about 13 MB and 432,000 lines.
inline constexpr qint64 MaxFileSize = 32 * 1024 * 1024;
inline constexpr int MaxLines = 1'000'000;
inline constexpr int MaxLineLength = 179;

struct Result
{
    CellTable table; // at least two rows: the titles and one row of readings
    int lines = 0;
    bool cancelled = false; // the user cancelled: the rows read before are kept
    bool truncated = false; // MaxLines were read and more lines followed
    int cutLines = 0; // lines taken that were longer than MaxLineLength
};

// Reads UTF-8 text (a byte order mark is skipped), at most maxLines lines. The progress hears the
// line count after each line and is asked before each line is stored whether to stop.
Result read(const QByteArray &utf8, QChar separator, int columns,
            WorkProgress *progress = nullptr, int maxLines = MaxLines);

// Why a text gave no line, for the message that names the file: "the file is empty." or "its
// first line holds no tab." (no comma for the comma form).
QString noLineReason(const QByteArray &utf8, QChar separator);

} // namespace TextImport
