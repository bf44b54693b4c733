#pragma once

#include "meter/ui/tfrmsetup.h"

#include <QObject>
#include <QPointer>

class MeterServices;
class WindowServices;

// The Data Logger menu's "Setup" (the "Data Logger Setup" dialog, one at a time) and "Erase
// Memory".
class SetupCommands : public QObject
{
    Q_OBJECT

public:
    SetupCommands(WindowServices &services, MeterServices &meter, QObject *parent = nullptr);

    // With service work on, the dialog shows its EEPROM group.
    void setServiceWork(bool on) { m_service = on; }

    TfrmSetup *SetupWindow() const { return m_setup; }
    void Setup1Click();
    void EraseMemory1Click();

private:
    WindowServices &m_services;
    MeterServices &m_meter;
    QPointer<TfrmSetup> m_setup;
    bool m_service = false;
};
