#pragma once

#include <QDialog>

class QDateEdit;
class QLabel;
class QTimeEdit;

// "Date Time": corrects a data set's start date and time.
class TfrmDateTime : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmDateTime(QWidget *parent = nullptr);

    // Sets both pickers.
    void setDateTime(const QDateTime &dateTime);
    QDateTime dateTime() const;

    QLabel *Label1 = nullptr;
    QDateEdit *DatePicker = nullptr;
    QTimeEdit *TimePicker = nullptr;
};
