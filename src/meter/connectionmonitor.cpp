#include "meter/connectionmonitor.h"

#include "meter/meterlink.h"

namespace {

ConnectionMonitor::Result identify(MeterLink &link, bool &connected)
{
    if (!link.QueryMeter('K') || !link.replyIdentifiesMeter())
        return { ConnectionMonitor::Outcome::NotIdentified, std::nullopt };
    connected = true;
    return { ConnectionMonitor::Outcome::Identified, std::nullopt };
}

ConnectionMonitor::Result poll(MeterLink &link, bool &connected, int &failures)
{
    if (!link.PollLiveReading()) {
        if (++failures < ConnectionMonitor::MaxFailures)
            return { ConnectionMonitor::Outcome::Failed, std::nullopt };
        connected = false;
        failures = 0;
        return { ConnectionMonitor::Outcome::Disconnected, std::nullopt };
    }
    failures = 0;
    if (!LiveReading::isFramed(link.reply()))
        return { ConnectionMonitor::Outcome::IgnoredReply, std::nullopt };
    return { ConnectionMonitor::Outcome::Reading, LiveReading::decode(link.reply()) };
}

} // namespace

ConnectionMonitor::Result ConnectionMonitor::tick(MeterLink &link, bool &Connected,
                                                  int &ConnectionFailures)
{
    return Connected ? poll(link, Connected, ConnectionFailures) : identify(link, Connected);
}
