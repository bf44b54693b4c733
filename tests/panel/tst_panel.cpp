// The control panel's display rules: what a live reading shows (level digits, bar, range, clock,
// annunciators, MAX/MIN) and the MAX/MIN blink.

#include "tst_panel.h"

namespace {

Digits toList(const auto &array)
{
    return Digits(array.begin(), array.end());
}

LiveReading readingWithClock(int seconds, int minutes, int hours)
{
    LiveReading r;
    r.clockSeconds = static_cast<quint8>(seconds);
    r.clockMinutes = static_cast<quint8>(minutes);
    r.clockHours = static_cast<quint8>(hours);
    return r;
}

} // namespace

void TestPanel::levelDigits_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<Digits>("digits");
    const int blank = PanelView::BlankDigit;
    const int dash = PanelView::DashDigit;
    QTest::newRow("94.0 dB") << 940 << Digits { blank, 9, 4, 0 };
    QTest::newRow("123.4 dB") << 1234 << Digits { 1, 2, 3, 4 };
    QTest::newRow("5.0 dB shows 05.0") << 50 << Digits { blank, 0, 5, 0 };
    QTest::newRow("0.5 dB shows 00.5") << 5 << Digits { blank, 0, 0, 5 };
    QTest::newRow("0") << 0 << Digits { blank, 0, 0, 0 };
    QTest::newRow("100.0 dB") << 1000 << Digits { 1, 0, 0, 0 };
    QTest::newRow("999.9 dB") << 9999 << Digits { 9, 9, 9, 9 };
    QTest::newRow("10000: no fifth digit") << 10000 << Digits { dash, dash, dash, dash };
    QTest::newRow("65535") << 65535 << Digits { dash, dash, dash, dash };
}

void TestPanel::levelDigits()
{
    QFETCH(int, level);
    QFETCH(Digits, digits);
    PanelDisplay display;
    LiveReading r;
    r.level = static_cast<quint16>(level);
    display.update(r, r.displayedLevel(), false);
    QCOMPARE(toList(display.view().levelDigits), digits);
}

void TestPanel::rangeAndBar_data()
{
    QTest::addColumn<int>("range");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("low");
    QTest::addColumn<QString>("high");
    const auto row
        = [](const char *name, int range, int level, int width, const char *low, const char *high) {
              QTest::newRow(name) << range << level << width << QString::fromLatin1(low)
                                  << QString::fromLatin1(high);
          };
    row("30-90, below the floor", 0x11, 0, 4, "30", "90");
    row("30-90, 30.0 dB", 0x11, 300, 4, "30", "90");
    row("30-90, 30.1 dB", 0x11, 301, 4, "30", "90");
    row("30-90, 30.4 dB", 0x11, 304, 5, "30", "90");
    row("30-90, 90.0 dB", 0x11, 900, 154, "30", "90");
    row("30-90, 100.0 dB is not clamped", 0x11, 1000, 179, "30", "90");
    row("50-110, 50.0 dB", 0x22, 500, 4, "50", "110");
    row("50-110, 80.0 dB", 0x22, 800, 79, "50", "110");
    row("50-110, 110.0 dB", 0x22, 1100, 154, "50", "110");
    row("70-130, 70.0 dB", 0x44, 700, 4, "70", "130");
    row("70-130, 130.0 dB", 0x44, 1300, 154, "70", "130");
    row("30-130, 30.0 dB", 0x88, 300, 4, "30", "130");
    row("30-130, 40.0 dB", 0x88, 400, 19, "30", "130");
    row("30-130, 30.7 dB", 0x88, 307, 5, "30", "130");
    row("30-130, 130.0 dB", 0x88, 1300, 154, "30", "130");
}

void TestPanel::rangeAndBar()
{
    QFETCH(int, range);
    QFETCH(int, level);
    QFETCH(int, width);
    QFETCH(QString, low);
    QFETCH(QString, high);
    PanelDisplay display;
    LiveReading r;
    r.range = static_cast<quint8>(range);
    r.level = static_cast<quint16>(level);
    display.update(r, r.displayedLevel(), false);
    QCOMPARE(display.view().barWidth, width);
    QCOMPARE(display.view().rangeLow, low);
    QCOMPARE(display.view().rangeHigh, high);
}

void TestPanel::unknownRangeKeepsBar_data()
{
    QTest::addColumn<int>("range");
    for (const int code : { 0x00, 0x12, 0x33, 0x89, 0xFF })
        QTest::addRow("%02X", code) << code;
}

void TestPanel::unknownRangeKeepsBar()
{
    QFETCH(int, range);
    PanelDisplay display;
    LiveReading r;
    r.range = 0x22;
    r.level = 600;
    display.update(r, r.level, false);
    r.range = static_cast<quint8>(range);
    r.level = 1200;
    display.update(r, r.level, false);
    QCOMPARE(display.view().barWidth, 29);
    QCOMPARE(display.view().rangeLow, QStringLiteral("50"));
    QCOMPARE(display.view().rangeHigh, QStringLiteral("110"));
    QCOMPARE(toList(display.view().levelDigits), (Digits { 1, 2, 0, 0 })); // the level still shows
}

void TestPanel::clock_data()
{
    // Readings in order as seconds, minutes, hours bytes; the clock digits LCDT1 ... LCDT8 after
    // the last one.
    QTest::addColumn<QList<int>>("readings");
    QTest::addColumn<Digits>("digits");
    QTest::addColumn<int>("lastSeconds");
    const int off = -1;
    const Digits t103005 { off, off, 1, 0, 3, 0, 0, 5 };

    QTest::newRow("seconds 00 at start: not drawn")
        << QList<int> { 0x00, 0x30, 0x10 } << Digits(8, off) << 0;
    QTest::newRow("10:30:05") << QList<int> { 0x05, 0x30, 0x10 } << t103005 << 0x05;
    QTest::newRow("23:59:59") << QList<int> { 0x59, 0x59, 0x23 }
                              << Digits { off, off, 2, 3, 5, 9, 5, 9 } << 0x59;
    QTest::newRow("same seconds: not redrawn")
        << QList<int> { 0x05, 0x30, 0x10, 0x05, 0x31, 0x11 } << t103005 << 0x05;
    QTest::newRow("next second: redrawn") << QList<int> { 0x05, 0x30, 0x10, 0x06, 0x31, 0x11 }
                                          << Digits { off, off, 1, 1, 3, 1, 0, 6 } << 0x06;
    QTest::newRow("not set (5A) in seconds")
        << QList<int> { 0x5A, 0x30, 0x10 } << Digits(8, off) << 2;
    QTest::newRow("not set in minutes: clock kept")
        << QList<int> { 0x05, 0x30, 0x10, 0x06, 0x5A, 0x10 } << t103005 << 2;
    QTest::newRow("not set in hours: clock kept")
        << QList<int> { 0x05, 0x30, 0x10, 0x06, 0x30, 0x5A } << t103005 << 2;
    QTest::newRow("after not set, seconds 02 not drawn")
        << QList<int> { 0x05, 0x30, 0x10, 0x06, 0x5A, 0x10, 0x02, 0x45, 0x12 } << t103005 << 2;
    QTest::newRow("after not set, seconds 03 drawn")
        << QList<int> { 0x05, 0x30, 0x10, 0x06, 0x5A, 0x10, 0x03, 0x45, 0x12 }
        << Digits { off, off, 1, 2, 4, 5, 0, 3 } << 3;
    QTest::newRow("minutes 6B: hours drawn, the rest kept")
        << QList<int> { 0x05, 0x30, 0x10, 0x06, 0x6B, 0x11 }
        << Digits { off, off, 1, 1, 3, 0, 0, 5 } << 0x06;
    QTest::newRow("minutes 1A: hours drawn, the rest kept")
        << QList<int> { 0x05, 0x30, 0x10, 0x07, 0x1A, 0x22 }
        << Digits { off, off, 2, 2, 3, 0, 0, 5 } << 0x07;
    QTest::newRow("hours A1: nothing drawn")
        << QList<int> { 0x05, 0x30, 0x10, 0x07, 0x31, 0xA1 } << t103005 << 0x07;
    QTest::newRow("seconds 0F: hours and minutes drawn")
        << QList<int> { 0x05, 0x30, 0x10, 0x0F, 0x31, 0x11 }
        << Digits { off, off, 1, 1, 3, 1, 0, 5 } << 0x0F;
}

void TestPanel::clock()
{
    QFETCH(QList<int>, readings);
    QFETCH(Digits, digits);
    QFETCH(int, lastSeconds);
    PanelDisplay display;
    for (int i = 0; i + 2 < readings.size(); i += 3) {
        const LiveReading r = readingWithClock(readings[i], readings[i + 1], readings[i + 2]);
        display.update(r, r.displayedLevel(), false);
    }
    QCOMPARE(toList(display.view().clockDigits), digits);
    QCOMPARE(int(display.lastClockSeconds()), lastSeconds);
}

void TestPanel::annunciators_data()
{
    // Reply byte 1 and byte 2 as the meter sends them.
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("status");
    QTest::newRow("none: dBC, SLOW") << 0x00 << 0x00;
    QTest::newRow("REC") << 0x01 << 0x00;
    QTest::newRow("dBA") << 0x08 << 0x00;
    QTest::newRow("FAST") << 0x10 << 0x00;
    QTest::newRow("under") << 0x40 << 0x00;
    QTest::newRow("over") << 0x80 << 0x00;
    QTest::newRow("FULL") << 0x00 << 0x10;
    QTest::newRow("all") << 0xFF << 0xFF;
}

void TestPanel::annunciators()
{
    QFETCH(int, flags);
    QFETCH(int, status);
    const auto readingFor = [](int byte1, int byte2) {
        ReplyReport reply {};
        reply[0] = 0x02;
        reply[1] = static_cast<quint8>(byte1);
        reply[2] = static_cast<quint8>(byte2);
        reply[31] = 0x03;
        return LiveReading::decode(reply);
    };
    PanelDisplay display;
    // The opposite first, so that every annunciator has to change.
    const LiveReading opposite = readingFor(~flags & 0xFF, ~status & 0xFF);
    display.update(opposite, 0, false);
    const LiveReading r = readingFor(flags, status);
    display.update(r, 0, false);

    const PanelView &v = display.view();
    QCOMPARE(v.rec, bool(flags & 0x01));
    QCOMPARE(v.dBA, bool(flags & 0x08));
    QCOMPARE(v.dBC, !(flags & 0x08));
    QCOMPARE(v.fastShown, bool(flags & 0x10));
    QCOMPARE(v.slowShown, !(flags & 0x10));
    QCOMPARE(v.under, bool(flags & 0x40));
    QCOMPARE(v.over, bool(flags & 0x80));
    QCOMPARE(v.full, bool(status & 0x10));
}

void TestPanel::maxMin_data()
{
    using Timer = PanelDisplay::BlinkTimer;
    QTest::addColumn<int>("before"); // MAX/MIN state of an earlier reading in MAX/MIN mode
    QTest::addColumn<bool>("active");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("running");
    QTest::addColumn<Timer>("timer");
    QTest::addColumn<bool>("maxShown");
    QTest::addColumn<bool>("minShown");

    QTest::newRow("mode off hides MAX")
        << 0x11 << false << 0x11 << false << Timer::Stop << false << false;
    QTest::newRow("mode off stops blinking")
        << 0x22 << false << 0x44 << true << Timer::Stop << false << false;
    QTest::newRow("00 keeps MAX") << 0x11 << true << 0x00 << true << Timer::Stop << true << false;
    QTest::newRow("00 keeps MIN") << 0x22 << true << 0x00 << false << Timer::Stop << false << true;
    QTest::newRow("11 shows MAX only")
        << 0x22 << true << 0x11 << true << Timer::Stop << true << false;
    QTest::newRow("22 shows MIN only")
        << 0x11 << true << 0x22 << true << Timer::Stop << false << true;
    QTest::newRow("44 starts the timer")
        << 0x11 << true << 0x44 << false << Timer::Start << true << false;
    QTest::newRow("44 keeps a running timer")
        << 0x22 << true << 0x44 << true << Timer::Keep << false << true;
    QTest::newRow("33 changes nothing")
        << 0x11 << true << 0x33 << true << Timer::Keep << true << false;
    QTest::newRow("88 changes nothing")
        << 0x22 << true << 0x88 << false << Timer::Keep << false << true;
}

void TestPanel::maxMin()
{
    using Timer = PanelDisplay::BlinkTimer;
    QFETCH(int, before);
    QFETCH(bool, active);
    QFETCH(int, state);
    QFETCH(bool, running);
    QFETCH(Timer, timer);
    QFETCH(bool, maxShown);
    QFETCH(bool, minShown);
    PanelDisplay display;
    QCOMPARE(display.update(maxMinReading(true, before), 0, false), Timer::Stop);
    QCOMPARE(display.update(maxMinReading(active, state), 0, running), timer);
    QCOMPARE(display.view().maxShown, maxShown);
    QCOMPARE(display.view().minShown, minShown);
}

void TestPanel::blinkTick()
{
    PanelDisplay display;
    display.update(maxMinReading(true, 0x11), 0, false);
    for (int tick = 1; tick <= 4; ++tick) {
        display.blinkTick();
        const bool shown = tick % 2 == 1;
        QCOMPARE(display.blinkPhase(), shown);
        QCOMPARE(display.view().maxShown, shown);
        QCOMPARE(display.view().minShown, shown);
    }
}

QTEST_MAIN(TestPanel)
