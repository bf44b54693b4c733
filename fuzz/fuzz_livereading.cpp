// Arbitrary bytes as meter replies: each 32-byte chunk is checked for framing, decoded and
// shown on the panel's display state, in sequence, so the clock and blink rules see runs.

#include "meter/livereading.h"
#include "panel/paneldisplay.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    PanelDisplay display;
    bool timerRunning = false;
    for (size_t offset = 0; offset < size; offset += 32) {
        ReplyReport reply {};
        std::copy_n(data + offset, std::min<size_t>(32, size - offset), reply.begin());
        const LiveReading reading = LiveReading::decode(reply);
        switch (display.update(reading, reading.displayedLevel(), timerRunning)) {
        case PanelDisplay::BlinkTimer::Start:
            timerRunning = true;
            break;
        case PanelDisplay::BlinkTimer::Stop:
            timerRunning = false;
            break;
        case PanelDisplay::BlinkTimer::Keep:
            break;
        }
        if (timerRunning)
            display.blinkTick();
        for (const int digit : display.view().levelDigits)
            if (digit < 0 || digit > 15)
                std::abort();
        for (const int digit : display.view().clockDigits)
            if (digit < -1 || digit > 9)
                std::abort();
    }
    return 0;
}
