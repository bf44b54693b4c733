#include "leq/ui/leqcontroller.h"

#include "base/appfolders.h"
#include "base/appstate.h"
#include "base/clock.h"
#include "base/datetimedays.h"
#include "base/ui/prompts.h"
#include "base/ui/windowservices.h"
#include "chart/chartmodel.h"
#include "chart/ui/pesgraph.h"
#include "files/wholefile.h"
#include "graph/ui/graphwindowfactory.h"
#include "graph/ui/tfrmgraph.h"
#include "leq/ui/tfrmleq.h"
#include "meter/meterlink.h"
#include "meter/ui/meterservices.h"
#include "survey/graphstatistics.h"

#include <QDir>
#include <QRect>
#include <QTimer>

LeqController::LeqController(WindowServices &services, MeterServices &meter,
                             GraphWindowFactory &graphs, QTimer &timer, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_meter(meter)
    , m_graphs(graphs)
    , m_timer(timer)
    , m_date(DateTimePattern::date(QLocale::system()))
    , m_time(DateTimePattern::time(QLocale::system()))
{
    connect(&m_timer, &QTimer::timeout, this, &LeqController::LEQTimerTimer);
}

void LeqController::LEQ1Click()
{
    if (m_services.state().MeterRecording) {
        m_services.prompts().showMessage(
            QStringLiteral("The meter is recording data, please stop recording first ."));
        return;
    }
    if (m_window) {
        m_services.activateChildWindow(*m_window);
        return;
    }
    openWindow();
}

void LeqController::openWindow()
{
    auto *window = new TfrmLEQ;
    m_window = window;
    connect(window, &TfrmLEQ::startClicked, this, &LeqController::btnLEQClick);
    connect(window, &TfrmLEQ::stopClicked, this, &LeqController::Button1Click);
    connect(window, &TfrmLEQ::saveClicked, this, &LeqController::Button2Click);
    connect(window, &TfrmLEQ::graphClicked, this, &LeqController::Button3Click);
    connect(window, &MdiChildForm::formClosed, this, &LeqController::FormClose);
    // Centred in the main window's client area, never past it.
    const QSize area = m_services.clientAreaSize();
    const QSize size = TfrmLEQ::DefaultSize.boundedTo(area);
    m_services.addChildWindow(
        *window,
        QRect(QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2),
              size));
}

bool LeqController::measureUnattended(int seconds)
{
    const AppState &state = m_services.state();
    if (state.RecoveryPending || !state.Connected || state.ExchangeRunning || state.MeterRecording
        || m_measurement.running() || state.CurrentLevel < 20.0f || state.CurrentLevel > 140.0f)
        return false;
    if (!m_window)
        openWindow();
    if (!m_window->selectDuration(seconds))
        return false;
    btnLEQClick();
    return m_measurement.running();
}

void LeqController::btnLEQClick()
{
    if (!m_window)
        return;
    // A Start while measuring begins a new measurement on the meter it already holds.
    if (!m_holdsMeter) {
        if (!m_meter.beginExchange()) {
            m_services.prompts().showMessage(meterBusyMessage());
            return;
        }
        m_holdsMeter = true;
    }
    m_timer.stop();
    m_log.open(m_services.folders().programTempFolder()); // without a log when it cannot
    m_date = DateTimePattern::date(QLocale::system());
    m_time = DateTimePattern::time(QLocale::system());
    m_measurement.start(m_window->selectedSeconds());
    // The measurement before this one was saved or given up by starting anew.
    m_journal.discard();
    const MeasurementJournal::Header header { MeasurementJournal::Kind::Leq,
                                              DateTimeDays::fromDateTime(m_services.clock().now()),
                                              double(m_window->selectedSeconds()),
                                              quint32(m_window->selectedSeconds()) };
    const QString journalError = m_journal.start(
        JournalWriter::fileName(m_services.folders().tempFolder(), header), header);
    if (!journalError.isEmpty())
        journalFailed(journalError);
    m_meter.link().openForMeasurement();
    m_window->clearRows();
    m_window->showTimeLeft(LeqMeasurement::timeLeftText(m_measurement.secondsLeft()));
    m_window->showLeq(QString());
    m_window->showRate(QString());
    m_timer.start();
}

void LeqController::LEQTimerTimer()
{
    if (!m_window) {
        finish();
        return;
    }
    MeterLink &link = m_meter.link();
    const bool read = link.readLiveReadingOnOpenDevice();
    const LeqMeasurement::Tick tick
        = m_measurement.tick(read ? &link.reply() : nullptr, m_services.clock().now());
    if (tick.read)
        m_log.append(m_time.toString(QDate(), tick.time), GraphStatistics::levelText(tick.level));
    if (tick.completed > 0)
        showSeconds(tick.completed);
    switch (tick.end) {
    case LeqMeasurement::End::None:
        break;
    case LeqMeasurement::End::TimeUp:
        finish();
        break;
    case LeqMeasurement::End::Failed:
        finish();
        m_services.prompts().showMessage(QStringLiteral("LEQ fail , try to start again !!"));
        break;
    }
}

void LeqController::journalFailed(const QString &error)
{
    // Said without waiting for an answer: the measurement's readings go on meanwhile.
    const QString told = m_journal.failureToTell(error, QStringLiteral("measurement"));
    if (!told.isEmpty())
        m_services.prompts().showNotice(told);
}

void LeqController::showSeconds(int completed)
{
    const std::vector<LeqMeasurement::Second> &seconds = m_measurement.seconds();
    for (std::size_t i = seconds.size() - std::size_t(completed); i < seconds.size(); ++i) {
        const LeqMeasurement::Second &s = seconds[i];
        if (m_journal.isOpen()) {
            const QString error = m_journal.append(MeasurementJournal::Second {
                DateTimeDays::fromDateTime(s.date, s.time), float(s.spl), float(s.leq),
                quint16(std::min(s.readings, 65535)) });
            if (!error.isEmpty())
                journalFailed(error);
        }
        const QString leq = GraphStatistics::levelText(s.leq);
        m_window->appendRow({ QString::number(i + 1), m_date.toString(s.date, QTime()),
                              m_time.toString(QDate(), s.time),
                              s.readings ? GraphStatistics::levelText(s.spl) : QString(),
                              s.readings ? leq : QString() });
        if (s.readings) {
            m_window->showLeq(leq);
            m_window->showRate(QString::number(s.readings) + QStringLiteral("/sec"));
        }
    }
    m_window->showTimeLeft(LeqMeasurement::timeLeftText(m_measurement.secondsLeft()));
}

void LeqController::Button1Click()
{
    finish();
}

void LeqController::FormClose()
{
    finish();
}

void LeqController::finish()
{
    m_timer.stop();
    m_measurement.stop();
    m_log.close();
    // Kept until the measurement is saved or a new one starts.
    m_journal.close();
    if (m_holdsMeter) {
        m_holdsMeter = false;
        m_meter.endExchange();
    }
}

bool LeqController::Button2Click()
{
    if (!m_window)
        return false;
    Prompts &prompts = m_services.prompts();
    const QString fileName
        = prompts.saveFileName(QStringLiteral("Save As"), m_services.folders().dialogFolder(),
                               QStringLiteral("(*.txt)"), QStringLiteral("txt"));
    if (fileName.isEmpty())
        return false;
    // Date, time, SPL and Leq of every row, each followed by a tab; no row number, no titles.
    QByteArray bytes;
    for (int row = 1; row < m_window->rowCount(); ++row) {
        for (int col = 1; col <= 4; ++col)
            bytes += m_window->cell(col, row).toUtf8() + '\t';
        bytes += "\r\n";
    }
    const QString error = WholeFile::write(fileName, bytes);
    if (!error.isEmpty()) {
        prompts.showError(error);
        return false;
    }
    if (!m_measurement.running())
        m_journal.discard();
    return true;
}

bool LeqController::recover(const MeasurementJournal::Contents &contents,
                            const QString &journalPath, std::unique_ptr<QLockFile> lock)
{
    if (m_measurement.running() || contents.seconds.empty())
        return false;
    if (!m_window)
        openWindow();
    else
        m_services.activateChildWindow(*m_window);
    std::vector<LeqMeasurement::Second> seconds;
    for (const MeasurementJournal::Second &j : contents.seconds) {
        const QDateTime at = DateTimeDays::toDateTime(j.time);
        seconds.push_back({ at.date(), at.time(), j.readings, j.spl, j.leq });
    }
    m_measurement.restore(std::move(seconds));
    m_window->clearRows();
    m_window->showLeq(QString());
    m_window->showRate(QString());
    showSeconds(int(m_measurement.seconds().size()));
    m_window->showTimeLeft(LeqMeasurement::timeLeftText(0));
    m_journal.adopt(journalPath, std::move(lock));
    return true;
}

TfrmGraph *LeqController::Button3Click()
{
    if (!m_window)
        return nullptr;
    const std::vector<LeqMeasurement::Second> &seconds = m_measurement.seconds();
    if (m_window->cell(1, 1).isEmpty() || seconds.empty()) {
        m_services.prompts().showMessage(QStringLiteral("No data to graph !"));
        return nullptr;
    }
    const int k = int(seconds.size());
    auto days = [](const LeqMeasurement::Second &s) {
        return DateTimeDays::fromDateTime(s.date, s.time);
    };
    TfrmGraph &graph = m_graphs.createGraph(QStringLiteral("Leq"));
    graph.PrepareGraph(2, 130, 30, days(seconds.back()), days(seconds.front()), k);
    ChartModel &chart = graph.chartModel();
    chart.subsetLabels = QStringList { QStringLiteral("SPL"), QStringLiteral("Leq") };
    chart.subsetColors = { Qt::black, Qt::red };
    std::vector<double> xs(std::size_t(k), 0.0);
    std::vector<float> spl(std::size_t(k), ChartModel::NullValue);
    std::vector<float> leq(std::size_t(k), ChartModel::NullValue);
    for (std::size_t i = 0; i < seconds.size(); ++i) {
        // An empty second stays a point without a level: a gap in both lines.
        if (!seconds[i].readings)
            continue;
        xs[i] = days(seconds[i]);
        spl[i] = float(seconds[i].spl);
        leq[i] = float(seconds[i].leq);
    }
    chart.setSeries(0, xs, spl);
    chart.setSeries(1, xs, leq);
    graph.setCalLeqEnabled(false);
    graph.UpdateGraphStatistics();
    graph.showSamplingRate(QStringLiteral("1"));
    graph.chart().redraw();
    return &graph;
}
