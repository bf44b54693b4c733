#include "graph/ui/tfrmgraph.h"

#include "base/appfolders.h"
#include "base/appstate.h"
#include "base/ui/scrolledpanel.h"
#include "base/ui/stringgrid.h"
#include "base/ui/windowservices.h"
#include "chart/ui/pesgraph.h"
#include "files/graphfile.h"
#include "graph/samplingrate.h"
#include "graph/ui/tslider2.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSplitter>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr int ChartMinimumHeight = 140;
constexpr int ChartMinimumWidth = 160;
constexpr int DataSetsMinimumWidth = 160;

const QString MeanOfLevelsHint = QStringLiteral(
    "arithmetic mean of the levels; the energy mean is Leq under Acoustic figures");
const QString AllPointsHint = QStringLiteral("all points, excluded intervals included");

QLineEdit *field(const char *name, int width, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setReadOnly(true);
    edit->setFixedWidth(width);
    return edit;
}

QLabel *caption(const QString &text, QWidget *parent, const QColor &color = QColor())
{
    auto *label = new QLabel(text, parent);
    if (color.isValid())
        label->setStyleSheet(QStringLiteral("color: %1; font-weight: bold;").arg(color.name()));
    return label;
}

// A caption that says what its figure is, on the caption and on the figure's fields alike.
QLabel *explained(const QString &text, const QString &hint, std::initializer_list<QWidget *> fields,
                  QWidget *parent)
{
    QLabel *label = caption(text, parent);
    label->setToolTip(hint);
    for (QWidget *field : fields)
        field->setToolTip(hint);
    return label;
}

} // namespace

TfrmGraph::TfrmGraph(WindowServices &services, QWidget *parent)
    : MdiChildForm(parent)
    , m_services(services)
{
    setObjectName(QStringLiteral("TfrmGraph"));
    resize(1152, 699);

    buildDataSetsPanel();

    auto *right = new QWidget(this);
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(0);
    buildToolBar();
    rightLayout->addWidget(ToolBar1);
    rightLayout->addWidget(SurveyBar);
    pnlGraphStatistic = buildStatisticPanel();
    m_statisticView = new ScrolledPanel(pnlGraphStatistic, ScrolledPanel::Scroll::Across, right);
    rightLayout->addWidget(m_statisticView);

    auto *chartSplitter = new QSplitter(Qt::Vertical, right);
    chartSplitter->setHandleWidth(3);
    // The acoustic figures stand beside the chart; the cursor panel below keeps the whole width.
    auto *chartRow = new QWidget(chartSplitter);
    auto *chartRowLayout = new QHBoxLayout(chartRow);
    chartRowLayout->setContentsMargins(0, 0, 0, 0);
    chartRowLayout->setSpacing(0);
    PESGraph1 = new PESGraph(chartRow);
    PESGraph1->setObjectName(QStringLiteral("PESGraph1"));
    PESGraph1->installEventFilter(this);
    // However small the window, the chart keeps room for its axes and a few lines of its plot.
    PESGraph1->setMinimumSize(ChartMinimumWidth, ChartMinimumHeight);
    pnlStatistic = buildCursorPanel();
    m_cursorView = new ScrolledPanel(pnlStatistic, ScrolledPanel::Scroll::Both, chartSplitter);
    // However low the window, the slider stays in view; the cursor fields under it scroll.
    m_cursorView->setMinimumHeight(pnlStatistic->layout()->contentsMargins().top()
                                   + pnlSlider->height());
    chartRowLayout->addWidget(PESGraph1, 1);
    chartRowLayout->addWidget(buildFiguresTabs());
    chartSplitter->addWidget(chartRow);
    chartSplitter->addWidget(m_cursorView);
    chartSplitter->setStretchFactor(0, 1);
    chartSplitter->setStretchFactor(1, 0);
    chartSplitter->setCollapsible(0, false);
    // A window smaller than the chart and the pages beside it need (a tile among many) scrolls
    // them rather than pushing them over each other; the toolbars stay in view above.
    auto *chartScroller = new QScrollArea(right);
    chartScroller->setObjectName(QStringLiteral("scrChart"));
    chartScroller->setFrameShape(QFrame::NoFrame);
    chartScroller->setWidgetResizable(true);
    chartScroller->setMinimumWidth(ChartMinimumWidth);
    chartScroller->setWidget(chartSplitter);
    rightLayout->addWidget(chartScroller, 1);

    Panel12 = new QLabel(PESGraph1);
    Panel12->setObjectName(QStringLiteral("Panel12"));
    Panel12->setFixedSize(167, 21);
    Panel12->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Panel12->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setHandleWidth(2);
    m_splitter->addWidget(pnlDataSets);
    m_splitter->addWidget(right);
    m_splitter->setStretchFactor(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_splitter);

    connect(PESGraph1, &PESGraph::zoomedIn, this, &TfrmGraph::PESGraph1ZoomIn);
    // The slider and the read-out keep to the plotting area wherever a redraw puts it.
    connect(PESGraph1, &PESGraph::plottingRectChanged, this, [this] {
        alignSlider();
        moveReadOut();
    });
    connect(PESGraph1, &PESGraph::customizeDialogClosed, this, &TfrmGraph::PESGraph1CustomizeDlg);
    connect(PESGraph1, &PESGraph::mouseMoved, this, &TfrmGraph::PESGraph1MouseMove);
    connect(PESGraph1, &PESGraph::clicked, this, &TfrmGraph::PESGraph1Click);
    connect(PESGraph1, &PESGraph::doubleClicked, this, &TfrmGraph::PESGraph1DblClick);
    m_pendingMarkClick.setSingleShot(true);
    connect(&m_pendingMarkClick, &QTimer::timeout, this,
            [this] { placeMarkAt(m_pendingMarkAt); });
    connect(PESGraph1, &PESGraph::dataHotSpot, this, &TfrmGraph::PESGraph1DataHotSpot);
    connect(PESGraph1, &PESGraph::verticalLineHotSpot, this,
            [this](int line) { m_draggedLine = line; });
    connect(PESGraph1, &PESGraph::mouseReleased, this, [this] { m_draggedLine = -1; });
    connect(Slider1, &Tslider2::OnValueChange1, this, &TfrmGraph::Slider1ValueChange1);
    connect(Slider1, &Tslider2::OnValueChange2, this, &TfrmGraph::Slider1ValueChange1);
    // "Output Tabular to graph" belongs to table windows.
    connect(this, &MdiChildForm::formActivated, this,
            [this] { m_services.setOutputToGraphEnabled(false); });
}

void TfrmGraph::buildDataSetsPanel()
{
    pnlDataSets = new QWidget(this);
    pnlDataSets->setObjectName(QStringLiteral("pnlDataSets"));
    // 375 wide when shown (fitDataSetsPanel); a small window may narrow it, the grid scrolls.
    pnlDataSets->setMinimumWidth(DataSetsMinimumWidth);
    auto *layout = new QVBoxLayout(pnlDataSets);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    StaticText1 = new QLabel(QStringLiteral("Data Sets"), pnlDataSets);
    StaticText1->setAlignment(Qt::AlignCenter);
    StaticText1->setStyleSheet(QStringLiteral("font-weight: bold; padding: 4px;"));
    Grid2 = new StringGrid(pnlDataSets);
    Grid2->setObjectName(QStringLiteral("Grid2"));
    Grid2->setColCount(8);
    Grid2->setRowCount(2);
    Grid2->setFixedRows(1);
    Grid2->setRow(0,
                  { QStringLiteral("Set"), QStringLiteral("DATE"), QStringLiteral("TIME"),
                    QStringLiteral("Rate"), QStringLiteral("Nums"), QStringLiteral("A/C"),
                    QStringLiteral("Fa/Sl"), QStringLiteral("LEVEL") });
    const int widths[] = { 25, 60, 60, 40, 40, 40, 40, 60 };
    for (int c = 0; c < 8; ++c)
        Grid2->setColumnWidth(c, widths[c] + 6);
    Grid2->setContextMenuPolicy(Qt::ActionsContextMenu);
    ChangeDateTime1 = new QAction(QStringLiteral("Change Date && Time"), Grid2);
    ChangeDateTime1->setObjectName(QStringLiteral("ChangeDateTime1"));
    Grid2->addAction(ChangeDateTime1);
    layout->addWidget(StaticText1);
    layout->addWidget(Grid2, 1);
    connect(Grid2, &StringGrid::rowClicked, this, &TfrmGraph::dataSetRowClicked);
    connect(ChangeDateTime1, &QAction::triggered, this,
            [this] { Q_EMIT changeDateTimeRequested(Grid2->selectedRow()); });
    pnlDataSets->hide();
}

void TfrmGraph::fitDataSetsPanel()
{
    int width = Grid2->frameWidth() * 2 + 4;
    for (int c = 0; c < Grid2->ColCount(); ++c)
        width += Grid2->columnWidth(c);
    width = std::max(375, width);
    const QList<int> sizes = m_splitter->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    if (total > width)
        m_splitter->setSizes({ width, total - width });
}

void TfrmGraph::buildToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setFixedHeight(29);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto add = [this](const char *name, const QString &text, const QString &hint) {
        QAction *action = ToolBar1->addAction(text);
        action->setObjectName(QLatin1String(name));
        action->setToolTip(hint);
        return action;
    };
    ToolButton1
        = add("ToolButton1", QStringLiteral("Statistic"), QStringLiteral("Toggle Graph Statistic"));
    ToolButton1->setCheckable(true);
    ToolButton1->setChecked(true);
    ToolButton2 = add("ToolButton2", QStringLiteral("Cursors"),
                      QStringLiteral("Toggle Line Cursor Statistic"));
    ToolButton2->setCheckable(true);
    ToolButton2->setChecked(true);
    ToolBar1->addSeparator();
    auto *modes = new QActionGroup(this);
    ToolButton4 = add("ToolButton4", QStringLiteral("Normal"), QStringLiteral("Normal Cursor"));
    ToolButton5
        = add("ToolButton5", QStringLiteral("Cross"), QStringLiteral("Draw A Cross On Graph"));
    ToolButton9 = add("ToolButton9", QStringLiteral("Text"), QStringLiteral("Text"));
    for (QAction *mode : { ToolButton4, ToolButton5, ToolButton9 }) {
        mode->setCheckable(true);
        modes->addAction(mode);
    }
    ToolButton4->setChecked(true);
    ToolButton13 = add("ToolButton13", QStringLiteral("Erase"), QStringLiteral("Erase Annotation"));
    auto *looks = new QActionGroup(this);
    ToolButton6 = add("ToolButton6", QStringLiteral("Color"), QStringLiteral("Color"));
    ToolButton7 = add("ToolButton7", QStringLiteral("Monochrome"), QStringLiteral("Monochrome"));
    for (QAction *look : { ToolButton6, ToolButton7 }) {
        look->setCheckable(true);
        look->setVisible(false);
        looks->addAction(look);
    }
    ToolButton6->setChecked(true);
    tbntSep3 = ToolBar1->addSeparator();
    tbntSep3->setVisible(false);
    tbntClr = add("tbntClr", QStringLiteral("Clear"), QStringLiteral("Clear"));
    tbntClr->setVisible(false);
    ToolBar1->addSeparator();
    UndoZoom = add("UndoZoom", QStringLiteral("Undo Zoom"), QStringLiteral("Undo Zoom"));
    UndoZoom->setEnabled(false);
    Button1 = add("Button1", QStringLiteral("Graph Option"), QStringLiteral("Graph Customization"));
    Button2
        = add("Button2", QStringLiteral("Export Statistic"), QStringLiteral("Export Statistic"));
    bunCalLEQ = add("bunCalLEQ", QStringLiteral("CAL Leq"), QStringLiteral("CAL Leq"));
    ToolBar1->addSeparator();
    CopyPicture1 = add("CopyPicture1", QStringLiteral("Copy Picture"),
                       QStringLiteral("Copy the graph as a picture"));
    SavePicture1 = add("SavePicture1", QStringLiteral("Save Picture..."),
                       QStringLiteral("Save the graph as a PNG, SVG or PDF picture"));
    connect(CopyPicture1, &QAction::triggered, this, &TfrmGraph::CopyPicture1Click);
    connect(SavePicture1, &QAction::triggered, this, &TfrmGraph::SavePicture1Click);
    buildSurveyBar();

    connect(ToolButton1, &QAction::triggered, this, &TfrmGraph::ToolButton1Click);
    connect(ToolButton2, &QAction::triggered, this, &TfrmGraph::ToolButton2Click);
    connect(ToolButton6, &QAction::triggered, this, &TfrmGraph::ToolButton7Click);
    connect(ToolButton7, &QAction::triggered, this, &TfrmGraph::ToolButton7Click);
    connect(ToolButton4, &QAction::triggered, this, &TfrmGraph::ToolButton4Click);
    connect(ToolButton5, &QAction::triggered, this, &TfrmGraph::ToolButton5Click);
    connect(ToolButton9, &QAction::triggered, this, &TfrmGraph::ToolButton9Click);
    connect(ToolButton13, &QAction::triggered, this, &TfrmGraph::ToolButton13Click);
    connect(tbntClr, &QAction::triggered, this, &TfrmGraph::tbntClrClick);
    connect(UndoZoom, &QAction::triggered, this, &TfrmGraph::UndoZoomClick);
    connect(Button1, &QAction::triggered, this, &TfrmGraph::Button1Click);
    connect(Button2, &QAction::triggered, this, &TfrmGraph::Button2Click);
    connect(bunCalLEQ, &QAction::triggered, this, &TfrmGraph::bunCalLEQClick);
}

QWidget *TfrmGraph::buildStatisticPanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnlGraphStatistic"));
    panel->setFixedHeight(75);
    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(8, 4, 8, 4);
    grid->setHorizontalSpacing(6);
    txtStartTime = field("txtStartTime", 160, panel);
    pnlSamplingRate = new QWidget(panel);
    pnlSamplingRate->setObjectName(QStringLiteral("pnlSamplingRate"));
    auto *rateLayout = new QHBoxLayout(pnlSamplingRate);
    rateLayout->setContentsMargins(0, 0, 0, 0);
    txtSamplingRate = new QComboBox(pnlSamplingRate);
    txtSamplingRate->setObjectName(QStringLiteral("txtSamplingRate"));
    txtSamplingRate->setEditable(true);
    txtSamplingRate->addItems(SamplingRate::graphBoxItems());
    txtSamplingRate->setFixedWidth(70);
    rateLayout->addWidget(txtSamplingRate);
    rateLayout->addWidget(new QLabel(QStringLiteral("Sec"), pnlSamplingRate));
    pnlSamplingRate->setEnabled(false);
    txtDataNo = field("txtDataNo", 70, panel);
    txtDataNo->setText(QStringLiteral("0"));
    txtAvgAll = field("txtAvgAll", 70, panel);
    txtAvgAll->setText(QStringLiteral("***.* dB "));
    txtMax = field("txtMax", 60, panel);
    txtMaxTime = field("txtMaxTime", 160, panel);
    txtMin = field("txtMin", 60, panel);
    txtMinTime = field("txtMinTime", 160, panel);
    lblMeterLost = new QLabel(panel);
    lblMeterLost->setObjectName(QStringLiteral("lblMeterLost"));
    lblMeterLost->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    lblMeterLost->hide();

    auto line = [&](int row, std::initializer_list<QWidget *> widgets) {
        auto *box = new QHBoxLayout;
        box->setSpacing(6);
        for (QWidget *w : widgets)
            box->addWidget(w);
        box->addStretch(1);
        grid->addLayout(box, row, 0);
    };
    line(0,
         { caption(QStringLiteral("Start Time"), panel), txtStartTime,
           caption(QStringLiteral("Sampling Rate"), panel), pnlSamplingRate,
           caption(QStringLiteral("Data No."), panel), txtDataNo,
           explained(QStringLiteral("Avg"), MeanOfLevelsHint, { txtAvgAll }, panel), txtAvgAll });
    line(1,
         { caption(QStringLiteral("Maximum "), panel), txtMax, caption(QStringLiteral("@"), panel),
           txtMaxTime, caption(QStringLiteral("Minimum"), panel), txtMin,
           caption(QStringLiteral("@"), panel), txtMinTime, lblMeterLost });
    // Only the user's choice runs the handler; the program's writes do not.
    connect(txtSamplingRate, &QComboBox::activated, this, &TfrmGraph::txtSamplingRateChange);
    return panel;
}

QWidget *TfrmGraph::buildCursorPanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnlStatistic"));
    panel->setFixedHeight(139);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 2, 0, 4);
    pnlSlider = new QWidget(panel);
    pnlSlider->setObjectName(QStringLiteral("pnlSlider"));
    pnlSlider->setFixedHeight(28);
    Slider1 = new Tslider2(pnlSlider);
    Slider1->setObjectName(QStringLiteral("Slider1"));
    layout->addWidget(pnlSlider);

    auto *grid = new QGridLayout;
    grid->setContentsMargins(8, 0, 8, 0);
    txtCursorA = field("txtCursorA", 60, panel);
    txtCursorATime = field("txtCursorATime", 160, panel);
    txtCursorB = field("txtCursorB", 60, panel);
    txtCursorBTime = field("txtCursorBTime", 160, panel);
    txtMaxAB = field("txtMaxAB", 60, panel);
    txtMaxABTime = field("txtMaxABTime", 160, panel);
    txtMinAB = field("txtMinAB", 60, panel);
    txtMinABTime = field("txtMinABTime", 160, panel);
    txtAvgAB = field("txtAvgAB", 60, panel);
    auto row = [&](int r, int c, QLabel *label, QLineEdit *value, QLineEdit *time) {
        grid->addWidget(label, r, c);
        grid->addWidget(value, r, c + 1);
        if (time) {
            grid->addWidget(caption(QStringLiteral("@"), panel), r, c + 2);
            grid->addWidget(time, r, c + 3);
        }
    };
    row(0, 0, caption(QStringLiteral("Cursor A"), panel, Qt::blue), txtCursorA, txtCursorATime);
    row(1, 0, caption(QStringLiteral("Cursor B"), panel, Qt::red), txtCursorB, txtCursorBTime);
    // The figures between the cursors count the points in excluded intervals too, unlike the
    // acoustic figures beside the chart.
    row(0, 4,
        explained(QStringLiteral("Max.Between A and B"), AllPointsHint, { txtMaxAB, txtMaxABTime },
                  panel),
        txtMaxAB, txtMaxABTime);
    row(1, 4,
        explained(QStringLiteral("Min.Between A and B"), AllPointsHint, { txtMinAB, txtMinABTime },
                  panel),
        txtMinAB, txtMinABTime);
    row(2, 4,
        explained(QStringLiteral("Avg Between A and B"),
                  MeanOfLevelsHint + QLatin1Char('\n') + AllPointsHint, { txtAvgAB }, panel),
        txtAvgAB, nullptr);
    grid->setColumnStretch(8, 1);
    layout->addLayout(grid);
    layout->addStretch(1);
    return panel;
}
