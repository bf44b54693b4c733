#include "meter/ui/tfrmsetup.h"

#include "base/appstate.h"
#include "base/clock.h"
#include "base/ui/prompts.h"
#include "base/ui/windowservices.h"
#include "meter/meterlink.h"
#include "meter/ui/meterservices.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

QPushButton *button(const char *name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QLineEdit *edit(const char *name, const QString &text, QWidget *parent)
{
    auto *e = new QLineEdit(text, parent);
    e->setObjectName(QLatin1String(name));
    return e;
}

// Two digits, as the masked edits of the interval take them.
QLineEdit *twoDigits(const char *name, const QString &text, QWidget *parent)
{
    QLineEdit *e = edit(name, text, parent);
    e->setInputMask(QStringLiteral("99"));
    e->setFixedWidth(40);
    return e;
}

// The text of a box as an integer, or the message the conversion gives.
std::optional<int> integerOf(const QLineEdit *box, Prompts &prompts)
{
    bool ok = false;
    const int value = box->text().trimmed().toInt(&ok);
    if (!ok) {
        prompts.showError(QStringLiteral("'%1' is not a valid integer value").arg(box->text()));
        return std::nullopt;
    }
    return value;
}

} // namespace

TfrmSetup::TfrmSetup(WindowServices &services, MeterServices &meter, bool service, QWidget *parent)
    : QDialog(parent)
    , m_services(services)
    , m_meter(meter)
    , m_setup(meter.link().usb())
{
    setObjectName(QStringLiteral("TfrmSetup"));
    setWindowTitle(QStringLiteral("Data Logger Setup"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(DefaultSize);

    Button1 = button("Button1", QStringLiteral("Adjust Meter Time To Computer Time"), this);

    auto *interval = new QGroupBox(QStringLiteral("Meter Recording Interval "), this);
    edtInt1 = twoDigits("edtInt1", QStringLiteral("00"), interval);
    edtInt2 = twoDigits("edtInt2", QStringLiteral("02"), interval);
    Button2 = button("Button2", QStringLiteral("Adjust Meter Recording Interval "), interval);
    auto *intervalLayout = new QGridLayout(interval);
    auto *fields = new QHBoxLayout;
    fields->addWidget(edtInt1);
    fields->addWidget(new QLabel(QStringLiteral(":"), interval));
    fields->addWidget(edtInt2);
    fields->addWidget(new QLabel(QStringLiteral("mm:ss(00:01~01:00)"), interval));
    fields->addStretch(1);
    intervalLayout->addLayout(fields, 0, 0);
    intervalLayout->addWidget(Button2, 1, 0, Qt::AlignLeft);

    Button3 = button("Button3", QStringLiteral("Erase Meter Memory"), this);

    auto *info = new QGroupBox(QStringLiteral("Meter DataLogger Information"), this);
    m_informationLayout = new QGridLayout(info);
    txtVer = information("txtVer", QStringLiteral("FirmWare Version:"), 0);
    txtMeterTime = information("txtMeterTime", QStringLiteral("Meter Time:"), 1);
    m_informationLayout->addWidget(new QLabel(QStringLiteral("MM/DD/YY   hh:mm:ss"), info), 1, 2);
    txtInt = information("txtInt", QStringLiteral("Recording Interval:"), 2);
    txtDataSets = information("txtDataSets", QStringLiteral("Data Sets In Memory:"), 3);
    txtMemoryAvailable = information("txtMemoryAvailable", QStringLiteral("Memory Available:"), 4);
    txtSN = information("txtSN", QStringLiteral("SN:"), 5);
    txt94dB = information("txt94dB", QStringLiteral("94dB cali:"), 6);
    txt70dB = information("txt70dB", QStringLiteral("70dB cali"), 7);
    Button4 = button("Button4", QStringLiteral("Read  "), info);
    m_informationLayout->addWidget(Button4, 8, 1, Qt::AlignLeft);
    m_informationLayout->setColumnStretch(2, 1);
    m_informationLayout->setRowStretch(9, 1);

    auto *eeprom = new QGroupBox(QStringLiteral("EEPROM"), this);
    eeprom->setObjectName(QStringLiteral("grpEeprom"));
    txtWAddress = edit("txtWAddress", QStringLiteral("0"), eeprom);
    txtWData = edit("txtWData", QStringLiteral("0"), eeprom);
    txtRAddress = edit("txtRAddress", QStringLiteral("0"), eeprom);
    txtRData = edit("txtRData", QStringLiteral("0"), eeprom);
    Button6 = button("Button6", QStringLiteral("Write EEProm"), eeprom);
    Button7 = button("Button7", QStringLiteral("Read EEProm"), eeprom);
    auto *eepromLayout = new QGridLayout(eeprom);
    eepromLayout->addWidget(new QLabel(QStringLiteral("Address"), eeprom), 0, 1);
    eepromLayout->addWidget(new QLabel(QStringLiteral("Data"), eeprom), 0, 2);
    eepromLayout->addWidget(Button6, 1, 0);
    eepromLayout->addWidget(txtWAddress, 1, 1);
    eepromLayout->addWidget(txtWData, 1, 2);
    eepromLayout->addWidget(Button7, 2, 0);
    eepromLayout->addWidget(txtRAddress, 2, 1);
    eepromLayout->addWidget(txtRData, 2, 2);
    eeprom->setVisible(service);

    auto *left = new QVBoxLayout;
    left->addWidget(Button1);
    left->addWidget(interval);
    left->addWidget(Button3);
    left->addWidget(eeprom);
    left->addStretch(1);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(info, 1);

    connect(Button1, &QPushButton::clicked, this, &TfrmSetup::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfrmSetup::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TfrmSetup::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TfrmSetup::Button4Click);
    connect(Button6, &QPushButton::clicked, this, &TfrmSetup::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &TfrmSetup::Button7Click);
    setMeterBusy(m_services.state().ExchangeRunning);
}

void TfrmSetup::setMeterBusy(bool busy)
{
    for (QPushButton *b : { Button6, Button7 }) {
        b->setEnabled(!busy);
        b->setToolTip(busy ? meterBusyHint() : QString());
    }
}

void TfrmSetup::showBusy()
{
    // Another exchange (a download, an LEQ measurement) has the meter.
    m_services.prompts().showMessage(meterBusyMessage());
}

QLineEdit *TfrmSetup::information(const char *name, const QString &caption, int row)
{
    auto *parent = m_informationLayout->parentWidget();
    QLineEdit *e = edit(name, QString(), parent);
    e->setReadOnly(true);
    e->setMinimumWidth(180);
    m_informationLayout->addWidget(new QLabel(caption, parent), row, 0);
    m_informationLayout->addWidget(e, row, 1);
    return e;
}

void TfrmSetup::Button1Click()
{
    int code = 0;
    {
        MeterExchange exchange(m_meter);
        if (!exchange.active())
            return showBusy();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        code = m_setup.setClock(m_services.clock().now());
        QApplication::restoreOverrideCursor();
    }
    m_services.prompts().showMessage(MeterSetup::clockMessage(code));
}

void TfrmSetup::Button2Click()
{
    const std::optional<int> seconds
        = MeterSetup::intervalSeconds(edtInt1->text(), edtInt2->text());
    int code = 701;
    if (seconds) {
        MeterExchange exchange(m_meter);
        if (!exchange.active())
            return showBusy();
        code = m_setup.setInterval(*seconds);
    }
    m_services.prompts().showMessage(MeterSetup::intervalMessage(code));
}

std::optional<int> TfrmSetup::eraseAfterAsking(WindowServices &services, MeterServices &meter,
                                               MeterSetup &setup)
{
    // Never during a recording, and only when the user confirms.
    Prompts &prompts = services.prompts();
    if (services.state().MeterRecording) {
        prompts.showMessage(QStringLiteral(
            "The meter is recording data, please stop recording before erasing data."));
        return std::nullopt;
    }
    if (prompts.ask(QStringLiteral("Are you sure to erase memory ?"), false)
        != Prompts::Answer::Yes)
        return std::nullopt;
    MeterExchange exchange(meter);
    if (!exchange.active()) {
        prompts.showMessage(meterBusyMessage());
        return std::nullopt;
    }
    return setup.eraseMemory();
}

void TfrmSetup::Button3Click()
{
    // As the main menu's erase.
    const std::optional<int> code = eraseAfterAsking(m_services, m_meter, m_setup);
    if (!code)
        return;
    if (const QString message = MeterSetup::eraseMessage(*code); !message.isEmpty())
        m_services.prompts().showMessage(message);
}

void TfrmSetup::Button4Click()
{
    showInformation({});
    MeterSetup::Information info;
    int code = 0;
    {
        MeterExchange exchange(m_meter);
        if (!exchange.active())
            return showBusy();
        code = m_setup.readInformation(info);
    }
    showInformation(info);
    if (const QString message = MeterSetup::informationMessage(code); !message.isEmpty())
        m_services.prompts().showMessage(message);
}

void TfrmSetup::showInformation(const MeterSetup::Information &i)
{
    txtVer->setText(i.version);
    txtMeterTime->setText(i.meterTime);
    txtInt->setText(i.interval);
    txtDataSets->setText(i.dataSets);
    txtMemoryAvailable->setText(i.memoryAvailable);
    txtSN->setText(i.serialNumber);
    txt94dB->setText(i.cal94);
    txt70dB->setText(i.cal70);
}

void TfrmSetup::Button6Click()
{
    // The EEPROM commands leave the poll on but close and open the device: not inside another
    // exchange.
    if (m_services.state().ExchangeRunning)
        return showBusy();
    Prompts &prompts = m_services.prompts();
    const std::optional<int> address = integerOf(txtWAddress, prompts);
    if (!address)
        return;
    const std::optional<int> value = integerOf(txtWData, prompts);
    if (!value)
        return;
    // A write that fails says so, with its code, as a read does.
    if (const int code = m_setup.writeEeprom(*address, *value))
        prompts.showMessage(QStringLiteral("Error Code=") + QString::number(code));
}

void TfrmSetup::Button7Click()
{
    if (m_services.state().ExchangeRunning)
        return showBusy();
    Prompts &prompts = m_services.prompts();
    txtRData->clear();
    const std::optional<int> address = integerOf(txtRAddress, prompts);
    if (!address)
        return;
    int value = 0;
    if (const int code = m_setup.readEeprom(*address, value))
        prompts.showMessage(QStringLiteral("Error Code=") + QString::number(code));
    else
        txtRData->setText(QString::number(value));
}
