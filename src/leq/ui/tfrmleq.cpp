#include "leq/ui/tfrmleq.h"

#include "base/celltable.h"
#include "base/datetimepattern.h"
#include "base/ui/stringgrid.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QStringList Durations { QStringLiteral("10 sec"),     QStringLiteral("1 minute"),
                              QStringLiteral("5 minutes"),  QStringLiteral("10 minutes"),
                              QStringLiteral("15 minutes"), QStringLiteral("30 minutes"),
                              QStringLiteral("1 hour"),     QStringLiteral("8 hour"),
                              QStringLiteral("24 hours"),   QStringLiteral("Manual") };

QLineEdit *statusField(const char *name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setReadOnly(true);
    edit->setFixedWidth(110);
    return edit;
}

// The width of the "Date" column: at least its 75 pixels, and as wide as the grid's style asks
// for the widest date the system's short date format writes (a month name or a four-digit year
// does not fit in 75 pixels in every locale), in the grid's font, as the grid would fit a column
// to its contents.
int dateColumnWidth(const StringGrid &grid)
{
    const DateTimePattern format = DateTimePattern::date(QLocale::system());
    QStyleOptionViewItem cell;
    cell.initFrom(&grid);
    cell.font = grid.font();
    cell.fontMetrics = QFontMetrics(cell.font);
    cell.features = QStyleOptionViewItem::HasDisplay;
    cell.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    int widest = 0;
    // Every month, with a two-digit day on each day of the week.
    for (int month = 1; month <= 12; ++month)
        for (int day = 22; day <= 28; ++day) {
            cell.text = format.toString(QDate(2028, month, day), QTime());
            widest = std::max(widest,
                              grid.style()
                                  ->sizeFromContents(QStyle::CT_ItemViewItem, &cell, QSize(), &grid)
                                  .width());
        }
    // The grid line takes a pixel of the column.
    return std::max(75, widest + (grid.showGrid() ? 1 : 0));
}

QPushButton *button(const char *name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

TfrmLEQ::TfrmLEQ(QWidget *parent)
    : MdiChildForm(parent)
{
    setObjectName(QStringLiteral("TfrmLEQ"));
    setWindowTitle(QStringLiteral("LEQ"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(DefaultSize);

    LEQGrid = new StringGrid(this);
    LEQGrid->setObjectName(QStringLiteral("LEQGrid"));
    LEQGrid->verticalHeader()->setDefaultSectionSize(18);
    LEQGrid->setShowGrid(true);

    auto *setup = new QGroupBox(QStringLiteral("Setup"), this);
    cmbTimeSelect = new QComboBox(setup);
    cmbTimeSelect->setObjectName(QStringLiteral("cmbTimeSelect"));
    cmbTimeSelect->addItems(Durations);
    btnLEQ = button("btnLEQ", QStringLiteral("Start"), setup);
    Button1 = button("Button1", QStringLiteral("Stop"), setup);
    auto *setupLayout = new QHBoxLayout(setup);
    setupLayout->addWidget(cmbTimeSelect, 1);
    setupLayout->addWidget(btnLEQ);
    setupLayout->addWidget(Button1);

    auto *status = new QGroupBox(QStringLiteral("Status"), this);
    edtTimeLeft = statusField("edtTimeLeft", status);
    edtLEQValue = statusField("edtLEQValue", status);
    edtLEQrate = statusField("edtLEQrate", status);
    lblLEQrate = new QLabel(QStringLiteral("sampling rate"), status);
    auto *statusLayout = new QGridLayout(status);
    statusLayout->addWidget(new QLabel(QStringLiteral("time left"), status), 0, 0);
    statusLayout->addWidget(edtTimeLeft, 0, 1);
    statusLayout->addWidget(new QLabel(QStringLiteral("LEQ"), status), 0, 2);
    statusLayout->addWidget(edtLEQValue, 0, 3);
    statusLayout->addWidget(lblLEQrate, 1, 0);
    statusLayout->addWidget(edtLEQrate, 1, 1);
    statusLayout->setColumnStretch(4, 1);
    lblLEQrate->hide();
    edtLEQrate->hide();

    Button2 = button("Button2", QStringLiteral("Save"), this);
    Button3 = button("Button3", QStringLiteral("Graph"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(setup);
    layout->addWidget(status);
    layout->addWidget(LEQGrid, 1);
    layout->addLayout(buttons);

    connect(btnLEQ, &QPushButton::clicked, this, &TfrmLEQ::startClicked);
    connect(Button1, &QPushButton::clicked, this, &TfrmLEQ::stopClicked);
    connect(Button2, &QPushButton::clicked, this, &TfrmLEQ::saveClicked);
    connect(Button3, &QPushButton::clicked, this, &TfrmLEQ::graphClicked);
    FormCreate();
}

void TfrmLEQ::FormCreate()
{
    LEQGrid->setColCount(5);
    LEQGrid->setRowCount(1);
    LEQGrid->setFixedRows(1);
    LEQGrid->setRow(0,
                    { QStringLiteral("No"), QStringLiteral("Date"), QStringLiteral("TIME"),
                      QStringLiteral("SPL"), QStringLiteral("Leq") });
    const int widths[] = { 65, 75, 100, 75, 75 };
    for (int c = 0; c < 5; ++c)
        LEQGrid->setColumnWidth(c, widths[c]);
    LEQGrid->setColumnWidth(1, dateColumnWidth(*LEQGrid));
}

void TfrmLEQ::showEvent(QShowEvent *event)
{
    MdiChildForm::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TfrmLEQ::FormShow()
{
    cmbTimeSelect->setCurrentIndex(0);
    // Measured again in the font the window shows with.
    LEQGrid->setColumnWidth(1, dateColumnWidth(*LEQGrid));
}

bool TfrmLEQ::selectDuration(int seconds)
{
    for (std::size_t i = 0; i < DurationSeconds.size(); ++i)
        if (DurationSeconds[i] == seconds) {
            cmbTimeSelect->setCurrentIndex(int(i));
            return true;
        }
    return false;
}

int TfrmLEQ::selectedSeconds() const
{
    return DurationSeconds[std::size_t(std::max(0, cmbTimeSelect->currentIndex()))];
}

void TfrmLEQ::clearRows()
{
    LEQGrid->setRowCount(1);
}

void TfrmLEQ::appendRow(const QStringList &cells)
{
    const int row = LEQGrid->RowCount();
    LEQGrid->setRowCount(row + 1);
    LEQGrid->setRow(row, cells);
    LEQGrid->scrollToBottom();
}

void TfrmLEQ::showTimeLeft(const QString &text)
{
    edtTimeLeft->setText(text);
}

void TfrmLEQ::showLeq(const QString &text)
{
    edtLEQValue->setText(text);
}

void TfrmLEQ::showRate(const QString &text)
{
    edtLEQrate->setText(text);
}

const CellTable &TfrmLEQ::table() const
{
    return LEQGrid->table();
}

QString TfrmLEQ::cell(int col, int row) const
{
    return LEQGrid->Cells(col, row);
}

int TfrmLEQ::rowCount() const
{
    return LEQGrid->RowCount();
}
