#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

// The "Real-Time Setup" dialog that Run shows: how many points to record, the sampling rate,
// and the recording period they give. Start accepts, Cancel rejects; the caller reads the two
// texts afterwards and checks them itself.
class TfrmSetupRealTime : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmSetupRealTime(QWidget *parent = nullptr);

    // The rate box's edit text, handed over from the graph window's sampling-rate box.
    void setRateText(const QString &text);
    // Rewrites the rate items in the user's decimal separator (keeping the edit text), then
    // shows the period the current rate gives for 2000 points. Call it before exec().
    void FormShow();
    // Recomputes the period from the count and the rate texts; bound to changes of both.
    void edtRealTimeNoChange();

    QString countText() const; // as entered, blanks included
    QString rateText() const;

    QLineEdit *edtRealTimeNo = nullptr;
    QComboBox *txtRate = nullptr;
    QLineEdit *edtPeriod = nullptr;
    QPushButton *btnStart = nullptr;
    QPushButton *btnCancel = nullptr;
};
