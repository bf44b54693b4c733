#include "files/journalwriter.h"

#include "base/datetimedays.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

constexpr qint64 SyncIntervalMs = 1000;

QString kindName(MeasurementJournal::Kind kind)
{
    return kind == MeasurementJournal::Kind::Leq ? QStringLiteral("leq")
                                                 : QStringLiteral("realtime");
}

} // namespace

JournalWriter::JournalWriter() = default;

JournalWriter::~JournalWriter()
{
    close();
    m_lock.reset(); // the journal stays, for the next start to offer
}

QString JournalWriter::fileName(const QString &folder, const MeasurementJournal::Header &header)
{
    const QString stamp
        = DateTimeDays::toDateTime(header.start).toString(QStringLiteral("yyyyMMdd-hhmmss-zzz"));
    return QDir(folder).filePath(kindName(header.kind) + QLatin1Char('-') + stamp
                                 + QLatin1String(MeasurementJournal::Suffix));
}

std::unique_ptr<QLockFile> JournalWriter::lock(const QString &journal, QLockFile::LockError *error)
{
    auto lock = std::make_unique<QLockFile>(lockName(journal));
    // A recording holds its lock for hours: only a lock whose program has ended is stale.
    lock->setStaleLockTime(0);
    const bool taken = lock->tryLock(0);
    if (error)
        *error = lock->error();
    if (!taken)
        lock.reset();
    return lock;
}

QString JournalWriter::start(const QString &path, const MeasurementJournal::Header &header)
{
    close();
    m_lock.reset();
    m_failureTold = false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QLockFile::LockError lockError = QLockFile::NoError;
    m_lock = lock(path, &lockError);
    if (!m_lock)
        return QStringLiteral("Cannot lock the journal \"%1\". %2")
            .arg(QDir::toNativeSeparators(path),
                 lockError == QLockFile::LockFailedError
                     ? QStringLiteral("Another program holds it.")
                     : lockError == QLockFile::PermissionError
                     ? QStringLiteral("Permission denied")
                     : QStringLiteral("The lock file cannot be written."));
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return QStringLiteral("Cannot create the journal \"%1\". %2")
            .arg(QDir::toNativeSeparators(path), m_file.errorString());
    m_sequence = 0;
    const QString error = write(MeasurementJournal::headerBytes(header));
    if (!error.isEmpty())
        return error;
    m_syncHandle = m_file.handle();
    m_stopping = false;
    m_syncThread = std::thread(&JournalWriter::syncLoop, this);
    return {};
}

QString JournalWriter::failureToTell(const QString &error, const QString &measurement)
{
    if (m_failureTold)
        return {};
    m_failureTold = true;
    return error
        + QStringLiteral("\nThe %1 goes on, but a crash or a power cut would lose it: save it "
                         "when it ends.")
              .arg(measurement);
}

QString JournalWriter::append(const MeasurementJournal::Point &point)
{
    return write(MeasurementJournal::recordBytes(point, m_sequence++));
}

QString JournalWriter::append(const MeasurementJournal::Second &second)
{
    return write(MeasurementJournal::recordBytes(second, m_sequence++));
}

QString JournalWriter::write(const QByteArray &bytes)
{
    if (!m_file.isOpen())
        return QStringLiteral("The journal is not open.");
    // Unbuffered: the record goes to the system in this call, whole.
    const qint64 before = m_file.pos();
    if (m_file.write(bytes) != bytes.size()) {
        const QString error
            = QStringLiteral("Cannot write the journal \"%1\". %2")
                  .arg(QDir::toNativeSeparators(m_file.fileName()), m_file.errorString());
        // A part of a record would put every later record out of its place: the journal
        // ends at its last whole record.
        m_file.resize(before);
        close();
        return error;
    }
    if (!m_sinceSync.isValid() || m_sinceSync.elapsed() >= SyncIntervalMs) {
        m_sinceSync.start();
        {
            const std::lock_guard lock(m_mutex);
            m_syncWanted = true;
        }
        m_wake.notify_one();
    }
    return {};
}

void JournalWriter::syncLoop()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_syncWanted || m_stopping; });
        if (m_stopping)
            return;
        m_syncWanted = false;
        const int handle = m_syncHandle;
        lock.unlock();
#ifdef Q_OS_UNIX
        ::fdatasync(handle);
#else
        Q_UNUSED(handle);
#endif
        lock.lock();
    }
}

void JournalWriter::stopSync()
{
    if (!m_syncThread.joinable())
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_syncThread.join();
}

void JournalWriter::close()
{
    stopSync();
    if (m_file.isOpen()) {
#ifdef Q_OS_UNIX
        ::fdatasync(m_file.handle());
#endif
        m_file.close();
    }
}

void JournalWriter::adopt(const QString &path, std::unique_ptr<QLockFile> lock)
{
    close();
    m_lock = std::move(lock);
    m_file.setFileName(path);
}

void JournalWriter::discard()
{
    const QString path = m_file.fileName();
    const bool wasOpen = m_file.isOpen();
    close();
    if (wasOpen || !path.isEmpty())
        QFile::remove(path);
    m_file.setFileName(QString());
    m_lock.reset(); // unlocks and removes the lock file
}
