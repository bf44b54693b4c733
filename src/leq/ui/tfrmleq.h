#pragma once

#include "base/ui/mdichildform.h"

#include <array>

class CellTable;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class StringGrid;

// The LEQ window: the duration, Start and Stop, the seconds measured in LEQGrid (number, the
// meter's date and time, the second's mean level "SPL" and the running "Leq"), the time left and
// the Leq, Save and Graph. It only shows; the LEQ controller runs the measurement.
class TfrmLEQ : public MdiChildForm
{
    Q_OBJECT

public:
    static inline const QSize DefaultSize { 470, 560 };
    // The seconds of each item of cmbTimeSelect; "Manual" runs until Stop, at most 24 hours.
    static constexpr std::array<int, 10> DurationSeconds { 10,   60,   300,   600,   900,
                                                           1800, 3600, 28800, 86400, 86400 };

    explicit TfrmLEQ(QWidget *parent = nullptr);

    int selectedSeconds() const;
    // Chooses the first item of that many seconds; false when there is none.
    bool selectDuration(int seconds);
    // The grid cut to its header row.
    void clearRows();
    // Adds a row (number, date, time, SPL, Leq) and scrolls to it.
    void appendRow(const QStringList &cells);
    void showTimeLeft(const QString &text);
    void showLeq(const QString &text);
    void showRate(const QString &text);

    const CellTable &table() const;
    // The grid, for reading what it shows (printing).
    const StringGrid &grid() const { return *LEQGrid; }
    QString cell(int col, int row) const;
    int rowCount() const;

Q_SIGNALS:
    void startClicked();
    void stopClicked();
    void saveClicked();
    void graphClicked();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void FormShow();

    StringGrid *LEQGrid = nullptr;
    QComboBox *cmbTimeSelect = nullptr;
    QPushButton *btnLEQ = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    QPushButton *Button3 = nullptr;
    QLineEdit *edtTimeLeft = nullptr;
    QLineEdit *edtLEQValue = nullptr;
    QLabel *lblLEQrate = nullptr;
    QLineEdit *edtLEQrate = nullptr;
    bool m_shown = false;
};
