#pragma once

#include <QString>

#include <vector>

class CellTable;
class WindowServices;

// Writing text files from a graph's levels or a table's rows: the range dialog, the progress
// window, and the file written whole or not at all. Cancel keeps the lines written before it.
// A file that cannot be written is reported with its name and the reason; so is a comma file
// where the decimal separator is a comma.
class TextFileCommands
{
public:
    // What was written: nothing (cancelled, refused or failed), every point, or only some (a
    // range, or Cancel during the writing).
    enum class Written { Nothing, Whole, Part };

    explicit TextFileCommands(WindowServices &services);

    // Writes the points of a chart's first series to fileName with the separator.
    Written ExportGraphText(std::vector<double> xs, std::vector<float> ys, const QString &fileName,
                            char separator);
    // Asks for the file name, then writes the table's rows.
    Written ExportTableText(const CellTable &table);

private:
    Written write(const QString &fileName, const QByteArray &bytes, bool whole);

    WindowServices &m_services;
};
