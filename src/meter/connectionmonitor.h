#pragma once

#include "meter/livereading.h"

#include <optional>

class MeterLink;

// One tick of the meter poll: identify the meter while it is not connected, otherwise read
// the live reading and count failed exchanges; the fifth failure in a row disconnects. It keeps
// two of the program's flags, handed in by reference: Connected and ConnectionFailures.
class ConnectionMonitor
{
public:
    static constexpr int MaxFailures = 5;

    enum class Outcome {
        NotIdentified, // no meter answered 'K' as ours; nothing changed
        Identified, // the meter was found: Connected is now set
        Reading, // a framed live reply was read and decoded
        IgnoredReply, // a reply was read but is not framed as a live reply
        Failed, // the live exchange failed; fewer than five in a row
        Disconnected, // the fifth failure in a row: Connected is now clear
    };

    struct Result
    {
        Outcome outcome = Outcome::NotIdentified;
        // The decoded reading of a framed live reply.
        std::optional<LiveReading> reading;
    };

    // A tick that has just identified the meter does not also poll it.
    static Result tick(MeterLink &link, bool &Connected, int &ConnectionFailures);
};
