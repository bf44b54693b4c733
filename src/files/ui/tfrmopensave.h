#pragma once

#include <QDialog>

class QPushButton;

// The choice of the Open and Save commands: a data set collection, a single file, or cancel.
// Three buttons stacked top to bottom; "btnOpenSets" closes with OK, "btnOpenSingleSet" with
// No, "Button1" with Cancel.
class TfrmOpenSave : public QDialog
{
    Q_OBJECT

public:
    enum Choice { Cancel = QDialog::Rejected, Ok = QDialog::Accepted, No = 2 };

    // The Save command's texts; forOpening() switches to the Open command's.
    explicit TfrmOpenSave(QWidget *parent = nullptr);
    void forOpening(bool commaDecimalSeparator);

    QPushButton *btnOpenSets = nullptr;
    QPushButton *btnOpenSingleSet = nullptr;
    QPushButton *Button1 = nullptr;
};
