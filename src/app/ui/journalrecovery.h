#pragma once

#include <QStringList>

class LeqController;
class RealTimeController;
class WindowServices;

// At start-up: the journals that measurements left in the data folder's "temp" when the program
// did not end them (a crash, a power cut, a kill) are offered back, one by one.
//
// A real-time recording: "Recover the real-time recording of <start> (<n> points)?" Yes shows it
// in the real-time graph, unsaved; an LEQ measurement: "Recover the LEQ measurement of <start>
// (<n> seconds)?" Yes shows it in the LEQ window, as a stopped measurement. No asks whether to
// discard it, and keeps it for the next start unless the user says so. Damaged records are left
// out and the question says how many and why; the rest come back. A journal that cannot be read,
// or none of whose records can, is reported and set aside (renamed to end in ".unreadable"),
// never deleted. A journal that never got a record holds nothing to recover and goes. While a
// journal is offered its lock is held, and the one who shows it takes the lock over. A
// measurement of the same kind running now is not replaced: the journal is kept, and the user
// told why.
namespace JournalRecovery {

// The journals in the data folder's "temp", taken when the program starts, so that those its own
// measurements write later are never offered.
QStringList leftBehind(const WindowServices &services);
// Offers the journals back; returns the number of measurements recovered.
int offer(WindowServices &services, RealTimeController &realTime, LeqController &leq,
          const QStringList &journals);

} // namespace JournalRecovery
