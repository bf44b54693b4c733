#include "meter/connectionmonitor.h"

#include "app/appstate.h"
#include "meter/meterlink.h"

namespace {

ConnectionMonitor::Result identify(AppState &state, MeterLink &link)
{
    if (!link.QueryMeter('K') || !link.replyIdentifiesMeter())
        return { ConnectionMonitor::Outcome::NotIdentified, std::nullopt };
    state.Connected = true;
    return { ConnectionMonitor::Outcome::Identified, std::nullopt };
}

ConnectionMonitor::Result poll(AppState &state, MeterLink &link, bool panelOpen)
{
    if (!link.PollLiveReading()) {
        if (++state.ConnectionFailures < ConnectionMonitor::MaxFailures)
            return { ConnectionMonitor::Outcome::Failed, std::nullopt };
        state.Connected = false;
        state.ConnectionFailures = 0;
        return { ConnectionMonitor::Outcome::Disconnected, std::nullopt };
    }
    state.ConnectionFailures = 0;
    if (!LiveReading::isFramed(link.reply()))
        return { ConnectionMonitor::Outcome::IgnoredReply, std::nullopt };
    if (!panelOpen)
        return { ConnectionMonitor::Outcome::Reading, std::nullopt };
    const LiveReading reading = LiveReading::decode(link.reply());
    state.MeterRecording = reading.recording;
    state.CurrentLevel = static_cast<float>(reading.displayedLevel()) * 0.1f;
    return { ConnectionMonitor::Outcome::Reading, reading };
}

} // namespace

ConnectionMonitor::Result ConnectionMonitor::tick(AppState &state, MeterLink &link, bool panelOpen)
{
    state.PollBusy = true;
    // A tick that has just identified the meter does not also poll it.
    const Result result = state.Connected ? poll(state, link, panelOpen) : identify(state, link);
    state.PollBusy = false;
    return result;
}
