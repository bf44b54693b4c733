#pragma once

#include "meter/livereading.h"

#include <optional>

struct AppState;
class MeterLink;

// One tick of the meter poll: identify the meter while it is not connected, otherwise read
// the live reading and count failed exchanges; the fifth failure in a row disconnects.
class ConnectionMonitor
{
public:
    static constexpr int MaxFailures = 5;

    enum class Outcome {
        NotIdentified, // no meter answered 'K' as ours; nothing changed
        Identified, // the meter was found: Connected is now set
        Reading, // a framed live reply was read
        IgnoredReply, // a reply was read but is not framed as a live reply
        Failed, // the live exchange failed; fewer than five in a row
        Disconnected, // the fifth failure in a row: Connected is now clear
    };

    struct Result
    {
        Outcome outcome = Outcome::NotIdentified;
        // The decoded reading, only for a framed reply while the control panel is open.
        std::optional<LiveReading> reading;
    };

    // Sets PollBusy for its duration. When panelOpen and the reply is framed, decodes it and
    // sets MeterRecording and CurrentLevel; with the panel closed they keep their values.
    static Result tick(AppState &state, MeterLink &link, bool panelOpen);
};
