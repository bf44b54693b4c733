#pragma once

#include "base/datetimepattern.h"
#include "files/journalwriter.h"
#include "leq/leqlog.h"
#include "leq/leqmeasurement.h"
#include "leq/ui/tfrmleq.h"

#include <QObject>
#include <QPointer>

class GraphWindowFactory;
class MeterServices;
class QTimer;
class TfrmGraph;
class WindowServices;

// Runs the LEQ window: LEQ1Click opens it; Start takes the meter from the poll for the whole
// measurement and LEQTimerTimer asks it for a reading every 40 ms; each completed second becomes
// a row. Every way out (the time is up, Stop, closing the window, the failed reads) stops the
// timer and gives the meter back to the poll. Save writes the rows as text; Graph draws SPL and
// Leq in a new graph window.
class LeqController : public QObject
{
    Q_OBJECT

public:
    LeqController(WindowServices &services, MeterServices &meter, GraphWindowFactory &graphs,
                  QTimer &timer, QObject *parent = nullptr);

    TfrmLEQ *LeqWindow() const { return m_window; }
    const LeqMeasurement &measurement() const { return m_measurement; }
    const JournalWriter &journal() const { return m_journal; }

    void LEQ1Click();
    void btnLEQClick();
    void Button1Click();
    bool Button2Click();
    TfrmGraph *Button3Click();
    void LEQTimerTimer();
    // A measurement of `seconds` (one of the window's durations) started without the user
    // (--leq), once the meter answers with a live level and the start-up's recovery question is
    // answered: false while it cannot start yet.
    bool measureUnattended(int seconds);

    // A measurement a crash interrupted, from its journal: the LEQ window shows its seconds as a
    // stopped measurement; the journal stays until it is saved or a new one starts. lock: the
    // journal's, taken by its offer.
    bool recover(const MeasurementJournal::Contents &contents, const QString &journalPath,
                 std::unique_ptr<QLockFile> lock);

private:
    void FormClose();
    void openWindow();
    void journalFailed(const QString &error);
    void finish();
    void showSeconds(int completed);

    WindowServices &m_services;
    MeterServices &m_meter;
    GraphWindowFactory &m_graphs;
    QTimer &m_timer;
    QPointer<TfrmLEQ> m_window;
    LeqMeasurement m_measurement;
    LeqLog m_log;
    bool m_holdsMeter = false;
    JournalWriter m_journal;
    DateTimePattern m_date;
    DateTimePattern m_time;
};
