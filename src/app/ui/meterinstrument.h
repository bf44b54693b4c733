#pragma once

#include "print/ui/instrumentreader.h"

class MeterServices;
struct AppState;

// "Read from meter" of the "Report" dialog: the instrument's details from the meter's
// information reply ('Y'), read in an exchange of its own as Data Logger > Setup reads them: the
// model this program reads, the serial number, the firmware version and the two calibration
// values as that window shows them. Without a connection, while another exchange has the meter,
// or when the reply fails, the message to show instead.
namespace MeterInstrument {

InstrumentReading read(MeterServices &meter, const AppState &state);

} // namespace MeterInstrument
