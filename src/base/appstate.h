#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The program-wide state of one run, owned by the main window and handed by reference to
// whoever needs it. Window references are not here (they are widgets): the graph windows' are
// the graph-window factory's, the panel's and the about box's the main window's.
struct AppState
{
    // Connection monitor and live reading.
    bool Connected = false;
    bool PollBusy = false;
    int ConnectionFailures = 0;
    float CurrentLevel = 0.0f; // dB, the level last decoded
    bool MeterRecording = false; // the meter's own data logger records (REC)
    // Every live reading decoded so far, so that a recording can tell a fresh level from one
    // left over from before the meter was lost.
    quint64 LiveReadingCount = 0;
    // An exchange that needs the meter to itself runs (a download): the poll is off, and the
    // commands that would start another are disabled until it ends.
    bool ExchangeRunning = false;
    // The measurements a crash left behind are being offered at start-up: what starts one
    // without the user (--record, --leq) waits for the answers.
    bool RecoveryPending = false;

    // Real-time recording.
    bool RealTimeRunning = false;
    float RealTimeRate = 0.2f; // seconds between recorded points
    int RealTimeCount = 0;
    bool RealTimeModified = false;

    // Graph windows: the cursor indexes, the annotation drawing mode and counter are shared by
    // every graph window.
    int cursorAIndex = 0;
    int cursorBIndex = 0;
    int drawingMode = -99; // -99 normal, 0 text, 2 cross
    int annotationCounter = 4;

    // The "Periods" window: the day-evening-night hours (their code, "07-19-23") and the
    // coverage below which a figure is flagged, in percent.
    QString dayEveningNightHours = QStringLiteral("07-19-23");
    int coverageThreshold = 50;

    // Data logger.
    bool loggerDataLoaded = false;
    QByteArray memoryImage;
    int lastAddress = 0;

    // Options.
    bool DiscardFloatingError = false;
};
