#pragma once

#include "base/ui/mdichildform.h"

class CellTable;
class QLabel;
class StringGrid;
class WindowServices;

// A table of readings: one reading per row, its number, date, time and level (and a second
// level, "Leq", where the table has one) in the grid Grid1, titled in row 0. Made by reading a
// text file; "Output Tabular to graph" draws it as a graph while it is the active window.
class TfrmList : public MdiChildForm
{
    Q_OBJECT

public:
    static inline const QSize DefaultSize { 405, 460 };
    static constexpr int Columns = 7;

    explicit TfrmList(WindowServices &services, QWidget *parent = nullptr);

    // Shows a table read in: its titles "No", "Date", "Time", "Value" (but "SPL" where the
    // table titles column 4 "Leq"). A note on how its dates were
    // read, when there is one, stands in a line under the grid.
    void showTable(CellTable &&table, const QString &dateNote = {});
    QString dateNote() const;
    const CellTable &table() const;
    // The grid, for reading what it shows.
    const StringGrid &grid() const { return *Grid1; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void FormActivate();

    WindowServices &m_services;
    StringGrid *Grid1 = nullptr;
    QLabel *lblDates = nullptr;
};
