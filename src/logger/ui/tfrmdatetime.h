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

    // Shows the start to correct: in the sentence "<start> is not valid, Please correct it.",
    // and in both pickers, where the user changes it.
    void setDateTime(const QDateTime &dateTime);
    QDateTime dateTime() const;

    QLabel *Label1 = nullptr;
    QDateEdit *DatePicker = nullptr;
    QTimeEdit *TimePicker = nullptr;
};
