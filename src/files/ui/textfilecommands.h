#pragma once

#include <QString>

#include <vector>

class CellTable;
class WindowServices;

// Writing text files from a graph's levels or a table's rows: the range dialog, the progress
// window, and the file written whole or not at all. Cancel keeps the lines written before it.
// A file that cannot be written is reported with its name and the reason.
class TextFileCommands
{
public:
    explicit TextFileCommands(WindowServices &services);

    // Writes the points of a chart's first series to fileName with the separator; true when a
    // file was written.
    bool ExportGraphText(const std::vector<double> &xs, const std::vector<float> &ys,
                         const QString &fileName, char separator);
    // Asks for the file name, then writes the table's rows; true when a file was written.
    bool ExportTableText(const CellTable &table);

private:
    bool write(const QString &fileName, const QByteArray &bytes);

    WindowServices &m_services;
};
