#include "app/ui/journalrecovery.h"

#include "base/appfolders.h"
#include "base/appstate.h"
#include "base/datetimedays.h"
#include "base/ui/prompts.h"
#include "base/ui/windowservices.h"
#include "files/journalwriter.h"
#include "files/measurementjournal.h"
#include "files/wholefile.h"
#include "graph/realtimerecorder.h"
#include "graph/ui/realtimecontroller.h"
#include "leq/ui/leqcontroller.h"

#include <QDir>
#include <QFile>
#include <QLockFile>

#include <memory>

namespace JournalRecovery {

namespace {

// The longest recording the program takes, in records of 16 bytes, or a day of LEQ seconds of 24
// bytes: a larger journal was not written by this program.
constexpr qint64 LargestJournal
    = MeasurementJournal::HeaderSize + qint64(RealTimeRecorder::MaxPoints) * 16;

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

QString capitalised(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
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
        // Held from the question until the measurement is shown (whoever shows it takes the
        // lock over), kept or discarded, so that a second Audexa started beside this one never
        // offers or discards it meanwhile. Another Audexa that holds it answers for it: it is
        // that one's measurement, not a lost one. A lock that cannot be made (a full or
        // read-only folder) protects nothing, but the measurement is still offered.
        QLockFile::LockError lockError = QLockFile::NoError;
        std::unique_ptr<QLockFile> lock = JournalWriter::lock(path, &lockError);
        if (!lock && lockError == QLockFile::LockFailedError)
            continue;

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
        const int records = contents.records();
        if (records == 0) {
            const int skipped = contents.damaged + contents.misplaced;
            // Only a journal that never got a record goes; one whose records are all damaged
            // is set aside, as the user's bytes.
            if (skipped == 0)
                QFile::remove(path);
            else
                setAside(prompts, path,
                         QStringLiteral("none of its %1 records can be read").arg(skipped));
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
        // A measurement running now would be replaced: this one waits, and says so.
        const bool busy = isLeq ? leq.measurement().running() : services.state().RealTimeRunning;
        const QString kept = QStringLiteral("Its journal \"%1\" is kept, and offered again at the "
                                            "next start.")
                                 .arg(QDir::toNativeSeparators(path));
        if (busy) {
            prompts.showMessage(QStringLiteral("%1 cannot be recovered now: %2 is running. %3")
                                    .arg(capitalised(what),
                                         isLeq ? QStringLiteral("an LEQ measurement")
                                               : QStringLiteral("a real-time recording"),
                                         kept));
            continue;
        }
        QString question = QStringLiteral("Recover %1 (%2 %3)?")
                               .arg(what)
                               .arg(records)
                               .arg(isLeq ? QStringLiteral("seconds") : QStringLiteral("points"));
        const QString skipped = MeasurementJournal::skippedText(contents);
        if (!skipped.isEmpty())
            question += QLatin1Char('\n') + skipped;
        if (prompts.ask(question, false) == Prompts::Answer::Yes) {
            if (isLeq ? leq.recover(contents, path, std::move(lock))
                      : realTime.recover(contents, path, std::move(lock))) {
                shown = true;
                ++recovered;
            } else {
                prompts.showMessage(
                    QStringLiteral("%1 cannot be recovered now. %2").arg(capitalised(what), kept));
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
