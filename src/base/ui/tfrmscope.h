#pragma once

#include "base/rangerule.h"

#include <QDialog>

#include <optional>

class Prompts;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

// The one small window of every long operation: it asks for a range of points or rows
// (RangeDialog) and shows the progress of downloads, drawings, saves and reads. Each use makes
// a fresh window, shows the controls it needs and destroys it afterwards.
class TfrmScope : public QDialog
{
    Q_OBJECT

public:
    enum class Result { None, Ok, Cancel };

    explicit TfrmScope(QWidget *parent = nullptr);

    // The range dialog: no range when cancelled or when a limit is not an integer (then
    // "invalid integer" is shown).
    static std::optional<RangeRule::Range> RangeDialog(int n, Prompts &prompts,
                                                       QWidget *parent = nullptr);

    // The window's result, also the cancel flag of a progress display.
    Result ModalResult = Result::None;

    QGroupBox *GroupBox1 = nullptr;
    QRadioButton *radAll = nullptr, *radNo = nullptr;
    QLineEdit *edtSelFrom = nullptr, *edtSelTo = nullptr;
    QPushButton *BitBtn1 = nullptr, *BitBtn2 = nullptr;
    QProgressBar *Progress1 = nullptr;
    QLabel *SText1 = nullptr, *SText2 = nullptr, *lblBytesReceived = nullptr,
           *lblTotalBytes = nullptr;
    bool showsProgress = false; // Cancel then only sets the result and leaves the window open

protected:
    void closeEvent(QCloseEvent *event) override;
};
