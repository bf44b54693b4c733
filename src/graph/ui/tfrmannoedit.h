#pragma once

#include <QDialog>

class QLineEdit;

// The text of a new annotation: one line and OK or Cancel, without a caption, in front of the
// program and centred on it.
class TfrmAnnoEdit : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmAnnoEdit(QWidget *parent = nullptr);
    QString text() const;

    QLineEdit *Edit1 = nullptr;
};
