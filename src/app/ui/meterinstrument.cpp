#include "app/ui/meterinstrument.h"

#include "base/appstate.h"
#include "meter/meterlink.h"
#include "meter/metersetup.h"
#include "meter/ui/meterservices.h"

namespace MeterInstrument {

InstrumentReading read(MeterServices &meter, const AppState &state)
{
    if (!state.Connected)
        return { std::nullopt, QStringLiteral("There is no connection with meter !") };
    MeterSetup setup(meter.link().usb());
    MeterSetup::Information information;
    int code = 0;
    {
        MeterExchange exchange(meter);
        if (!exchange.active())
            return { std::nullopt, meterBusyMessage() };
        code = setup.readInformation(information);
    }
    if (code != 0)
        return { std::nullopt,
                 QStringLiteral("The meter's information could not be read: %1.")
                     .arg(MeterSetup::informationMessage(code).trimmed()) };
    return { InstrumentDetails { QStringLiteral("Q7316"), information.serialNumber,
                                 information.version, information.cal94, information.cal70 },
             {} };
}

} // namespace MeterInstrument
