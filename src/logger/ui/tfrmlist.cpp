#include "logger/ui/tfrmlist.h"

#include "base/celltable.h"
#include "base/ui/stringgrid.h"
#include "base/ui/windowservices.h"

#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

namespace {
const QStringList Titles { QStringLiteral("No"), QStringLiteral("Date"), QStringLiteral("Time"),
                           QStringLiteral("Value") };
} // namespace

TfrmList::TfrmList(WindowServices &services, QWidget *parent)
    : MdiChildForm(parent)
    , m_services(services)
{
    setObjectName(QStringLiteral("TfrmList"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(DefaultSize);
    Grid1 = new StringGrid(this);
    Grid1->setObjectName(QStringLiteral("Grid1"));
    Grid1->setColCount(Columns);
    Grid1->setRowCount(2);
    Grid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    Grid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    Grid1->verticalHeader()->setDefaultSectionSize(18);
    Grid1->setShowGrid(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Grid1);
    lblDates = new QLabel(this);
    lblDates->setObjectName(QStringLiteral("lblDates"));
    lblDates->setWordWrap(true);
    lblDates->setContentsMargins(4, 2, 4, 2);
    lblDates->hide();
    layout->addWidget(lblDates);
    connect(this, &MdiChildForm::formActivated, this, &TfrmList::FormActivate);
}

void TfrmList::showTable(CellTable &&table, const QString &dateNote)
{
    lblDates->setText(dateNote);
    lblDates->setVisible(!dateNote.isEmpty());
    const bool twoLevels = table.cell(4, 0) == QLatin1String("Leq");
    for (int col = 0; col < Titles.size(); ++col)
        if (!(twoLevels && col == 3))
            table.setCell(col, 0, Titles[col]);
    Grid1->adoptTable(std::move(table));
}

QString TfrmList::dateNote() const
{
    return lblDates->text();
}

const CellTable &TfrmList::table() const
{
    return Grid1->table();
}

void TfrmList::showEvent(QShowEvent *event)
{
    MdiChildForm::showEvent(event);
    FormShow();
}

void TfrmList::FormShow()
{
    // The titles stand in the first four columns whatever the table read in wrote there,
    // unless the import named columns 3 and 4 for a table with two levels.
    const bool twoLevels = Grid1->Cells(4, 0) == QLatin1String("Leq");
    for (int col = 0; col < Titles.size(); ++col)
        if (!(twoLevels && col == 3))
            Grid1->setCells(col, 0, Titles[col]);
}

void TfrmList::FormActivate()
{
    m_services.setOutputToGraphEnabled(true);
}
