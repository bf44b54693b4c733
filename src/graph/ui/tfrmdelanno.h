#pragma once

#include "survey/placedannotations.h"

#include <QDialog>

#include <vector>

class QPushButton;
class StringGrid;

// "Erase Annotation": the marks of a graph, one row each with its number, time and contents
// ("X" for a cross); the user selects one row or a range and presses "Delete".
class TfrmDelAnno : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmDelAnno(QWidget *parent = nullptr);

    // Lists the marks; with none, one empty row stays and "Delete" is disabled.
    void showRows(const std::vector<PlacedAnnotations::Row> &rows);
    // The annotation indexes of the selected rows, from the top row to the bottom one.
    std::vector<int> selectedIndexes() const;

    StringGrid *StringGrid1 = nullptr;
    QPushButton *btnDelete = nullptr;
    QPushButton *btnCancel = nullptr;

private:
    // Grid row k (from 1) lists the annotation at m_rowIndexes[k - 1].
    std::vector<int> m_rowIndexes;
};
