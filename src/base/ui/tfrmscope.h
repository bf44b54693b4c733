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
    // What the window shows progress of: its caption, texts and controls.
    enum class Use { Download, Saving, Opening, Graphing };

    explicit TfrmScope(QWidget *parent = nullptr);

    // The range dialog: no range when cancelled or when a limit is not an integer (then
    // "invalid integer" is shown).
    static std::optional<RangeRule::Range> RangeDialog(int n, Prompts &prompts,
                                                       QWidget *parent = nullptr);

    // A progress display: the caption and controls of the use; Cancel then only sets the result
    // and leaves the window open.
    void showProgressOf(Use use);
    // The bar from 0 to total at 0, the result reset, the window shown (not modal).
    void startProgress(int total);
    // The amount done: the bar, and the count of bytes received or lines read.
    void showProgress(int done);
    int progressTotal() const;

    // The window's result, also the cancel flag of a progress display.
    Result ModalResult = Result::None;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Use m_use = Use::Download;
    bool m_showsProgress = false;

    QGroupBox *GroupBox1 = nullptr;
    QRadioButton *radAll = nullptr, *radNo = nullptr;
    QLineEdit *edtSelFrom = nullptr, *edtSelTo = nullptr;
    QPushButton *BitBtn1 = nullptr, *BitBtn2 = nullptr;
    QProgressBar *Progress1 = nullptr;
    QLabel *SText1 = nullptr, *SText2 = nullptr, *lblBytesReceived = nullptr,
           *lblTotalBytes = nullptr;
};
