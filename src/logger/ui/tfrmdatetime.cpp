#include "logger/ui/tfrmdatetime.h"

#include "base/datetimedays.h"
#include "base/datetimepattern.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QTimeEdit>

TfrmDateTime::TfrmDateTime(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmDateTime"));
    setWindowTitle(QStringLiteral("Date Time"));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    Label1 = new QLabel(QStringLiteral("Label1"), this);
    DatePicker = new QDateEdit(this);
    DatePicker->setObjectName(QStringLiteral("DatePicker"));
    DatePicker->setCalendarPopup(true);
    TimePicker = new QTimeEdit(this);
    TimePicker->setObjectName(QStringLiteral("TimePicker"));
    // The time as the program shows times elsewhere: the system's long time format, to the
    // second (with AM and PM where the locale writes them).
    TimePicker->setDisplayFormat(DateTimePattern::longTimeFormat(QLocale::system()));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("is not valid, Please correct it."), this), 0, 1);
    layout->addWidget(DatePicker, 1, 0);
    layout->addWidget(TimePicker, 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2);
}

void TfrmDateTime::setDateTime(const QDateTime &dateTime)
{
    Label1->setText(DateTimeDays::dateTimeText(DateTimeDays::fromDateTime(dateTime)));
    DatePicker->setDate(dateTime.date());
    TimePicker->setTime(dateTime.time());
}

QDateTime TfrmDateTime::dateTime() const
{
    const QTime t = TimePicker->time();
    return QDateTime(DatePicker->date(), QTime(t.hour(), t.minute(), t.second()));
}
