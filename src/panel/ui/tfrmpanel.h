#pragma once

#include "base/ui/mdichildform.h"
#include "panel/paneldisplay.h"

#include <QPixmap>
#include <QPointer>

#include <array>
#include <optional>
#include <vector>

class BitmapTable;
class KeyArea;
class MeterLink;
class Prompts;
class QLabel;
class QTimer;
class QToolButton;
struct LiveReading;

// The control panel: a picture of the meter's front that mirrors its display from each live
// reading and sends its keys. It has no title bar and is moved by dragging its face.
class TfrmPanel : public MdiChildForm
{
    Q_OBJECT

public:
    static constexpr int ClientWidth = 186;
    static constexpr int ClientHeight = 547;

    // maxMinTimer: the main window's MAX/MIN blink timer, started and stopped by the display.
    TfrmPanel(const BitmapTable &bitmaps, MeterLink &link, Prompts &prompts, QTimer &maxMinTimer,
              QWidget *parent = nullptr);

    // Shows a good live reading.
    void updateFromReading(const LiveReading &reading);
    // Shows or hides "No Connection".
    void showNoConnection(bool shown);
    // Sets the four level digits to pictures of the digit table (start-up shows 1, 8, 8, 8).
    void setLevelDigits(const std::array<int, 4> &digits);
    // The blink timer's tick.
    void MaxMinTimerTimer();
    // While another exchange has the meter to itself (an LEQ measurement, a download, a setup
    // command), a key would close the device under it: the keys are disabled with a hint that
    // says why, and a key that arrives anyway is refused with a message.
    void setMeterBusy(bool busy);

    const PanelDisplay &display() const { return m_display; }

    // The key handlers: each sends its key to the meter.
    void btnACClick() { sendKey('C'); }
    void btnFastClick() { sendKey('F'); }
    void btnRECClick() { sendKey('R'); }
    void btnLevelClick() { sendKey('L'); }
    void btnMaxMinClick() { sendKey('M'); }
    void btnMaxMinDblClick() { sendKey('N'); }
    void btnPowerClick() { closeForm(); }
    void SpeedButton1Click();
    void SpeedButton2Click() { closeForm(); }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildFace();
    void buildKeys();
    void sendKey(char letter);
    void render();
    QLabel *label(const char *name, const QString &text, const QRect &geometry, int pixelSize,
                  bool visible);
    QLabel *picture(const char *name, const QPixmap &pixmap, const QPoint &at, bool visible);
    QWidget *moveTarget();

    MeterLink &m_link;
    Prompts &m_prompts;
    QTimer &m_maxMinTimer;
    PanelDisplay m_display;
    bool MaxMinBusy = false;
    bool m_meterBusy = false;

    std::vector<QPixmap> m_displayDigits;
    std::vector<QPixmap> m_clockDigits;
    std::optional<PanelView> m_drawn; // what is on screen, to redraw only what changed

    QPoint m_dragOffset;
    bool m_dragging = false;
    QMetaObject::Connection m_restoreWatch; // restores the frameless look after a minimise

    // The panel's elements, named as on the meter's display.
    QLabel *imgPanel = nullptr;
    std::array<QLabel *, 4> MainD {};
    QLabel *imgPoint = nullptr;
    QLabel *lblRangeLow = nullptr, *lblRangeHigh = nullptr;
    QLabel *imgColorBar = nullptr;
    std::array<QLabel *, 8> LCDT {};
    QLabel *Image1 = nullptr, *Image2 = nullptr;
    QLabel *lblFAST = nullptr, *lblSLOW = nullptr;
    QLabel *imgUNDER = nullptr, *imgOVER = nullptr;
    QLabel *lblMIN = nullptr, *lblMAX = nullptr;
    QLabel *lbldBC = nullptr, *lbldBA = nullptr;
    QLabel *imgBat = nullptr, *imgAutoOff = nullptr;
    QLabel *lblREC = nullptr, *lblFULL = nullptr;
    QLabel *lblNoConnection = nullptr;
    KeyArea *btnPower = nullptr, *btnAC = nullptr, *btnMaxMin = nullptr, *btnFast = nullptr,
            *btnREC = nullptr, *btnLevel = nullptr;
    QToolButton *SpeedButton1 = nullptr, *SpeedButton2 = nullptr;
};
