#pragma once

#include "survey/surveydetails.h"

#include <QString>

#include <functional>
#include <optional>

// What reading the instrument's details from the connected meter gave: them, or why not.
struct InstrumentReading
{
    std::optional<InstrumentDetails> instrument;
    QString error; // when there are none: the message to show
};

// Reads the instrument's details from the meter when asked ("Read from meter"). The main window
// supplies it, since it alone knows the meter; an empty one means there is no meter to ask.
using InstrumentReader = std::function<InstrumentReading()>;
