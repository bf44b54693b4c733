#pragma once

#include <QDialog>

class QSpinBox;

// "Picture Size": the width and height in pixels of a saved picture, starting at the size the
// chart is shown at; "Size Shown" goes back to it.
class TfrmPictureSize : public QDialog
{
    Q_OBJECT

public:
    static constexpr int Largest = 20000;

    TfrmPictureSize(QSize shown, QWidget *parent = nullptr);
    QSize size() const;
    void setSize(QSize size);

    QSpinBox *edtWidth = nullptr;
    QSpinBox *edtHeight = nullptr;

private:
    QSize m_shown;
};
