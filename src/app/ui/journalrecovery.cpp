#include "app/ui/journalrecovery.h"

#include "base/appfolders.h"
#include "base/datetimedays.h"
#include "base/ui/prompts.h"
#include "base/ui/windowservices.h"
#include "files/journalwriter.h"
#include "files/measurementjournal.h"
#include "files/wholefile.h"
#include "graph/ui/realtimecontroller.h"
#include "leq/ui/leqcontroller.h"

#include <QDir>
#include <QFile>
#include <QLockFile>

namespace JournalRecovery {

namespace {

// A day at 0.2 s is 432,000 records of 16 bytes; a journal a hundred times larger is no journal.
constexpr qint64 LargestJournal = 1024LL * 1024 * 1024;

void setAside(Prompts &prompts, const QString &path, const QString &reason)
{
    QString aside = path + QStringLiteral(".unreadable");
    for (int n = 2; QFile::exists(aside); ++n)
        aside = path + QStringLiteral(".unreadable-%1").arg(n);
    const bool moved = QFile::rename(path, aside);
    prompts.showError(QStringLiteral("The measurement journal \"%1\" cannot be recovered: %2. "
                                     "It is kept as \"%3\".")
                          .arg(QDir::toNativeSeparators(path), reason,
                               QDir::toNativeSeparators(moved ? aside : path)));
}

} // namespace

QStringList leftBehind(const WindowServices &services)
{
    const QDir folder(services.folders().tempFolder());
    QStringList paths;
    for (const QString &name :
         folder.entryList({ QLatin1Char('*') + QLatin1String(MeasurementJournal::Suffix) },
                          QDir::Files, QDir::Name))
        paths << folder.filePath(name);
    return paths;
}

int offer(WindowServices &services, RealTimeController &realTime, LeqController &leq,
          const QStringList &journals)
{
    Prompts &prompts = services.prompts();
    int recovered = 0;
    bool realTimeShown = false;
    bool leqShown = false;
    for (const QString &path : journals) {
        if (!QFile::exists(path) || path == realTime.journal().path()
            || path == leq.journal().path())
            continue;
        // Another Audexa answers for it: it is that one's measurement, not a lost one.
        QLockFile lock(JournalWriter::lockName(path));
        if (!lock.tryLock(0))
            continue;
        lock.unlock(); // whoever shows the measurement takes it over

        const WholeFile::ReadResult file
            = WholeFile::read(path, LargestJournal, QStringLiteral("it is too large"));
        if (!file.bytes) {
            setAside(prompts, path, file.error);
            continue;
        }
        const MeasurementJournal::ReadResult read = MeasurementJournal::read(*file.bytes);
        if (!read.contents) {
            setAside(prompts, path, read.error);
            continue;
        }
        const MeasurementJournal::Contents &contents = *read.contents;
        const bool isLeq = contents.header.kind == MeasurementJournal::Kind::Leq;
        const std::size_t records = isLeq ? contents.seconds.size() : contents.points.size();
        if (records == 0) {
            QFile::remove(path);
            continue;
        }
        // One measurement fills the real-time graph, one the LEQ window; the others wait for
        // the next start.
        bool &shown = isLeq ? leqShown : realTimeShown;
        if (shown)
            continue;
        // The time of its first point, as its graph or table shows it.
        const QString start = DateTimeDays::RoundedTimeText(isLeq ? contents.seconds.front().time
                                                                  : contents.points.front().x);
        const QString what = (isLeq ? QStringLiteral("the LEQ measurement of %1")
                                    : QStringLiteral("the real-time recording of %1"))
                                 .arg(start);
        const Prompts::Answer answer
            = prompts.ask(QStringLiteral("Recover %1 (%2 %3)?")
                              .arg(what)
                              .arg(records)
                              .arg(isLeq ? QStringLiteral("seconds") : QStringLiteral("points")),
                          false);
        if (answer == Prompts::Answer::Yes) {
            if (isLeq ? leq.recover(contents, path) : realTime.recover(contents, path)) {
                shown = true;
                ++recovered;
            }
            continue;
        }
        if (prompts.ask(QStringLiteral("Discard %1? It cannot be recovered afterwards.").arg(what),
                        false)
            == Prompts::Answer::Yes)
            QFile::remove(path);
    }
    return recovered;
}

} // namespace JournalRecovery
