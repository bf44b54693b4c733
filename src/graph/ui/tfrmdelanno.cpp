#include "graph/ui/tfrmdelanno.h"

#include "base/ui/stringgrid.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

TfrmDelAnno::TfrmDelAnno(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDelAnno"));
    setWindowTitle(QStringLiteral("Erase Annotation"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    StringGrid1 = new StringGrid(this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setColCount(3);
    StringGrid1->setRowCount(2);
    StringGrid1->setFixedRows(1);
    StringGrid1->setRow(
        0, { QStringLiteral("NO"), QStringLiteral("Time"), QStringLiteral("Contents") });
    StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    const int widths[] = { 50, 120, 200 };
    for (int c = 0; c < 3; ++c)
        StringGrid1->setColumnWidth(c, widths[c]);
    StringGrid1->horizontalHeader()->setStretchLastSection(true);
    StringGrid1->setMinimumSize(50 + 120 + 200 + 4, 240);

    btnDelete = new QPushButton(QStringLiteral("Delete"), this);
    btnDelete->setObjectName(QStringLiteral("btnDelete"));
    btnDelete->setEnabled(false);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(btnDelete, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnDelete);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(StringGrid1);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
}

void TfrmDelAnno::showRows(const std::vector<PlacedAnnotations::Row> &rows)
{
    m_rowIndexes.clear();
    StringGrid1->setRowCount(1 + std::max<int>(1, int(rows.size())));
    int row = 1;
    for (const PlacedAnnotations::Row &r : rows) {
        StringGrid1->setRow(row, { QString::number(row), r.time, r.contents });
        m_rowIndexes.push_back(r.index);
        ++row;
    }
    btnDelete->setEnabled(!rows.empty());
    if (!rows.empty())
        StringGrid1->selectRow(1);
    // The columns keep their widths unless a time or a text needs more (a long date format).
    const QFontMetrics metrics(StringGrid1->font());
    int wanted[] = { 50, 120, 200 };
    for (const PlacedAnnotations::Row &r : rows) {
        wanted[1] = std::max(wanted[1], metrics.horizontalAdvance(r.time) + 12);
        wanted[2] = std::max(wanted[2], std::min(400, metrics.horizontalAdvance(r.contents) + 12));
    }
    for (int c = 0; c < 3; ++c)
        StringGrid1->setColumnWidth(c, wanted[c]);
    StringGrid1->setMinimumWidth(wanted[0] + wanted[1] + wanted[2] + 2 * StringGrid1->frameWidth()
                                 + StringGrid1->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    setFixedSize(sizeHint());
}

std::vector<int> TfrmDelAnno::selectedIndexes() const
{
    std::vector<int> indexes;
    for (int row : StringGrid1->selectedRows())
        if (row >= 1 && row <= int(m_rowIndexes.size()))
            indexes.push_back(m_rowIndexes[std::size_t(row - 1)]);
    return indexes;
}
