#include "panel/ui/tfrmpanel.h"

#include "base/ui/prompts.h"
#include "meter/livereading.h"
#include "meter/meterlink.h"
#include "meter/ui/meterservices.h"
#include "panel/ui/keyarea.h"
#include "resources/bitmaptable.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QTimer>
#include <QToolButton>

namespace {
constexpr auto LcdInk = "color: #1b2118; background: transparent;";

QPixmap pictureNamed(const char *name, qreal ratio)
{
    return QPixmap::fromImage(BitmapTable::render(QLatin1String(name), ratio));
}
} // namespace

TfrmPanel::TfrmPanel(const BitmapTable &bitmaps, MeterLink &link, Prompts &prompts,
                     QTimer &maxMinTimer, QWidget *parent)
    : MdiChildForm(parent)
    , m_link(link)
    , m_prompts(prompts)
    , m_maxMinTimer(maxMinTimer)
{
    setObjectName(QStringLiteral("TfrmPanel"));
    setWindowTitle(QStringLiteral("Control Panel"));
    setFixedSize(ClientWidth, ClientHeight);
    for (int i = 0; i < BitmapTable::DisplayDigitCount; ++i)
        m_displayDigits.push_back(QPixmap::fromImage(bitmaps.DisplayDigitBitmaps(i)));
    for (int i = 0; i < BitmapTable::ClockDigitCount; ++i)
        m_clockDigits.push_back(QPixmap::fromImage(bitmaps.ClockDigitBitmaps(i)));
    buildFace();
    buildKeys();
    render();
}

QLabel *TfrmPanel::label(const char *name, const QString &text, const QRect &geometry,
                         int pixelSize, bool visible)
{
    auto *l = new QLabel(text, this);
    l->setObjectName(QLatin1String(name));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(true);
    l->setFont(font);
    l->setStyleSheet(QLatin1String(LcdInk));
    l->setGeometry(geometry);
    l->setVisible(visible);
    return l;
}

QLabel *TfrmPanel::picture(const char *name, const QPixmap &pixmap, const QPoint &at, bool visible)
{
    auto *l = new QLabel(this);
    l->setObjectName(QLatin1String(name));
    l->setPixmap(pixmap);
    l->setAttribute(Qt::WA_TranslucentBackground);
    const QSize size = pixmap.isNull() ? QSize(1, 1) : pixmap.deviceIndependentSize().toSize();
    l->setGeometry(QRect(at, size));
    l->setVisible(visible);
    return l;
}

void TfrmPanel::buildFace()
{
    const qreal ratio = devicePixelRatioF();
    imgPanel = picture("imgPanel", pictureNamed("PANEL", ratio), QPoint(0, 0), true);
    imgPanel->setGeometry(0, 0, 186, 548);

    const QPoint digitAt[4] = { { 0, 221 }, { 40, 220 }, { 84, 219 }, { 133, 219 } };
    for (int i = 0; i < 4; ++i) {
        const QByteArray name = "MainD" + QByteArray::number(i + 1);
        MainD[static_cast<std::size_t>(i)] = picture(name.constData(), {}, digitAt[i], true);
        MainD[static_cast<std::size_t>(i)]->setFixedSize(39, 70);
    }
    imgPoint = picture("imgPoint", pictureNamed("POINT", ratio), QPoint(120, 275), true);

    lblRangeLow = label("lblRangeLow", QStringLiteral("30"), QRect(9, 110, 30, 16), 13, true);
    lblRangeHigh = label("lblRangeHigh", QStringLiteral("130"), QRect(150, 110, 30, 16), 13, true);
    imgColorBar = picture("imgColorBar", pictureNamed("COLORBAR", ratio), QPoint(12, 130), true);
    imgColorBar->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    imgColorBar->setAttribute(Qt::WA_TranslucentBackground, false);

    const int clockLeft[8] = { 31, 44, 57, 70, 89, 104, 123, 137 };
    for (int i = 0; i < 8; ++i) {
        const QByteArray name = "LCDT" + QByteArray::number(i + 1);
        LCDT[static_cast<std::size_t>(i)]
            = picture(name.constData(), {}, QPoint(clockLeft[i], 164), true);
        LCDT[static_cast<std::size_t>(i)]->setFixedSize(13, 22);
    }
    Image2 = picture("Image2", pictureNamed("COLON", ratio), QPoint(84, 162), true);
    Image1 = picture("Image1", pictureNamed("COLON", ratio), QPoint(117, 163), true);

    lblFAST = label("lblFAST", QStringLiteral("FAST"), QRect(57, 90, 36, 16), 13, true);
    lblSLOW = label("lblSLOW", QStringLiteral("SLOW"), QRect(94, 90, 40, 16), 13, false);
    imgUNDER = picture("imgUNDER", pictureNamed("UNDER", ratio), QPoint(13, 91), false);
    imgOVER = picture("imgOVER", pictureNamed("OVER", ratio), QPoint(140, 91), false);
    lblMIN = label("lblMIN", QStringLiteral("MIN"), QRect(17, 194, 30, 16), 13, false);
    lblMAX = label("lblMAX", QStringLiteral("MAX"), QRect(47, 194, 32, 16), 13, false);
    lbldBC = label("lbldBC", QStringLiteral("dBC"), QRect(93, 193, 38, 20), 16, false);
    lbldBA = label("lbldBA", QStringLiteral("dBA"), QRect(133, 193, 38, 20), 16, true);
    imgBat = picture("imgBat", pictureNamed("BAT5", ratio), QPoint(12, 300), true);
    imgAutoOff = picture("imgAutoOff", pictureNamed("AUTOOFF", ratio), QPoint(63, 298), false);
    lblREC = label("lblREC", QStringLiteral("REC"), QRect(89, 298, 36, 20), 16, false);
    lblFULL = label("lblFULL", QStringLiteral("FULL"), QRect(127, 298, 44, 20), 16, false);

    lblNoConnection = label("lblNoConnection", QStringLiteral("No Connection"),
                            QRect(23, 106, 140, 24), 20, false);
    lblNoConnection->setStyleSheet(QStringLiteral("color: red; background: transparent;"));
    lblNoConnection->setAlignment(Qt::AlignCenter);
}

void TfrmPanel::buildKeys()
{
    auto key = [this](const char *name, const QRect &geometry, const char *hint) {
        auto *area = new KeyArea(QLatin1String(name), geometry, this);
        area->setStatusTip(QLatin1String(hint));
        area->setAccessibleDescription(QLatin1String(hint));
        return area;
    };
    btnPower = key("btnPower", { 20, 365, 48, 25 }, "Close Control Panel");
    btnAC = key("btnAC", { 108, 364, 53, 31 }, "Frequency Weighting select button");
    btnMaxMin = key("btnMaxMin", { 17, 426, 48, 25 },
                    "single click to change MAX/MIN mode, double click  to cancel .");
    btnMaxMin->setToolTip(btnMaxMin->statusTip()); // the only key that shows its hint
    btnFast = key("btnFast", { 111, 423, 49, 31 }, "Time weighting select button");
    btnREC = key("btnREC", { 17, 482, 48, 30 }, "");
    btnLevel = key("btnLevel", { 110, 482, 51, 34 }, "");

    connect(btnPower, &KeyArea::clicked, this, &TfrmPanel::btnPowerClick);
    connect(btnAC, &KeyArea::clicked, this, &TfrmPanel::btnACClick);
    connect(btnMaxMin, &KeyArea::clicked, this, &TfrmPanel::btnMaxMinClick);
    connect(btnMaxMin, &KeyArea::doubleClicked, this, &TfrmPanel::btnMaxMinDblClick);
    connect(btnFast, &KeyArea::clicked, this, &TfrmPanel::btnFastClick);
    connect(btnREC, &KeyArea::clicked, this, &TfrmPanel::btnRECClick);
    connect(btnLevel, &KeyArea::clicked, this, &TfrmPanel::btnLevelClick);

    auto small = [this](const char *name, const char *icon, int left) {
        auto *b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setAutoRaise(true);
        b->setIcon(QIcon(QStringLiteral(":/") + QLatin1String(icon)));
        b->setIconSize(QSize(16, 14));
        b->setGeometry(left, 76, 16, 14);
        b->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; }"));
        return b;
    };
    SpeedButton1 = small("SpeedButton1", "ICON_MINIMIZE", 145);
    SpeedButton2 = small("SpeedButton2", "ICON_CLOSE", 164);
    connect(SpeedButton1, &QToolButton::clicked, this, &TfrmPanel::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TfrmPanel::SpeedButton2Click);
}

void TfrmPanel::setMeterBusy(bool busy)
{
    m_meterBusy = busy;
    for (KeyArea *key : { btnAC, btnMaxMin, btnFast, btnREC, btnLevel }) {
        key->setEnabled(!busy);
        key->setToolTip(busy ? meterBusyHint() : QString());
    }
    if (!busy)
        btnMaxMin->setToolTip(btnMaxMin->statusTip()); // the only key that shows its hint
}

void TfrmPanel::sendKey(char letter)
{
    if (m_meterBusy) {
        m_prompts.showMessage(meterBusyMessage());
        return;
    }
    // The meter changes its own state; the next live reading shows it.
    if (!m_link.SendMeterKey(letter))
        m_prompts.showMessage(QStringLiteral("Connect fail"));
}

void TfrmPanel::SpeedButton1Click()
{
    auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (!frame) {
        showMinimized();
        return;
    }
    // A window without a title bar would vanish when minimised: the minimised panel shows its
    // caption like any other window, and loses it again when restored.
    const QPoint normalPosition = frame->pos();
    frame->setWindowFlags(Qt::SubWindow);
    frame->setMinimumSize(0, 0);
    frame->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    frame->showMinimized();
    // Only this watch is dropped when the panel is restored: the frame's own connections (the
    // client area's, among them) stay, so that minimising works again and again.
    disconnect(m_restoreWatch);
    m_restoreWatch = connect(frame, &QMdiSubWindow::windowStateChanged, this,
                             [this, frame, normalPosition](Qt::WindowStates, Qt::WindowStates now) {
                                 if (now & Qt::WindowMinimized)
                                     return;
                                 disconnect(m_restoreWatch);
                                 frame->setWindowFlags(Qt::FramelessWindowHint);
                                 frame->setWindowState(Qt::WindowNoState);
                                 frame->setFixedSize(ClientWidth, ClientHeight);
                                 frame->move(normalPosition);
                                 frame->show();
                             });
}

void TfrmPanel::updateFromReading(const LiveReading &reading)
{
    switch (m_display.update(reading, reading.displayedLevel(), m_maxMinTimer.isActive())) {
    case PanelDisplay::BlinkTimer::Start:
        m_maxMinTimer.start();
        break;
    case PanelDisplay::BlinkTimer::Stop:
        m_maxMinTimer.stop();
        break;
    case PanelDisplay::BlinkTimer::Keep:
        break;
    }
    render();
}

void TfrmPanel::showNoConnection(bool shown)
{
    m_display.setNoConnection(shown);
    render();
}

void TfrmPanel::setLevelDigits(const std::array<int, 4> &digits)
{
    m_display.setLevelDigits(digits);
    render();
}

void TfrmPanel::MaxMinTimerTimer()
{
    MaxMinBusy = true;
    m_display.blinkTick();
    render();
    MaxMinBusy = false;
}

void TfrmPanel::render()
{
    const PanelView &v = m_display.view();
    const bool all = !m_drawn.has_value();
    const PanelView old = all ? PanelView {} : *m_drawn;
    auto show = [all](QWidget *w, bool now, bool before) {
        if (all || now != before)
            w->setVisible(now);
    };
    show(lblREC, v.rec, old.rec);
    show(lbldBA, v.dBA, old.dBA);
    show(lbldBC, v.dBC, old.dBC);
    show(lblFAST, v.fastShown, old.fastShown);
    show(lblSLOW, v.slowShown, old.slowShown);
    show(imgUNDER, v.under, old.under);
    show(imgOVER, v.over, old.over);
    show(lblFULL, v.full, old.full);
    show(lblMAX, v.maxShown, old.maxShown);
    show(lblMIN, v.minShown, old.minShown);
    show(lblNoConnection, v.noConnection, old.noConnection);

    auto digit = [](const std::vector<QPixmap> &table, int index) {
        return (index >= 0 && index < static_cast<int>(table.size()))
            ? table[static_cast<std::size_t>(index)]
            : QPixmap();
    };
    for (std::size_t i = 0; i < LCDT.size(); ++i)
        if (all || v.clockDigits[i] != old.clockDigits[i])
            LCDT[i]->setPixmap(digit(m_clockDigits, v.clockDigits[i]));
    for (std::size_t i = 0; i < MainD.size(); ++i)
        if (all || v.levelDigits[i] != old.levelDigits[i])
            MainD[i]->setPixmap(digit(m_displayDigits, v.levelDigits[i]));
    if (all || v.rangeLow != old.rangeLow)
        lblRangeLow->setText(v.rangeLow);
    if (all || v.rangeHigh != old.rangeHigh)
        lblRangeHigh->setText(v.rangeHigh);
    if (all || v.barWidth != old.barWidth)
        imgColorBar->resize(qMax(0, v.barWidth), imgColorBar->height());
    m_drawn = v;
}

QWidget *TfrmPanel::moveTarget()
{
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
        return frame;
    return window();
}

void TfrmPanel::mousePressEvent(QMouseEvent *event)
{
    // Dragging the face moves the window, as a title bar would.
    if (event->button() != Qt::LeftButton)
        return;
    QWidget *target = moveTarget();
    m_dragging = true;
    m_dragOffset = event->globalPosition().toPoint() - target->pos();
    if (auto *frame = qobject_cast<QMdiSubWindow *>(target))
        if (frame->mdiArea())
            frame->mdiArea()->setActiveSubWindow(frame);
}

void TfrmPanel::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging)
        moveTarget()->move(event->globalPosition().toPoint() - m_dragOffset);
}

void TfrmPanel::mouseReleaseEvent(QMouseEvent *)
{
    m_dragging = false;
}

void TfrmPanel::closeEvent(QCloseEvent *event)
{
    while (MaxMinBusy)
        QCoreApplication::processEvents();
    MdiChildForm::closeEvent(event);
}
