#pragma once

#include "files/measurementjournal.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

// Writes one measurement's journal as it runs: the header when it starts, then each record as
// it is taken, handed to the system at once. Once a second at most, a thread of its own asks
// the system to put what was written on the disk, so that the recording never waits for the
// disk and a power cut costs at most about a second.
class JournalWriter
{
public:
    JournalWriter();
    ~JournalWriter(); // closes the journal and keeps it
    JournalWriter(const JournalWriter &) = delete;
    JournalWriter &operator=(const JournalWriter &) = delete;

    // The name of a new journal in a folder: "<kind>-<start>.journal".
    static QString fileName(const QString &folder, const MeasurementJournal::Header &header);
    // While a program answers for a journal (from its start, or from taking it over, until it is
    // removed or the program ends), "<journal>.lock" names that program, so that another
    // Audexa running beside it never offers the journal back. A lock whose program has ended
    // (a crash, a kill) is stale, and taken.
    static QString lockName(const QString &journal) { return journal + QStringLiteral(".lock"); }
    // Takes a journal's lock for as long as the lock lives: empty when another program holds it
    // (error LockFailedError) or it cannot be made (PermissionError, UnknownError: a full or
    // read-only folder). A lock is never taken from a running program, however old it is.
    static std::unique_ptr<QLockFile> lock(const QString &journal, QLockFile::LockError *error);

    // Starts a journal (an earlier one of this writer is closed and kept); empty on success,
    // otherwise what went wrong. Without its lock no journal is written: another Audexa could
    // offer it back while it is being written.
    QString start(const QString &path, const MeasurementJournal::Header &header);
    // Appends a record; empty on success. After a failure the journal is cut back to its last
    // whole record and closed: it keeps what it got, and takes nothing more.
    QString append(const MeasurementJournal::Point &point);
    QString append(const MeasurementJournal::Second &second);
    // What to tell the user of a failure of this journal: the error and that the measurement
    // (its name: "recording") is no longer protected; empty when a failure was told already since
    // the journal started.
    QString failureToTell(const QString &error, const QString &measurement);
    bool isOpen() const { return m_file.isOpen(); }
    QString path() const { return m_file.fileName(); }
    // Takes over a journal left by an earlier run, whose data is shown again unsaved, with the
    // lock its offer took (none when it could not be made): discard removes it, as it would the
    // writer's own.
    void adopt(const QString &path, std::unique_ptr<QLockFile> lock);
    // Closes and keeps the journal (the measurement ended, its data is not saved yet).
    void close();
    // Closes and removes the journal (the data was saved, or the user discarded it).
    void discard();

private:
    QString write(const QByteArray &bytes);
    void syncLoop();
    void stopSync();

    QFile m_file;
    quint32 m_sequence = 0;
    bool m_failureTold = false;
    QElapsedTimer m_sinceSync;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_syncWanted = false;
    bool m_stopping = false;
    int m_syncHandle = -1;
    std::thread m_syncThread;
    std::unique_ptr<QLockFile> m_lock;
};
