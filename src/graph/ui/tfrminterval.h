#pragma once

#include "survey/measurementanalysis.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

// "Exclude A-B": what the interval between the cursors is, "Excluded", "Specific" or
// "Residual", and its label (the reason), asked together; OK or Cancel.
class TfrmInterval : public QDialog
{
    Q_OBJECT

public:
    // Starts with the given category and label (those of the interval being changed).
    TfrmInterval(IntervalCategory category, const QString &label, QWidget *parent = nullptr);
    IntervalCategory category() const;
    QString label() const;

    QComboBox *cboCategory = nullptr;
    QLineEdit *txtLabel = nullptr;
};
