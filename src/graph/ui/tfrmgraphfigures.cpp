// What the graph window shows: the chart's set-up, the statistics and cursor fields, the texts
// of a recording, the data sets panel and the cumulative Leq of the "LEQ" window.

#include "base/appfolders.h"
#include "base/appstate.h"
#include "base/ui/prompts.h"
#include "base/ui/stringgrid.h"
#include "base/ui/windowservices.h"
#include "chart/chartblock.h"
#include "chart/chartsetup.h"
#include "chart/ui/pesgraph.h"
#include "files/graphfile.h"
#include "graph/samplingrate.h"
#include "graph/ui/tfrmgraph.h"
#include "graph/ui/tslider2.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

ChartModel &TfrmGraph::chartModel()
{
    return PESGraph1->model();
}

const ChartModel &TfrmGraph::chartModel() const
{
    return PESGraph1->model();
}

void TfrmGraph::applyDefaultLook()
{
    ChartSetup::applyDefaultLook(PESGraph1->model());
    PESGraph1->setZoomingAllowed(true);
    PESGraph1->setArrowCursor(1);
}

void TfrmGraph::ResetGraphData(int subsets, double maxY, double minY, double maxX, double minX,
                               int points)
{
    ChartSetup::resetData(PESGraph1->model(), subsets, maxY, minY, maxX, minX, points);
    // The read-out belonged to the data just replaced.
    Panel12->clear();
    refreshAcousticFigures();
    PESGraph1->redraw();
}

void TfrmGraph::PrepareGraph(int subsets, double maxY, double minY, double maxX, double minX,
                             int points)
{
    // A graph template, when there is one, brings its look to every new chart: its look alone,
    // whatever points or marks a template of an earlier version may hold.
    bool templated = false;
    const QString templateFile = m_services.folders().templateFileToRead();
    if (!templateFile.isEmpty()) {
        const GraphFile::ReadResult read = GraphFile::read(templateFile);
        ChartModel stored;
        templated = read.block && ChartBlock::load(*read.block, stored);
        if (templated) {
            PESGraph1->model().look() = stored.look();
            PESGraph1->reinitAndReset();
        }
    }
    if (!templated)
        applyDefaultLook();
    ResetGraphData(subsets, maxY, minY, maxX, minX, points);
}

void TfrmGraph::reportFailedFigure()
{
    const quint64 revision = chartModel().dataRevision();
    if (revision == m_reportedRevision)
        return;
    m_reportedRevision = revision;
    m_services.prompts().showError(GraphStatistics::failureMessage());
}

void TfrmGraph::UpdateGraphStatistics()
{
    const GraphStatistics::Whole w
        = GraphStatistics::whole(chartModel(), m_services.floatingPoint());
    showFigures(w);
    if (w.failed)
        reportFailedFigure();
}

void TfrmGraph::showFigures(const GraphStatistics::Whole &w)
{
    txtStartTime->setText(w.startTime);
    // The real-time graph's box is the user's choice of rate, not a figure.
    if (!pnlSamplingRate->isEnabled()) {
        const QSignalBlocker blocker(txtSamplingRate);
        txtSamplingRate->setEditText(w.samplingRate);
    }
    txtDataNo->setText(w.dataNo);
    txtAvgAll->setText(w.avgAll);
    txtMax->setText(w.max);
    txtMaxTime->setText(w.maxTime);
    txtMin->setText(w.min);
    txtMinTime->setText(w.minTime);
    alignSlider();
    if (chartModel().points() == 0) {
        // No point to stand on: the figures stay empty and the cursor lines out of sight.
        clearStatisticFields();
        txtStartTime->setText(w.startTime);
        txtDataNo->setText(w.dataNo);
        hideCursorLines();
    }
    placeCursors(w.sliderMaximum, w.value1, w.value2);
    refreshAcousticFigures();
}

void TfrmGraph::hideCursorLines()
{
    chartModel().verticalLines = {};
    chartModel().verticalLines[0].x = chartModel().verticalLines[1].x
        = chartModel().xScale.min - 1.0;
}

void TfrmGraph::forgetFigures()
{
    // A chart with nothing recorded yet: no figure, no read-out, the cursor lines out of sight
    // and both thumbs back at the start.
    clearStatisticFields();
    Panel12->clear();
    hideCursorLines();
    placeCursors(0, 0, 0);
    refreshAcousticFigures();
}

void TfrmGraph::placeCursors(int maximum, int value1, int value2)
{
    const QSignalBlocker blocker(Slider1);
    Slider1->setMinimum(0);
    Slider1->setMaximum(maximum);
    Slider1->setValue1(value1);
    Slider1->setValue2(value2);
    Slider1ValueChange1();
}

void TfrmGraph::placeCursorsOn(const CursorPlacement::Indexes &at)
{
    placeCursors(std::max(0, chartModel().points() - 1), at.a, at.b);
}

void TfrmGraph::showAnalysis(const MeasurementAnalysis &analysis)
{
    ChartModel &chart = chartModel();
    chart.analysis() = analysis;
    // A new revision tells the chart and every figure that the overlay and intervals changed.
    chart.touch();
    if (chart.points() > 0)
        placeCursorsOn(CursorPlacement::initial(chart));
    PESGraph1->redraw();
    refreshAcousticFigures();
    Q_EMIT exclusionsChanged();
    Q_EMIT limitChanged();
}

void TfrmGraph::showCursor(int line, int index)
{
    const GraphStatistics::Cursor c = GraphStatistics::cursor(chartModel(), index);
    (line == 0 ? txtCursorA : txtCursorB)->setText(c.level);
    (line == 0 ? txtCursorATime : txtCursorBTime)->setText(c.time);
    chartModel().verticalLines[static_cast<std::size_t>(line)] = { c.lineX, c.lineText };
}

void TfrmGraph::Slider1ValueChange1()
{
    AppState &state = m_services.state();
    state.cursorAIndex = Slider1->Value1();
    state.cursorBIndex = Slider1->Value2();
    if (Slider1->Maximum() == 0)
        return;
    showCursor(0, state.cursorAIndex);
    showCursor(1, state.cursorBIndex);
    UpdateCursorStatistics();
    pnlSlider->update();
    PESGraph1->redraw();
}

void TfrmGraph::UpdateCursorStatistics()
{
    const AppState &state = m_services.state();
    const GraphStatistics::Between b = GraphStatistics::between(
        chartModel(), state.cursorAIndex, state.cursorBIndex, m_services.floatingPoint());
    txtAvgAB->setText(b.avgAB);
    txtMaxAB->setText(b.maxAB);
    txtMaxABTime->setText(b.maxABTime);
    txtMinAB->setText(b.minAB);
    txtMinABTime->setText(b.minABTime);
    if (b.failed)
        reportFailedFigure();
    showBetweenAcousticFigures();
}

GraphStatistics::Fields TfrmGraph::fields() const
{
    return { txtStartTime->text(), txtSamplingRate->currentText(),
             txtDataNo->text(),    txtAvgAll->text(),
             txtMax->text(),       txtMaxTime->text(),
             txtMin->text(),       txtMinTime->text(),
             txtCursorA->text(),   txtCursorATime->text(),
             txtCursorB->text(),   txtCursorBTime->text(),
             txtMaxAB->text(),     txtMaxABTime->text(),
             txtMinAB->text(),     txtMinABTime->text(),
             txtAvgAB->text() };
}

void TfrmGraph::clearStatisticFields()
{
    for (QLineEdit *edit :
         { txtAvgAll, txtMax, txtMin, txtMaxTime, txtMinTime, txtCursorA, txtCursorATime,
           txtCursorB, txtCursorBTime, txtMaxAB, txtMaxABTime, txtMinAB, txtMinABTime, txtAvgAB })
        edit->clear();
}

void TfrmGraph::makeRealTimeGraph(double rate)
{
    setWindowTitle(RealTimeCaption);
    tbntSep3->setVisible(true);
    tbntClr->setVisible(true);
    txtSamplingRate->setEditable(false);
    pnlSamplingRate->setEnabled(true);
    selectRateItem(rate);
}

QString TfrmGraph::rateText() const
{
    return txtSamplingRate->currentText();
}

void TfrmGraph::selectRateItem(double rate)
{
    if (const std::optional<int> item = SamplingRate::itemForRate(rate)) {
        const QSignalBlocker blocker(txtSamplingRate);
        txtSamplingRate->setCurrentIndex(*item);
    }
}

void TfrmGraph::setClearEnabled(bool enabled)
{
    tbntClr->setEnabled(enabled);
}

void TfrmGraph::showRecordingStart(const QString &startTime)
{
    forgetFigures();
    txtStartTime->setText(startTime);
    txtDataNo->setText(QStringLiteral("0"));
    lblMeterLost->clear();
    lblMeterLost->hide();
}

void TfrmGraph::showRecordingTexts(const RealTimeRecorder::Texts &texts)
{
    auto put = [](QLineEdit *edit, const std::optional<QString> &text) {
        if (text)
            edit->setText(*text);
    };
    put(txtMax, texts.max);
    put(txtMaxTime, texts.maxTime);
    put(txtMin, texts.min);
    put(txtMinTime, texts.minTime);
    put(txtDataNo, texts.dataNo);
    refreshAcousticFigures();
    if (texts.meterLost) {
        lblMeterLost->setText(*texts.meterLost);
        lblMeterLost->setToolTip(*texts.meterLost);
        lblMeterLost->setVisible(!texts.meterLost->isEmpty());
    }
}

void TfrmGraph::showRecordingStop(const RealTimeRecorder::StopResult &result)
{
    tbntClr->setEnabled(true);
    txtAvgAll->setText(result.avgAll);
    if (result.placeCursors)
        placeCursors(result.sliderMaximum, result.value1, result.value2);
    PESGraph1->redraw();
}

QString TfrmGraph::meterLostText() const
{
    return lblMeterLost->text();
}

void TfrmGraph::showDataSetsPanel()
{
    pnlDataSets->show();
}

void TfrmGraph::showDataSetRows(const QList<QStringList> &rows)
{
    Grid2->setRowCount(std::max<int>(1, int(rows.size())) + 1);
    if (rows.isEmpty()) {
        Grid2->setRow(1, QStringList(Grid2->ColCount(), QString()));
        return;
    }
    for (int i = 0; i < rows.size(); ++i)
        Grid2->setRow(i + 1, rows[i]);
    Grid2->selectRow(1);
    // Dates and times in the user's format may be wider than the columns' first widths.
    Grid2->resizeColumnsToContents();
    fitDataSetsPanel();
}

void TfrmGraph::setDataSetRow(int row, const QStringList &texts)
{
    if (row > 0 && row < Grid2->RowCount())
        Grid2->setRow(row, texts);
}

QString TfrmGraph::dataSetCell(int col, int row) const
{
    return Grid2->Cells(col, row);
}

int TfrmGraph::dataSetRowCount() const
{
    return Grid2->RowCount();
}

void TfrmGraph::showCumulativeLeqOf(const ChartModel &source)
{
    const int n = source.points();
    // The time axis spans the recorded points; points never recorded have no time.
    int first = 0;
    int last = n - 1;
    while (first < last && ChartModel::isNull(source.y(0, first)) && source.x(0, first) == 0.0)
        ++first;
    while (last > first && ChartModel::isNull(source.y(0, last)) && source.x(0, last) == 0.0)
        --last;
    PrepareGraph(2, 130, 30, source.x(0, last), source.x(0, first), n);
    ChartModel &target = chartModel();
    target.subsetLabels = QStringList { QStringLiteral("SPL"), QStringLiteral("Leq") };
    target.subsetColors = { Qt::black, Qt::red };
    const std::vector<float> levels(source.ys(0).begin(), source.ys(0).begin() + n);
    const GraphStatistics::CumulativeLeq cumulative
        = GraphStatistics::cumulativeLeq(levels, m_services.floatingPoint());
    const std::vector<double> xs(source.xs(0).begin(), source.xs(0).begin() + n);
    target.setSeries(0, xs, levels);
    target.setSeries(1, xs, cumulative.levels);
    bunCalLEQ->setEnabled(false);
    UpdateGraphStatistics();
    PESGraph1->reinitAndReset();
    if (cumulative.failed)
        reportFailedFigure();
}

void TfrmGraph::setCalLeqEnabled(bool enabled)
{
    bunCalLEQ->setEnabled(enabled);
}

void TfrmGraph::showSamplingRate(const QString &text)
{
    const QSignalBlocker blocker(txtSamplingRate);
    txtSamplingRate->setEditText(text);
}
