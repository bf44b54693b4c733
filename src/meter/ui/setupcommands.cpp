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
    MeterSetup setup(m_meter.link().usb());
    const std::optional<int> code = TfrmSetup::eraseAfterAsking(m_services, m_meter, setup);
    if (!code)
        return;
    const QString message = *code == 0 ? QStringLiteral("Please power off and power on meter "
                                                        "before recording data or loading again.")
                                       : MeterSetup::eraseMessage(*code);
    if (!message.isEmpty())
        m_services.prompts().showMessage(message);
}
