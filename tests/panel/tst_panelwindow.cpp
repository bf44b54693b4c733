// The panel window: random replies through the poll, the display rules and the window; what a
// reading shows on its widgets, and its keys sent to the simulated meter.

#include "tst_panel.h"

#include <QElapsedTimer>
#include <QHash>
#include <QLabel>
#include <QRandomGenerator>
#include <QSignalSpy>

namespace {

// A transport that hands back the reply it is given, echoing the request's sequence byte in
// byte 30 when echo is set, and notes the command letters written.
class ReplayUsb : public MeterUsb
{
public:
    ReplyReport next {};
    bool echo = true;
    QByteArray letters;

    int UsbClose() override { return 0; }
    int UsbAfterWrite() override { return 0; }
    int UsbGetSerialNumber(int, char *, int) override { return 0; }
    int UsbOpen(quint16, quint16) override { return 0; }
    int UsbReadReport(int, quint8 *buffer) override
    {
        if (echo)
            next[30] = m_sequence;
        std::copy(next.begin(), next.end(), buffer);
        return 0;
    }
    int UsbSetTimeouts(int, int) override { return 0; }
    int UsbWriteReport(int, const quint8 *buffer) override
    {
        letters += static_cast<char>(buffer[1]);
        m_sequence = buffer[5];
        return 0;
    }
    int UsbWriteData(int, const quint8 *) override { return 0; }

private:
    quint8 m_sequence = 0;
};

// Mostly framed replies whose fields lean towards the values the meter sends, so that every
// rule of the display is exercised; the rest is noise.
ReplyReport randomReply(QRandomGenerator &random)
{
    ReplyReport reply;
    for (quint8 &b : reply)
        b = static_cast<quint8>(random.bounded(256));
    if (random.bounded(8) == 0)
        return reply;
    reply[0] = 0x02;
    reply[31] = 0x03;
    const auto pick = [&random](std::initializer_list<int> values) {
        return static_cast<quint8>(*(values.begin() + random.bounded(int(values.size()))));
    };
    if (random.bounded(4) != 0)
        reply[3] = pick({ 0x11, 0x22, 0x44, 0x88 });
    if (random.bounded(4) != 0)
        reply[4] = pick({ 0x00, 0x11, 0x22, 0x44 });
    for (const std::size_t at : { 5u, 11u, 13u }) {
        if (random.bounded(4) != 0) {
            const int level = random.bounded(1500);
            reply[at] = static_cast<quint8>(level >> 8);
            reply[at + 1] = static_cast<quint8>(level);
        }
    }
    const int limits[] = { 60, 60, 24 };
    for (std::size_t k = 0; k < 3; ++k) {
        const int roll = random.bounded(16);
        if (roll == 0)
            reply[15 + k] = 0x5A;
        else if (roll < 13)
            reply[15 + k] = static_cast<quint8>(random.bounded(limits[k] / 10 + 1) * 16
                                                + random.bounded(10)); // BCD, or 24-29 h
    }
    return reply;
}

} // namespace

void TestPanel::randomReplies()
{
    // Random replies through the poll, the display rules and (every tenth) the panel window.
    // What must hold for any reply is checked here; the tables above pin the exact digits,
    // bar widths and clock rules.
    using Timer = PanelDisplay::BlinkTimer;
    QElapsedTimer elapsed;
    elapsed.start();
    QRandomGenerator random(0x7316);
    ReplayUsb usb;
    MeterLink link(usb);
    bool connected = true;
    int failures = 0;
    PanelDisplay display;
    bool blinking = false;
    PanelRig rig(m_bitmaps);
    TfrmPanel &panel = rig.panel;
    QHash<QByteArray, const QWidget *> widgets;
    const auto on = [&](const QByteArray &name) {
        const QWidget *&widget = widgets[name];
        if (!widget)
            widget = panel.findChild<QWidget *>(QLatin1String(name));
        return widget;
    };
    const auto picture = [&](const QByteArray &name) {
        return qobject_cast<const QLabel *>(on(name))->pixmap();
    };
    int framed = 0;

    for (int i = 0; i < 100000; ++i) {
        usb.next = randomReply(random);
        usb.echo = random.bounded(4) != 0;
        usb.letters.clear();
        const ConnectionMonitor::Result result = ConnectionMonitor::tick(link, connected, failures);
        const ReplyReport &reply = link.reply();
        QVERIFY(connected);
        QVERIFY(usb.letters == (reply[30] == link.sequence() ? "A" : "AQ"));
        if (!LiveReading::isFramed(reply)) {
            QVERIFY(result.outcome == ConnectionMonitor::Outcome::IgnoredReply);
            QVERIFY(!result.reading);
            continue;
        }
        ++framed;
        QVERIFY(result.outcome == ConnectionMonitor::Outcome::Reading && result.reading);
        const LiveReading &r = *result.reading;
        const quint16 level = r.displayedLevel();
        QVERIFY(r.currentLevel() == float(level) * 0.1f);

        const PanelView before = display.view();
        const quint8 lastSeconds = display.lastClockSeconds();
        const Timer timer = display.update(r, level, blinking);
        const PanelView &v = display.view();

        // Level digits: indices into the digit table that spell the level.
        for (const int d : v.levelDigits)
            QVERIFY(d >= 0 && d < BitmapTable::DisplayDigitCount);
        if (level < 10000) {
            QVERIFY(v.levelDigits[0] != 0);
            const int thousands = v.levelDigits[0] == PanelView::BlankDigit ? 0 : v.levelDigits[0];
            QVERIFY(thousands * 1000 + v.levelDigits[1] * 100 + v.levelDigits[2] * 10
                        + v.levelDigits[3]
                    == level);
        }

        // Range and bar.
        const auto limits = [](quint8 range) -> std::pair<int, int> {
            switch (range) {
            case 0x11:
                return { 300, 900 };
            case 0x22:
                return { 500, 1100 };
            case 0x44:
                return { 700, 1300 };
            case 0x88:
                return { 300, 1300 };
            default:
                return { -1, -1 };
            }
        };
        const auto [floor, top] = limits(r.range);
        if (floor < 0) {
            QVERIFY(v.barWidth == before.barWidth);
            QVERIFY(v.rangeLow == before.rangeLow && v.rangeHigh == before.rangeHigh);
        } else {
            QVERIFY(v.barWidth >= 4);
            QVERIFY(v.rangeLow == QString::number(floor / 10));
            QVERIFY(v.rangeHigh == QString::number(top / 10));
        }

        // Clock.
        QVERIFY(v.clockDigits[0] == -1 && v.clockDigits[1] == -1);
        for (const int d : v.clockDigits)
            QVERIFY(d >= -1 && d <= 9);
        // The clock digits (worked out by the clock table above) change only with the seconds.
        if (r.clockSeconds == lastSeconds)
            QVERIFY(v.clockDigits == before.clockDigits);

        // Annunciators and MAX/MIN.
        QVERIFY(v.rec == r.recording && v.dBA == r.weightingA && v.dBC == !r.weightingA);
        QVERIFY(v.fastShown == r.fast && v.slowShown == !r.fast);
        QVERIFY(v.under == r.under && v.over == r.over && v.full == r.memoryFull);
        if (!r.maxMinActive)
            QVERIFY(timer == Timer::Stop && !v.maxShown && !v.minShown);
        else if (r.maxMinState == 0x11)
            QVERIFY(timer == Timer::Stop && v.maxShown && !v.minShown);
        else if (r.maxMinState == 0x22)
            QVERIFY(timer == Timer::Stop && !v.maxShown && v.minShown);
        else if (r.maxMinState == 0x00)
            QVERIFY(timer == Timer::Stop && v.maxShown == before.maxShown
                    && v.minShown == before.minShown);
        else if (r.maxMinState == 0x44)
            QVERIFY(timer == (blinking ? Timer::Keep : Timer::Start));
        else
            QVERIFY(timer == Timer::Keep && v.maxShown == before.maxShown
                    && v.minShown == before.minShown);
        if (timer != Timer::Keep)
            blinking = timer == Timer::Start;
        if (blinking && random.bounded(2) == 0)
            display.blinkTick();

        // The window, with its own display and timer.
        if (i % 10 != 0)
            continue;
        const bool wasBlinking = rig.maxMinTimer.isActive();
        panel.updateFromReading(r);
        if (!r.maxMinActive || r.maxMinState == 0x00 || r.maxMinState == 0x11
            || r.maxMinState == 0x22)
            QVERIFY(!rig.maxMinTimer.isActive());
        else if (r.maxMinState == 0x44)
            QVERIFY(rig.maxMinTimer.isActive());
        else
            QVERIFY(rig.maxMinTimer.isActive() == wasBlinking);
        if (rig.maxMinTimer.isActive() && random.bounded(2) == 0)
            panel.MaxMinTimerTimer();
        const PanelView &w = panel.display().view();
        QVERIFY(on("imgColorBar")->width() == w.barWidth);
        QVERIFY(qobject_cast<const QLabel *>(on("lblRangeLow"))->text() == w.rangeLow);
        QVERIFY(qobject_cast<const QLabel *>(on("lblRangeHigh"))->text() == w.rangeHigh);
        const std::pair<const char *, bool> shown[] = {
            { "lblREC", w.rec },      { "lblFULL", w.full },      { "lbldBA", w.dBA },
            { "lbldBC", w.dBC },      { "lblFAST", w.fastShown }, { "lblSLOW", w.slowShown },
            { "imgUNDER", w.under },  { "imgOVER", w.over },      { "lblMAX", w.maxShown },
            { "lblMIN", w.minShown },
        };
        for (const auto &[name, visible] : shown)
            QVERIFY2(on(name)->isHidden() != visible, name);
        for (int k = 1; k <= 4; ++k)
            QVERIFY(!picture("MainD" + QByteArray::number(k)).isNull());
        for (int k = 1; k <= 8; ++k)
            QVERIFY(picture("LCDT" + QByteArray::number(k)).isNull()
                    == (w.clockDigits[std::size_t(k - 1)] < 0));
    }
    QVERIFY(framed > 80000);
    qInfo("100000 replies, %d framed, in %lld ms", framed, elapsed.elapsed());
}

void TestPanel::readingShowsOnWidgets()
{
    PanelRig rig(m_bitmaps);
    const auto digitShown = [&rig](const char *name, const QImage &picture) {
        const auto *label = rig.panel.findChild<QLabel *>(QLatin1String(name));
        return label && label->pixmap().toImage() == QPixmap::fromImage(picture).toImage();
    };

    LiveReading r;
    r.recording = true;
    r.weightingA = false;
    r.fast = false;
    r.under = true;
    r.memoryFull = true;
    r.range = 0x22;
    r.maxMinActive = true;
    r.maxMinState = 0x22;
    r.level = 700;
    r.minLevel = 812;
    r.clockSeconds = 0x56;
    r.clockMinutes = 0x34;
    r.clockHours = 0x12;
    rig.panel.updateFromReading(r);

    QVERIFY(rig.shown("lblREC") && rig.shown("lblFULL") && rig.shown("imgUNDER"));
    QVERIFY(rig.shown("lbldBC") && !rig.shown("lbldBA"));
    QVERIFY(rig.shown("lblSLOW") && !rig.shown("lblFAST"));
    QVERIFY(!rig.shown("imgOVER"));
    QVERIFY(rig.shown("lblMIN") && !rig.shown("lblMAX"));
    QCOMPARE(rig.panel.findChild<QLabel *>("lblRangeLow")->text(), QStringLiteral("50"));
    QCOMPARE(rig.panel.findChild<QLabel *>("lblRangeHigh")->text(), QStringLiteral("110"));
    QCOMPARE(rig.child("imgColorBar")->width(), (812 - 500) / 4 + 4);
    QVERIFY(digitShown("MainD1", m_bitmaps.DisplayDigitBitmaps(PanelView::BlankDigit)));
    QVERIFY(digitShown("MainD2", m_bitmaps.DisplayDigitBitmaps(8)));
    QVERIFY(digitShown("MainD3", m_bitmaps.DisplayDigitBitmaps(1)));
    QVERIFY(digitShown("MainD4", m_bitmaps.DisplayDigitBitmaps(2)));
    QVERIFY(rig.panel.findChild<QLabel *>("LCDT1")->pixmap().isNull());
    QVERIFY(rig.panel.findChild<QLabel *>("LCDT2")->pixmap().isNull());
    const int clock[] = { 1, 2, 3, 4, 5, 6 };
    for (int k = 0; k < 6; ++k) {
        const QByteArray name = "LCDT" + QByteArray::number(k + 3);
        QVERIFY2(digitShown(name.constData(), m_bitmaps.ClockDigitBitmaps(clock[k])),
                 name.constData());
    }

    // Everything the other way round: each widget has to follow.
    r = LiveReading {};
    r.weightingA = true;
    r.fast = true;
    r.over = true;
    r.range = 0x11;
    r.level = 1234;
    r.clockSeconds = 0x57;
    r.clockMinutes = 0x34;
    r.clockHours = 0x12;
    rig.panel.updateFromReading(r);
    QVERIFY(!rig.shown("lblREC") && !rig.shown("lblFULL") && !rig.shown("imgUNDER"));
    QVERIFY(!rig.shown("lbldBC") && rig.shown("lbldBA"));
    QVERIFY(!rig.shown("lblSLOW") && rig.shown("lblFAST"));
    QVERIFY(rig.shown("imgOVER"));
    QVERIFY(!rig.shown("lblMIN") && !rig.shown("lblMAX"));
    QCOMPARE(rig.panel.findChild<QLabel *>("lblRangeLow")->text(), QStringLiteral("30"));
    QCOMPARE(rig.panel.findChild<QLabel *>("lblRangeHigh")->text(), QStringLiteral("90"));
    QCOMPARE(rig.child("imgColorBar")->width(), (1234 - 300) / 4 + 4);
    QVERIFY(digitShown("MainD1", m_bitmaps.DisplayDigitBitmaps(1)));
    QVERIFY(digitShown("LCDT8", m_bitmaps.ClockDigitBitmaps(7)));

    // A key click leaves the display alone: the next reading shows what the meter did.
    QTest::mouseClick(rig.child("btnREC"), Qt::LeftButton);
    QVERIFY(!rig.shown("lblREC"));
}

void TestPanel::keys_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<char>("letter");
    QTest::newRow("A/C") << "btnAC" << 'C';
    QTest::newRow("FAST/SLOW") << "btnFast" << 'F';
    QTest::newRow("REC") << "btnREC" << 'R';
    QTest::newRow("LEVEL") << "btnLevel" << 'L';
    QTest::newRow("MAX/MIN") << "btnMaxMin" << 'M';
}

void TestPanel::keys()
{
    QFETCH(QString, key);
    QFETCH(char, letter);
    PanelRig rig(m_bitmaps);
    rig.panel.show();
    auto *area = rig.panel.findChild<KeyArea *>(key);
    QVERIFY(area);
    QTest::mouseClick(area, Qt::LeftButton);

    const char frame[] = { 0x02, letter, 0, 0, 0, 0, 0x03 };
    QCOMPARE(rig.usb.writes(), QList<QByteArray> { QByteArray(frame, sizeof frame) });
    QCOMPARE(rig.usb.sequence(), QStringLiteral("Close Open SetTimeouts Write Close"));
    const RecordingMeterUsb::Call &timeouts = rig.usb.calls().at(2);
    QCOMPARE(timeouts.a, 500);
    QCOMPARE(timeouts.b, 500);
    QVERIFY(rig.prompts.messages.isEmpty());

    // A press that is released outside the key is no click.
    rig.usb.clear();
    QTest::mousePress(area, Qt::LeftButton);
    QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(-5, -5));
    QVERIFY(rig.usb.calls().isEmpty());
}

void TestPanel::maxMinDoubleClick()
{
    PanelRig rig(m_bitmaps);
    rig.panel.show();
    QWidget *key = rig.child("btnMaxMin");
    // As a real double click arrives: press, release, double click, release.
    QTest::mouseClick(key, Qt::LeftButton);
    QTest::mouseDClick(key, Qt::LeftButton);
    QTest::mouseRelease(key, Qt::LeftButton);

    const QList<QByteArray> writes = rig.usb.writes();
    QCOMPARE(writes.size(), 2);
    QCOMPARE(writes.at(0).at(1), 'M');
    QCOMPARE(writes.at(1).at(1), 'N');
    QCOMPARE(rig.usb.sequence(),
             QStringLiteral("Close Open SetTimeouts Write Close "
                            "Close Open SetTimeouts Write Close"));
    QVERIFY(!rig.meter.state().maxMinActive);

    // A single click afterwards is a click again.
    QTest::mouseClick(key, Qt::LeftButton);
    QCOMPARE(rig.usb.writes().size(), 3);
    QCOMPARE(rig.usb.writes().at(2).at(1), 'M');
}

void TestPanel::keysWithoutMeter_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("openFails");
    for (const char *key : { "btnAC", "btnFast", "btnREC", "btnLevel", "btnMaxMin" })
        QTest::addRow("%s, no meter", key) << QString::fromLatin1(key) << true;
    QTest::newRow("btnREC, time-outs refused") << "btnREC" << false;
}

void TestPanel::keysWithoutMeter()
{
    QFETCH(QString, key);
    QFETCH(bool, openFails);
    PanelRig rig(m_bitmaps);
    rig.panel.show();
    rig.meter.faults().openFails = openFails;
    rig.meter.faults().setTimeoutsFails = !openFails;
    QWidget *area = rig.panel.findChild<QWidget *>(key);
    QVERIFY(area);
    for (int clicks = 1; clicks <= 2; ++clicks) {
        QTest::mouseClick(area, Qt::LeftButton);
        QCOMPARE(rig.prompts.messages, QStringList(clicks, QStringLiteral("Connect fail")));
    }
    QVERIFY(rig.usb.writes().isEmpty());
    QVERIFY(rig.prompts.errors.isEmpty());
}

void TestPanel::keyAreasLook()
{
    PanelRig rig(m_bitmaps);
    const QList<KeyArea *> areas = rig.panel.findChildren<KeyArea *>();
    QCOMPARE(areas.size(), 6);
    for (const KeyArea *area : areas)
        QVERIFY2(area->cursor().shape() == Qt::PointingHandCursor, qPrintable(area->objectName()));

    QStringList withTooltip;
    for (const QWidget *w : rig.panel.findChildren<QWidget *>())
        if (!w->toolTip().isEmpty())
            withTooltip << w->objectName();
    QCOMPARE(withTooltip, QStringList { QStringLiteral("btnMaxMin") });
    QCOMPARE(rig.child("btnMaxMin")->toolTip(),
             QStringLiteral("single click to change MAX/MIN mode, double click  to cancel ."));
}

void TestPanel::closeKeys_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("power key") << "btnPower";
    QTest::newRow("close button") << "SpeedButton2";
}

void TestPanel::closeKeys()
{
    QFETCH(QString, key);
    PanelRig rig(m_bitmaps);
    rig.panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.panel));
    QSignalSpy closed(&rig.panel, &MdiChildForm::formClosed);
    QWidget *w = rig.panel.findChild<QWidget *>(key);
    QVERIFY(w);
    QTest::mouseClick(w, Qt::LeftButton);
    QCOMPARE(closed.count(), 1);
    QVERIFY(!rig.panel.isVisible());
    QVERIFY(rig.usb.calls().isEmpty()); // no key goes to the meter
}

void TestPanel::maxMinBlinking()
{
    PanelRig rig(m_bitmaps);
    QTimer &timer = rig.maxMinTimer;
    rig.panel.updateFromReading(maxMinReading(true, 0x44));
    QVERIFY(timer.isActive());
    QVERIFY(!rig.shown("lblMAX") && !rig.shown("lblMIN"));

    for (int tick = 1; tick <= 4; ++tick) {
        rig.panel.MaxMinTimerTimer();
        const bool shown = tick % 2 == 1;
        QCOMPARE(rig.shown("lblMAX"), shown);
        QCOMPARE(rig.shown("lblMIN"), shown);
        // Readings that go on alternating leave the timer and the labels alone.
        rig.panel.updateFromReading(maxMinReading(true, 0x44));
        QVERIFY(timer.isActive());
        QCOMPARE(rig.shown("lblMAX"), shown);
    }

    rig.panel.updateFromReading(maxMinReading(true, 0x11));
    QVERIFY(!timer.isActive());
    QVERIFY(rig.shown("lblMAX") && !rig.shown("lblMIN"));

    rig.panel.updateFromReading(maxMinReading(true, 0x44));
    QVERIFY(timer.isActive());
    rig.panel.updateFromReading(maxMinReading(false, 0x00));
    QVERIFY(!timer.isActive());
    QVERIFY(!rig.shown("lblMAX") && !rig.shown("lblMIN"));
}
