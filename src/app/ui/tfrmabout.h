#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The about box, also shown as the splash screen while the program starts.
class TfrmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmAbout(QWidget *parent = nullptr);

    // The splash screen hides the OK button.
    void hideOkButton();
    // The splash screen's status line.
    void setStatusText(const QString &text);

private:
    QLabel *Label2 = nullptr; // "Version:" and the program's version
    QLabel *Label4 = nullptr; // the splash screen's status line
    QPushButton *OKButton = nullptr;
};
