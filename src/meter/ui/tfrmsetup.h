#pragma once

#include "meter/metersetup.h"

#include <QDialog>

#include <optional>

class MeterServices;
class QLabel;
class QLineEdit;
class QPushButton;
class WindowServices;

// "Data Logger Setup": the meter's clock set to the computer's, its recording interval, the
// erase of its memory, its data logger information, and (for service work only) single EEPROM
// bytes. Each button is one or two exchanges of its own (MeterSetup) and a message.
class TfrmSetup : public QDialog
{
    Q_OBJECT

public:
    static inline const QSize DefaultSize { 770, 575 };

    // The EEPROM group shows only for service work: it writes where the meter keeps its
    // calibration.
    TfrmSetup(WindowServices &services, MeterServices &meter, bool service,
              QWidget *parent = nullptr);

    // The erase of the meter's memory as both the dialog and the menu run it: refused during a
    // recording (with its message), asked, then sent; the erase's code, or nothing when it was
    // refused, declined or the meter was busy (each said).
    static std::optional<int> eraseAfterAsking(WindowServices &services, MeterServices &meter,
                                               MeterSetup &setup);

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button6Click();
    void Button7Click();

    // While another exchange has the meter to itself, the EEPROM buttons, which would close the
    // device under it, are disabled with a hint that says why; their handlers refuse too.
    void setMeterBusy(bool busy);

private:
    void showInformation(const MeterSetup::Information &information);
    void showBusy();
    QLineEdit *information(const char *name, const QString &caption, int row);

    WindowServices &m_services;
    MeterServices &m_meter;
    MeterSetup m_setup;

    QPushButton *Button1 = nullptr;
    QLineEdit *edtInt1 = nullptr;
    QLineEdit *edtInt2 = nullptr;
    QPushButton *Button2 = nullptr;
    QPushButton *Button3 = nullptr;
    QLineEdit *txtVer = nullptr;
    QLineEdit *txtMeterTime = nullptr;
    QLineEdit *txtInt = nullptr;
    QLineEdit *txtDataSets = nullptr;
    QLineEdit *txtMemoryAvailable = nullptr;
    QLineEdit *txtSN = nullptr;
    QLineEdit *txt94dB = nullptr;
    QLineEdit *txt70dB = nullptr;
    QPushButton *Button4 = nullptr;
    QPushButton *Button6 = nullptr;
    QPushButton *Button7 = nullptr;
    QLineEdit *txtWAddress = nullptr;
    QLineEdit *txtWData = nullptr;
    QLineEdit *txtRAddress = nullptr;
    QLineEdit *txtRData = nullptr;
    class QGridLayout *m_informationLayout = nullptr;
};
