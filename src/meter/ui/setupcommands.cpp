#include "meter/ui/setupcommands.h"

#include "base/appstate.h"
#include "base/ui/prompts.h"
#include "base/ui/windowservices.h"
#include "meter/meterlink.h"
#include "meter/metersetup.h"
#include "meter/ui/meterservices.h"
#include "meter/ui/tfrmsetup.h"

#include <QApplication>
#include <QScreen>

SetupCommands::SetupCommands(WindowServices &services, MeterServices &meter, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_meter(meter)
{
}

void SetupCommands::Setup1Click()
{
    if (!m_setup) {
        m_setup = new TfrmSetup(m_services, m_meter, m_service, m_services.dialogParent());
        // Centred on the screen.
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            m_setup->move(
                area.center()
                - QPoint(TfrmSetup::DefaultSize.width() / 2, TfrmSetup::DefaultSize.height() / 2));
        }
    }
    m_setup->showNormal();
    m_setup->raise();
    m_setup->activateWindow();
}

void SetupCommands::EraseMemory1Click()
{
    Prompts &prompts = m_services.prompts();
    if (m_services.state().MeterRecording) {
        prompts.showMessage(QStringLiteral(
            "The meter is recording data, please stop recording before erasing data."));
        return;
    }
    if (prompts.ask(QStringLiteral("Are you sure to erase memory ?"), false)
        != Prompts::Answer::Yes)
        return;
    int code = 0;
    {
        MeterExchange exchange(m_meter);
        if (!exchange.active()) {
            prompts.showMessage(meterBusyMessage());
            return;
        }
        MeterSetup setup(m_meter.link().usb());
        code = setup.eraseMemory();
    }
    const QString message = code == 0 ? QStringLiteral("Please power off and power on meter "
                                                       "before recording data or loading again.")
                                      : MeterSetup::eraseMessage(code);
    if (!message.isEmpty())
        prompts.showMessage(message);
}
