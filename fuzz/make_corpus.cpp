// Writes the seed corpus of every fuzz target from the simulated meter and the program's own
// writers, so that each target starts from real bytes rather than from nothing:
//
//   make_corpus FOLDER        (the checked-in corpus is fuzz/corpus)
//
// Each file lands in FOLDER/<target>/; only the files named here are replaced. The output is
// the same on every run: the meters run on a clock that only the program steps.
//
//   fuzz_livereading  live replies to 'A' (quiet, and with the keys pressed), the 'K' reply
//   fuzz_chartblock   stored chart blocks: a real-time graph, the same with excluded intervals
//                     (version 2), the data set graph with a limit and the real-time graph
//                     over it (version 3), the real-time graph with a Specific and a
//                     Residual interval beside an Excluded one (version 4), the data set graph
//                     with the survey's details as well (version 5), a data set graph, a new
//                     chart
//   fuzz_graphfile    the same charts as graph files
//   fuzz_decoder      lastAddress (4 bytes, little-endian) and a memory image: the whole
//                     131,072-byte memory, seeded and full, and the temporary data set files
//   fuzz_collection   collection files: the whole memory, and downloads as the program saves them
//   fuzz_download     fault byte and failing 'p' (0x00 0xFF 0xFF: none), then the replies of
//                     real downloads: seeded, full and empty memories, and downloads with faults
//   fuzz_hidreport    input report sequences carrying real replies
//   fuzz_journal      measurement journals: real-time points (whole, and torn) and LEQ seconds
//   fuzz_analysisfile the analysis kept beside a collection: limit, overlay, intervals and the
//                     survey's details

#include "base/clock.h"
#include "base/datetimedays.h"
#include "files/datasetfile.h"
#include "files/graphfile.h"
#include "files/measurementjournal.h"
#include "files/textexport.h"
#include "chart/chartblock.h"
#include "chart/chartmodel.h"
#include "survey/analysisfile.h"
#include "logger/loggerdata.h"
#include "logger/memorydecoder.h"
#include "logger/memorydownload.h"
#include "meter/livereading.h"
#include "meter/meterlink.h"
#include "meter/simulatedloggermemory.h"
#include "meter/simulatedmeter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstdio>
#include <functional>

namespace {

constexpr quint32 Seed = 20070315;

class SteppingClock : public Clock
{
public:
    QDateTime now() const override { return m_now; }
    qint64 tickCountMs() const override { return m_ticks; }
    void spinWait(int ms) override { advanceMs(ms); }
    void advanceMs(qint64 ms)
    {
        m_now = m_now.addMSecs(ms);
        m_ticks += ms;
    }

private:
    QDateTime m_now { QDate(2026, 12, 8), QTime(10, 30, 0) };
    qint64 m_ticks = 0;
};

// The simulated meter, with every whole reply it sends kept in order.
class RecordingMeter : public MeterUsb
{
public:
    RecordingMeter()
        : meter(clock, Seed)
    {
    }

    int UsbClose() override { return meter.UsbClose(); }
    int UsbAfterWrite() override { return meter.UsbAfterWrite(); }
    int UsbGetSerialNumber(int deviceIndex, char *buffer, int size) override
    {
        return meter.UsbGetSerialNumber(deviceIndex, buffer, size);
    }
    int UsbOpen(quint16 vendorId, quint16 productId) override
    {
        return meter.UsbOpen(vendorId, productId);
    }
    int UsbReadReport(int length, quint8 *buffer) override
    {
        const int result = meter.UsbReadReport(length, buffer);
        if (result == 0)
            replies.append(reinterpret_cast<const char *>(buffer), length);
        return result;
    }
    int UsbSetTimeouts(int readTimeoutMs, int writeTimeoutMs) override
    {
        return meter.UsbSetTimeouts(readTimeoutMs, writeTimeoutMs);
    }
    int UsbWriteReport(int length, const quint8 *buffer) override
    {
        return meter.UsbWriteReport(length, buffer);
    }
    int UsbWriteData(int length, const quint8 *buffer) override
    {
        return meter.UsbWriteData(length, buffer);
    }

    SteppingClock clock;
    SimulatedMeter meter;
    QByteArray replies;
};

QByteArray littleEndian32(qint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

class Corpus
{
public:
    explicit Corpus(const QString &folder)
        : m_root(folder)
    {
    }

    void write(const char *target, const char *name, const QByteArray &bytes)
    {
        const QString folder = m_root.filePath(QLatin1String(target));
        QFile file(QDir(folder).filePath(QLatin1String(name)));
        if (!QDir().mkpath(folder) || !file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "make_corpus: cannot write %s: %s\n", qPrintable(file.fileName()),
                         qPrintable(file.errorString()));
            m_failed = true;
            return;
        }
        m_total += bytes.size();
        std::printf("%8lld  %s/%s\n", static_cast<long long>(bytes.size()), target, name);
    }
    void fail(const char *what)
    {
        std::fprintf(stderr, "make_corpus: %s\n", what);
        m_failed = true;
    }
    bool failed() const { return m_failed; }
    qint64 total() const { return m_total; }

private:
    QDir m_root;
    bool m_failed = false;
    qint64 m_total = 0;
};

// Live replies, one poll a second, with the keys of keys pressed before each pair of polls (none
// for an empty string).
QByteArray liveReplies(int polls, const QByteArray &keys)
{
    RecordingMeter usb;
    MeterLink link(usb);
    for (int i = 0; i < polls; ++i) {
        if (!keys.isEmpty() && i % 2 == 0)
            link.SendMeterKey(keys.at((i / 2) % keys.size()));
        link.PollLiveReading();
        usb.clock.advanceMs(1000);
    }
    return usb.replies;
}

QByteArray identityReply()
{
    RecordingMeter usb;
    MeterLink link(usb);
    link.QueryMeter('K');
    return usb.replies;
}

// A real-time graph of 400 points a second apart, with a gap where the meter was lost, the
// cursors, a cross at the highest level and a text annotation.
ChartModel realTimeChart()
{
    RecordingMeter usb;
    MeterLink link(usb);
    constexpr int Points = 400;
    ChartModel chart;
    chart.setSubsets(1);
    chart.setPoints(Points);
    int highest = 0;
    for (int i = 0; i < Points; ++i) {
        const bool read = link.PollLiveReading();
        const double x = DateTimeDays::fromDateTime(usb.clock.now());
        const bool lost = i >= 180 && i < 195;
        const float y = read && !lost ? LiveReading::decode(link.reply()).currentLevel()
                                      : ChartModel::NullValue;
        chart.fillPoint(i, x, y);
        if (!ChartModel::isNull(y) && y > chart.y(0, highest))
            highest = i;
        usb.clock.advanceMs(1000);
    }
    chart.mainTitle = QStringLiteral("Office, morning");
    chart.subTitle = QStringLiteral("Real-time graph, 1 s");
    chart.xAxisLabel = QStringLiteral("Time");
    chart.yAxisLabel = QStringLiteral("dBA");
    chart.subsetLabels = { QStringLiteral("SPL") };
    chart.subsetColors = { QColor(0, 0, 160) };
    chart.subsetLineTypes = { static_cast<int>(LineType::Solid) };
    chart.xScale = { true, chart.x(0, 0), chart.x(0, Points - 1) };
    chart.yScale = { true, 30.0, 100.0 };
    chart.annotations[4]
        = { chart.x(0, highest), chart.y(0, highest), 2,
            QStringLiteral("MAX %1 dB").arg(chart.y(0, highest), 0, 'f', 1), Qt::red };
    chart.annotations[5] = { chart.x(0, 187), 50.0, 0, QStringLiteral("meter lost"), QColor() };
    chart.verticalLines[0] = { chart.x(0, 100), QStringLiteral("A") };
    chart.verticalLines[1] = { chart.x(0, 300), QStringLiteral("B") };
    return chart;
}

// The graph of the first data set the simulated meter's memory holds.
ChartModel dataSetChart(const QByteArray &memory)
{
    SteppingClock clock;
    LoggerData data;
    const int lastAddress = DataSetFile::lastAddressOf(memory).value_or(0);
    ChartModel chart;
    if (MemoryDecoder::DecodeLoggerMemory(memory, lastAddress, clock, data) != 0)
        return chart;
    const int count = data.setCounts.front();
    chart.setSubsets(1);
    chart.setPoints(count);
    chart.setSeries(0,
                    std::vector<double>(data.levelTimes.begin(), data.levelTimes.begin() + count),
                    std::vector<float>(data.levels.begin(), data.levels.begin() + count));
    chart.mainTitle = QStringLiteral("Data set 1");
    chart.subTitle = DateTimeDays::isoText(data.setStartTimes.front());
    chart.xAxisLabel = QStringLiteral("Time");
    chart.yAxisLabel = QStringLiteral("dBA");
    chart.subsetLabels = { QStringLiteral("Set 1") };
    chart.gridStyle = GridStyle::Dash;
    chart.verticalLines[0] = { chart.x(0, 0), QStringLiteral("A") };
    chart.verticalLines[1] = { chart.x(0, count - 1), QStringLiteral("B") };
    return chart;
}

struct Download
{
    int result = -1;
    QByteArray image;
    int lastAddress = 0;
    QByteArray replies;
};

Download download(const std::function<void(SimulatedMeter &)> &prepare)
{
    RecordingMeter usb;
    prepare(usb.meter);
    MeterLink link(usb);
    Download d;
    d.result = MemoryDownload::ReadLoggerMemory(link, d.image, d.lastAddress, nullptr);
    d.replies = usb.replies;
    return d;
}

// The bytes of a file the program writes into a temporary folder.
QByteArray written(const std::function<QString(const QString &folder)> &write)
{
    QTemporaryDir folder;
    const QString fileName = write(folder.path());
    QFile file(fileName);
    if (fileName.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QByteArray tempFileOf(const Download &d)
{
    return written([&d](const QString &folder) {
        const DataSetFile::WriteResult result
            = DataSetFile::WriteTempDataSetFile(d.image, d.lastAddress, folder);
        return result.status == DataSetFile::WriteResult::Written ? DataSetFile::tempFile(folder)
                                                                  : QString();
    });
}

QByteArray graphFileOf(const ChartModel &chart)
{
    return written([&chart](const QString &folder) {
        const QString fileName = QDir(folder).filePath(QStringLiteral("graph.ghf"));
        return GraphFile::write(fileName, ChartBlock::save(chart)).isEmpty() ? fileName : QString();
    });
}

// One HID read round per reply: control byte 0x00 (1000 ms, 32 bytes), then the reply cut into
// input reports of the given sizes.
QByteArray inReports(const QByteArray &reply, std::initializer_list<int> sizes)
{
    QByteArray round(1, '\0');
    int at = 0;
    for (const int size : sizes) {
        round.append(char(size));
        round.append(reply.mid(at, size));
        at += size;
    }
    return round;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: make_corpus FOLDER\n");
        return 2;
    }
    Corpus corpus(QString::fromLocal8Bit(argv[1]));

    // Live replies.
    const QByteArray quiet = liveReplies(12, {});
    const QByteArray keys = liveReplies(18, "MMMNCFLLLR");
    const QByteArray identity = identityReply();
    if (quiet.size() != 12 * 32 || keys.size() != 18 * 32 || identity.size() != 32)
        corpus.fail("the simulated meter did not answer every poll");
    corpus.write("fuzz_livereading", "live_quiet", quiet);
    corpus.write("fuzz_livereading", "live_keys", keys);
    corpus.write("fuzz_livereading", "identity", identity);

    // Memories and downloads.
    SteppingClock clock;
    const SimulatedMeter seeded(clock, Seed);
    const QByteArray seededMemory = seeded.loggerMemory();
    const auto fill = [](SimulatedMeter &meter) {
        meter.state().recording = true;
        meter.updateRecording();
        meter.setClockOffsetSeconds(2 * 86400);
        meter.updateRecording();
    };
    const auto empty = [](SimulatedMeter &meter) {
        meter.setLoggerMemory(SimulatedLoggerMemory().bytes());
    };
    const Download seededDownload = download([](SimulatedMeter &) {});
    const Download fullDownload = download(fill);
    const Download emptyDownload = download(empty);
    const Download unframed
        = download([](SimulatedMeter &meter) { meter.faults().downloadStartUnframed = true; });
    const Download blockLost
        = download([](SimulatedMeter &meter) { meter.faults().blockReadFailsAt = 40; });
    for (const Download *d : { &seededDownload, &fullDownload, &emptyDownload })
        if (d->result != MemoryDownload::Done)
            corpus.fail("a download from the simulated meter failed");
    if (fullDownload.image.size() != SimulatedLoggerMemory::Size
        || fullDownload.lastAddress < SimulatedLoggerMemory::Size - 256)
        corpus.fail("the simulated meter's memory did not fill");
    if (unframed.result != MemoryDownload::RequestUnframed
        || blockLost.result != MemoryDownload::BlockLoopFailed)
        corpus.fail("a download fault did not show");

    SimulatedMeter full(clock, Seed);
    fill(full);
    const QByteArray fullMemory = full.loggerMemory();
    if (fullMemory != fullDownload.image)
        corpus.fail("the full download is not the full memory");

    const QByteArray seededTemp = tempFileOf(seededDownload);
    const QByteArray fullTemp = tempFileOf(fullDownload);
    const QByteArray emptyTemp = tempFileOf(emptyDownload);
    const auto withLastAddress = [](const QByteArray &memory) {
        return littleEndian32(DataSetFile::lastAddressOf(memory).value_or(0)) + memory;
    };
    corpus.write("fuzz_decoder", "seeded_memory", withLastAddress(seededMemory));
    corpus.write("fuzz_decoder", "full_memory", withLastAddress(fullMemory));
    corpus.write("fuzz_decoder", "seeded_tempfile", withLastAddress(seededTemp));
    corpus.write("fuzz_decoder", "empty_tempfile", withLastAddress(emptyTemp));

    corpus.write("fuzz_collection", "seeded_memory.rec", seededMemory);
    corpus.write("fuzz_collection", "seeded_download.rec", seededTemp);
    corpus.write("fuzz_collection", "full_download.rec", fullTemp);
    corpus.write("fuzz_collection", "empty_download.rec", emptyTemp);

    const QByteArray noFaults("\x00\xFF\xFF", 3);
    corpus.write("fuzz_download", "seeded", noFaults + seededDownload.replies);
    corpus.write("fuzz_download", "full", noFaults + fullDownload.replies);
    corpus.write("fuzz_download", "empty", noFaults + emptyDownload.replies);
    corpus.write("fuzz_download", "empty_end_write_fails",
                 QByteArray("\x08\xFF\xFF", 3) + emptyDownload.replies);
    corpus.write("fuzz_download", "empty_block_write_fails",
                 QByteArray("\x00\x00\x03", 3) + emptyDownload.replies);
    corpus.write("fuzz_download", "start_unframed", noFaults + unframed.replies);
    corpus.write("fuzz_download", "block_lost", noFaults + blockLost.replies);

    // Charts and graph files.
    const ChartModel realTime = realTimeChart();
    const ChartModel dataSet = dataSetChart(seededMemory);
    if (dataSet.points() == 0)
        corpus.fail("the seeded memory did not decode");
    // The real-time graph with excluded intervals: the meter lost, and a labelled event
    // overlapping a shorter one.
    ChartModel excluded = realTime;
    excluded.exclusions = { { realTime.x(0, 180), realTime.x(0, 194), QString() },
                            { realTime.x(0, 240), realTime.x(0, 262), QStringLiteral("lorry") },
                            { realTime.x(0, 250), realTime.x(0, 250), QStringLiteral("horn") } };
    // The same with a passing lorry as the source under assessment and a quiet spell as the
    // residual sound, overlapping the excluded event.
    ChartModel marked = excluded;
    marked.exclusions.push_back({ realTime.x(0, 100), realTime.x(0, 120), QStringLiteral("lorry"),
                                  IntervalCategory::Specific });
    marked.exclusions.push_back({ realTime.x(0, 20), realTime.x(0, 255), QStringLiteral("quiet"),
                                  IntervalCategory::Residual });
    // The data set graph checked against a limit, with the real-time graph laid over it by start.
    ChartModel compared = dataSet;
    compared.limit = 55.0;
    compared.overlay = OverlaySeries { QStringLiteral("Office, morning"), QColor(200, 90, 0),
                                       OverlayAlignment::Start,
                                       dataSet.x(0, 0) - realTime.x(0, 0), 1.0, realTime.xs(0),
                                       realTime.ys(0) };
    // The same with the survey's details typed in the "Report" dialog.
    ChartModel surveyed = compared;
    surveyed.details.project = QStringLiteral("Wind farm, night survey");
    surveyed.details.site = QStringLiteral("Am Bach 3");
    surveyed.details.notes = QStringLiteral("Dry, wind 2 m/s\nA lorry passed at 22:10.");
    surveyed.details.instrument = { QStringLiteral("Q7316"), QStringLiteral("0042"),
                                    QStringLiteral("1.05"), QStringLiteral("0.3"),
                                    QStringLiteral("0.50  (128)") };
    surveyed.details.calibrationBefore = { 94.0, 94.1 };
    surveyed.details.calibrationAfter = { 94.0, 93.4 };
    corpus.write("fuzz_chartblock", "realtime_graph", ChartBlock::save(realTime));
    corpus.write("fuzz_chartblock", "dataset_details", ChartBlock::save(surveyed));
    corpus.write("fuzz_chartblock", "dataset_limit_overlay", ChartBlock::save(compared));
    corpus.write("fuzz_chartblock", "realtime_excluded", ChartBlock::save(excluded));
    corpus.write("fuzz_chartblock", "realtime_categories", ChartBlock::save(marked));
    corpus.write("fuzz_chartblock", "dataset_graph", ChartBlock::save(dataSet));
    corpus.write("fuzz_chartblock", "new_chart", ChartBlock::save(ChartModel()));
    corpus.write("fuzz_graphfile", "realtime_graph.ghf", graphFileOf(realTime));
    corpus.write("fuzz_graphfile", "realtime_excluded.ghf", graphFileOf(excluded));
    corpus.write("fuzz_graphfile", "realtime_categories.ghf", graphFileOf(marked));
    corpus.write("fuzz_graphfile", "dataset_graph.ghf", graphFileOf(dataSet));
    corpus.write("fuzz_graphfile", "dataset_limit_overlay.ghf", graphFileOf(compared));
    corpus.write("fuzz_graphfile", "dataset_details.ghf", graphFileOf(surveyed));
    corpus.write("fuzz_graphfile", "new_chart.ghf", graphFileOf(ChartModel()));

    // The analysis kept beside a collection: the data set with its limit, overlay and survey
    // details, and the real-time graph's intervals of every category as a second set's.
    AnalysisFile::Sets analyses;
    analyses[0] = { dataSet.x(0, 0), dataSet.points(), surveyed.analysis() };
    analyses[6] = { realTime.x(0, 0), realTime.points(), marked.analysis() };
    corpus.write("fuzz_analysisfile", "survey.rec.audexa", AnalysisFile::encode(analyses));
    corpus.write("fuzz_analysisfile", "empty.audexa", AnalysisFile::encode({}));

    // Text files as Save writes them, behind the byte that picks the separator and the locale.
    const auto textOf = [&realTime](char selector, const char *locale, char separator) {
        return QByteArray(1, selector)
            + TextExport::graphLines(realTime.xs(0), realTime.ys(0), { 1, realTime.points() },
                                     separator, QLocale(QLatin1String(locale)))
                  .bytes;
    };
    corpus.write("fuzz_textimport", "en_US_tab.txt", textOf(0, "en_US", '\t'));
    corpus.write("fuzz_textimport", "en_US_comma.csv", textOf(1, "en_US", ','));
    corpus.write("fuzz_textimport", "de_DE_tab.txt", textOf(2, "de_DE", '\t'));
    corpus.write("fuzz_textimport", "ko_KR_tab.txt", textOf(6, "ko_KR", '\t'));
    corpus.write("fuzz_textimport", "leq_table.txt",
                 QByteArray("\x02"
                            "08.12.26\t21:05:07\t50,0\t60,0\t\t\t\r\n"
                            "08.12.26\t21:05:08\t52,0\t61,5\t\t\t\r\n\r\nrest\tignored\r\n"));
    corpus.write("fuzz_textimport", "long_line.txt",
                 QByteArray(1, '\0') + "12/8/26\t" + QByteArray(400, '7')
                     + "\r\n12/8/26\t9:05:07 PM\t\r\n");
    // What spreadsheets write: quotes and a header, semicolons and decimal commas, ISO 8601
    // with offsets after comment lines, UTF-16.
    corpus.write("fuzz_textimport", "quoted_header.csv",
                 QByteArray("\x01"
                            "Date,Time,Level,Note\r\n\"12/18/26\",\"9:05:07 PM\",\"67.3\","
                            "\"say \"\"hi\"\"\"\r\n"));
    corpus.write("fuzz_textimport", "semicolons.csv",
                 QByteArray("\x03"
                            "18.12.2026;21:05:07;63,4\n18.12.2026;21:05:08;;x\n"));
    corpus.write("fuzz_textimport", "iso_offsets.csv",
                 QByteArray("\x01"
                            "# Source\ntime,level_dB\n2026-12-08T21:05:07+01:00,63.4\n"
                            "2026-12-08T21:05:08.6Z,\n"));
    {
        const QString text = QStringLiteral("\uFEFF12/8/26\t9:05:07 PM\t67.3\r\n");
        corpus.write("fuzz_textimport", "utf16.txt",
                     QByteArray(1, '\0')
                         + QByteArray(reinterpret_cast<const char *>(text.utf16()),
                                      text.size() * 2));
    }

    // Journals: the real-time graph's points with a whole and a torn end, and LEQ seconds.
    {
        const MeasurementJournal::Header rt { MeasurementJournal::Kind::RealTime, realTime.x(0, 0),
                                              1.0, quint32(realTime.points()) };
        QByteArray journal = MeasurementJournal::headerBytes(rt);
        for (int i = 0; i < realTime.points(); ++i)
            journal += MeasurementJournal::recordBytes(
                MeasurementJournal::Point { realTime.x(0, i), realTime.y(0, i) }, quint32(i));
        corpus.write("fuzz_journal", "realtime.journal", journal);
        corpus.write("fuzz_journal", "torn.journal", journal.chopped(5));
        const MeasurementJournal::Header leq { MeasurementJournal::Kind::Leq, realTime.x(0, 0),
                                               600.0, 600 };
        QByteArray seconds = MeasurementJournal::headerBytes(leq);
        for (int i = 0; i < 10; ++i)
            seconds += MeasurementJournal::recordBytes(
                MeasurementJournal::Second { realTime.x(0, i), 60.0f + float(i), 61.0f,
                                             quint16(25 + i) },
                quint32(i));
        corpus.write("fuzz_journal", "leq.journal", seconds);
    }

    // HID input report sequences: byte 0 (init and open succeed, or the open fails), then the
    // rounds.
    const QByteArray live = quiet.left(32);
    const QByteArray header = seededDownload.replies.left(32);
    const QByteArray ok(1, '\0');
    QByteArray polls = ok;
    for (int i = 0; i < 12; ++i) {
        const QByteArray reply = quiet.mid(32 * i, 32);
        switch (i % 4) {
        case 0:
            polls += inReports(reply, { 32 });
            break;
        case 1:
            polls += inReports(reply, { 16, 16 });
            break;
        case 2:
            polls += inReports(reply, { 8, 8, 8, 8 });
            break;
        default:
            polls += inReports(reply + QByteArray(32, '\0'), { 64 });
            break;
        }
    }
    QByteArray blocks = ok;
    for (int i = 0; i < 8; ++i)
        blocks += inReports(seededDownload.replies.mid(32 * i, 32), { 32 });
    corpus.write("fuzz_hidreport", "one_report", ok + inReports(live, { 32 }));
    corpus.write("fuzz_hidreport", "two_halves", ok + inReports(identity, { 16, 16 }));
    corpus.write("fuzz_hidreport", "long_report", ok + inReports(header + keys.left(32), { 64 }));
    corpus.write("fuzz_hidreport", "small_reports",
                 ok + inReports(live, { 4, 4, 4, 4, 4, 4, 4, 4 }));
    corpus.write("fuzz_hidreport", "polls", polls);
    corpus.write("fuzz_hidreport", "download_blocks", blocks);
    corpus.write("fuzz_hidreport", "timeout_then_reply",
                 ok + inReports({}, { 0 }) + inReports(live, { 32 }));
    corpus.write("fuzz_hidreport", "short_reply", ok + inReports(live, { 16, 0 }));
    corpus.write("fuzz_hidreport", "device_error",
                 ok + inReports(live.left(8), { 8 }) + QByteArray(1, char(0xFF)));
    corpus.write("fuzz_hidreport", "zero_timeout",
                 ok + QByteArray(1, '\x01') + char(16) + live.left(16));
    corpus.write("fuzz_hidreport", "open_fails", QByteArray(1, '\x02') + inReports(live, { 32 }));

    std::printf("%8lld  in all\n", static_cast<long long>(corpus.total()));
    return corpus.failed() ? 1 : 0;
}
