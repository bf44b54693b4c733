// The sampling-rate texts, the two-thumb slider and the "Real-Time Setup" dialog.
// The process runs with a German system locale, so the dialog shows comma decimals.
#include "graph/samplingrate.h"
#include "graph/ui/tfrmsetuprealtime.h"
#include "graph/ui/tslider2.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <climits>
#include <cmath>

using namespace SamplingRate;

class TestGraphWidgets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rateItems();
    void itemForRate_data();
    void itemForRate();
    void tickDue_data();
    void tickDue();
    void periods_data();
    void periods();
    void parseRate_data();
    void parseRate();

    void sliderSetValue_data();
    void sliderSetValue();
    void sliderRange_data();
    void sliderRange();
    void sliderMouse_data();
    void sliderMouse();

    void dialogLayout();
    void dialogFormShow();
    void dialogPeriod_data();
    void dialogPeriod();
};

void TestGraphWidgets::rateItems()
{
    const QLocale us(QLocale::English, QLocale::UnitedStates), de(QLocale::German);
    QCOMPARE(graphBoxItems(us), QStringList({ "1.0", "2.0", "5.0", "10.0", "20.0", "30.0" }));
    QCOMPARE(graphBoxItems(de), QStringList({ "1,0", "2,0", "5,0", "10,0", "20,0", "30,0" }));
    QCOMPARE(dialogItems(us), QStringList({ "0.5", "1.0", "2.0", "5.0", "10.0", "20.0", "30.0" }));
    QCOMPARE(dialogItems(), dialogItems(de)); // the system locale
}

void TestGraphWidgets::itemForRate_data()
{
    QTest::addColumn<double>("rate");
    QTest::addColumn<int>("item"); // -1: none
    const QList<std::pair<double, int>> rows {
        { 0.2, 0 },  { 0.5, 0 },  { 1.0, 0 },   { 1.49, 0 },  { 1.5, 1 },   { 2.0, 1 },
        { 2.49, 1 }, { 2.5, 2 },  { 5.0, 2 },   { 5.5, 3 },   { 10.5, 4 },  { 20.0, 4 },
        { 20.5, 5 }, { 30.0, 5 }, { 30.49, 5 }, { 30.5, -1 }, { 60.0, -1 }, { qQNaN(), -1 }
    };
    for (const auto &[rate, item] : rows)
        QTest::addRow("%g", rate) << rate << item;
}

void TestGraphWidgets::itemForRate()
{
    QFETCH(double, rate);
    QFETCH(int, item);
    QCOMPARE(SamplingRate::itemForRate(rate).value_or(-1), item);
}

void TestGraphWidgets::tickDue_data()
{
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("due"); // ticks 1, 2, 3
    QTest::addColumn<double>("interval"); // seconds between the recorded points
    QTest::newRow("0.5") << 0.5 << "YYY" << 1.0;
    QTest::newRow("1.0") << 1.0 << "YYY" << 1.0;
    QTest::newRow("2.0") << 2.0 << "NYY" << 2.0;
    QTest::newRow("2.5") << 2.5 << "NNY" << 3.0;
}

void TestGraphWidgets::tickDue()
{
    QFETCH(double, rate);
    QFETCH(QString, due);
    QString got;
    for (int ticks = 1; ticks <= 3; ++ticks)
        got += SamplingRate::tickDue(ticks, rate) ? 'Y' : 'N';
    QCOMPARE(got, due);
    QFETCH(double, interval);
    QCOMPARE(SamplingRate::recordedInterval(rate), interval);
}

void TestGraphWidgets::periods_data()
{
    // The period of 1, 2000 and 86400 points: a point comes once a second at most, and at
    // 2.5 s every third second.
    QTest::addColumn<double>("rate");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("0.2") << 0.2 << QStringList { "0:00:01", "0:33:20", "24:00:00" };
    QTest::newRow("0.2 as float") << double(0.2f)
                                  << QStringList { "0:00:01", "0:33:20", "24:00:00" };
    QTest::newRow("0.5") << 0.5 << QStringList { "0:00:01", "0:33:20", "24:00:00" };
    QTest::newRow("1") << 1.0 << QStringList { "0:00:01", "0:33:20", "24:00:00" };
    QTest::newRow("2") << 2.0 << QStringList { "0:00:02", "1:06:40", "48:00:00" };
    QTest::newRow("2.5") << 2.5 << QStringList { "0:00:03", "1:40:00", "72:00:00" };
    QTest::newRow("5") << 5.0 << QStringList { "0:00:05", "2:46:40", "120:00:00" };
    QTest::newRow("30") << 30.0 << QStringList { "0:00:30", "16:40:00", "720:00:00" };
    QTest::newRow("0") << 0.0 << QStringList { "0:00:00", "0:00:00", "0:00:00" };
    QTest::newRow("negative") << -1.0 << QStringList { "0:00:00", "0:00:00", "0:00:00" };
    QTest::newRow("no number") << qQNaN() << QStringList { "0:00:00", "0:00:00", "0:00:00" };
}

void TestGraphWidgets::periods()
{
    QFETCH(double, rate);
    QFETCH(QStringList, texts);
    QCOMPARE((QStringList { periodText(1, rate), periodText(2000, rate), periodText(86400, rate) }),
             texts);
    QCOMPARE(periodText(0, rate), QString("0:00:00"));
}

void TestGraphWidgets::parseRate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("german");
    QTest::addColumn<double>("rate"); // NaN: no number
    const double none = qQNaN();
    QTest::newRow("point") << "2.0" << false << 2.0;
    QTest::newRow("blanks") << " 2.5 " << false << 2.5;
    QTest::newRow("letters") << "abc" << false << none;
    QTest::newRow("empty") << "" << false << none;
    QTest::newRow("nan") << "nan" << false << none;
    QTest::newRow("inf") << "-inf" << false << none;
    QTest::newRow("comma in en_US") << "2,5" << false << none;
    QTest::newRow("comma in de_DE") << " 0,5 " << true << 0.5;
    QTest::newRow("point in de_DE") << "2.5" << true << 2.5;
    QTest::newRow("no grouping in de_DE") << "2.500" << true << 2.5;
}

void TestGraphWidgets::parseRate()
{
    QFETCH(QString, text);
    QFETCH(bool, german);
    QFETCH(double, rate);
    const QLocale locale = german ? QLocale(QLocale::German) : QLocale(QLocale::English);
    const std::optional<double> got = SamplingRate::parseRate(text, locale);
    QCOMPARE(got.has_value(), !std::isnan(rate));
    if (got)
        QCOMPARE(*got, rate);
}

void TestGraphWidgets::sliderSetValue_data()
{
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("raised");
    QTest::newRow("inside") << 0 << 100 << 40 << 40 << 1;
    QTest::newRow("same value") << 0 << 100 << 0 << 0 << 0;
    QTest::newRow("below, already at minimum") << 10 << 20 << 5 << 10 << 0;
    QTest::newRow("above") << 10 << 20 << 25 << 20 << 1;
    QTest::newRow("negative range") << -50 << -10 << -30 << -30 << 1;
    QTest::newRow("maximum below minimum") << 10 << 5 << 7 << 10 << 0;
    QTest::newRow("full int range") << INT_MIN << INT_MAX << INT_MAX << INT_MAX << 1;
}

void TestGraphWidgets::sliderSetValue()
{
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, value);
    QFETCH(int, expected);
    QFETCH(int, raised);
    for (int thumb : { 1, 2 }) {
        Tslider2 slider;
        slider.setMinimum(minimum);
        slider.setMaximum(maximum);
        QSignalSpy spy1(&slider, &Tslider2::OnValueChange1),
            spy2(&slider, &Tslider2::OnValueChange2);
        QSignalSpy &mine = thumb == 1 ? spy1 : spy2, &other = thumb == 1 ? spy2 : spy1;
        for (int repeat = 0; repeat < 2; ++repeat) // setting it again raises nothing more
            thumb == 1 ? slider.setValue1(value) : slider.setValue2(value);
        QCOMPARE(thumb == 1 ? slider.Value1() : slider.Value2(), expected);
        QCOMPARE(mine.count(), raised);
        if (raised)
            QCOMPARE(mine.first().first().toInt(), expected);
        QCOMPARE(other.count(), 0);
        QCOMPARE(slider.Maximum(), std::max(minimum, maximum));
    }
}

void TestGraphWidgets::sliderRange_data()
{
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value1");
    QTest::addColumn<int>("value2");
    QTest::addColumn<int>("signals1");
    QTest::addColumn<int>("signals2");
    // From the range 0 to 100 with the thumbs at 10 and 90.
    QTest::newRow("wider") << 0 << 200 << 10 << 90 << 0 << 0;
    QTest::newRow("lower maximum") << 0 << 50 << 10 << 50 << 0 << 1;
    QTest::newRow("higher minimum") << 20 << 100 << 20 << 90 << 1 << 0;
    QTest::newRow("narrow") << 40 << 60 << 40 << 60 << 1 << 1;
    QTest::newRow("empty chart: 0 to -1") << 0 << -1 << 0 << 0 << 1 << 1;
}

void TestGraphWidgets::sliderRange()
{
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, value1);
    QFETCH(int, value2);
    QFETCH(int, signals1);
    QFETCH(int, signals2);
    Tslider2 slider;
    slider.setValue1(10);
    slider.setValue2(90);
    QSignalSpy spy1(&slider, &Tslider2::OnValueChange1), spy2(&slider, &Tslider2::OnValueChange2);
    // A handler reads both thumbs: both must already lie in the range.
    bool inRange = true;
    const auto check = [&] {
        for (int v : { slider.Value1(), slider.Value2() })
            inRange = inRange && v >= slider.Minimum() && v <= slider.Maximum();
    };
    connect(&slider, &Tslider2::OnValueChange1, this, check);
    connect(&slider, &Tslider2::OnValueChange2, this, check);
    slider.setMinimum(minimum);
    slider.setMaximum(maximum);
    QCOMPARE(slider.Value1(), value1);
    QCOMPARE(slider.Value2(), value2);
    QCOMPARE(spy1.count(), signals1);
    QCOMPARE(spy2.count(), signals2);
    QVERIFY(inRange);

    // The order of setting the two ends does not matter.
    Tslider2 other;
    other.setMinimum(100);
    other.setMaximum(200);
    other.setMaximum(maximum);
    other.setMinimum(minimum);
    QCOMPARE(other.Maximum(), slider.Maximum());
}

void TestGraphWidgets::sliderMouse_data()
{
    // 212 px wide, 0 to 100: the thumbs' centres run from x 6 to 206, 2 px a step.
    // Thumb A is grabbed in the upper half (y 4), thumb B in the lower half (y 20).
    QTest::addColumn<int>("value1");
    QTest::addColumn<int>("value2");
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("move");
    QTest::addColumn<int>("expected1");
    QTest::addColumn<int>("expected2");
    QTest::newRow("drag A") << 20 << 80 << QPoint(46, 4) << QPoint(106, 4) << 50 << 80;
    QTest::newRow("drag B") << 20 << 80 << QPoint(166, 20) << QPoint(26, 20) << 20 << 10;
    QTest::newRow("grabbed off centre") << 20 << 80 << QPoint(50, 4) << QPoint(110, 4) << 50 << 80;
    QTest::newRow("equal, upper drags A")
        << 50 << 50 << QPoint(106, 4) << QPoint(206, 4) << 100 << 50;
    QTest::newRow("equal, lower drags B")
        << 50 << 50 << QPoint(106, 20) << QPoint(6, 20) << 50 << 0;
    QTest::newRow("past the end") << 20 << 80 << QPoint(46, 4) << QPoint(-50, 4) << 0 << 80;
    QTest::newRow("track: nearer thumb")
        << 20 << 80 << QPoint(146, 12) << QPoint(146, 12) << 20 << 70;
}

void TestGraphWidgets::sliderMouse()
{
    QFETCH(int, value1);
    QFETCH(int, value2);
    QFETCH(QPoint, press);
    QFETCH(QPoint, move);
    QFETCH(int, expected1);
    QFETCH(int, expected2);
    Tslider2 slider;
    slider.setFixedSize(212, 24);
    slider.setValue1(value1);
    slider.setValue2(value2);
    slider.show();
    QVERIFY(QTest::qWaitForWindowExposed(&slider));
    QTest::mousePress(&slider, Qt::LeftButton, {}, press);
    QTest::mouseMove(&slider, move);
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, move);
    QTest::mouseMove(&slider, QPoint(206, 12)); // released: moving changes nothing
    QCOMPARE(slider.Value1(), expected1);
    QCOMPARE(slider.Value2(), expected2);
    QCOMPARE(slider.grab().size(), QSize(212, 24)); // paints without trouble
}

void TestGraphWidgets::dialogLayout()
{
    TfrmSetupRealTime dialog;
    QCOMPARE(dialog.windowTitle(), QString("Real-Time Setup"));
    QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    QStringList labels;
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        labels << label->text();
    for (const char *text :
         { "Real-Time data no to be recorded", "(Adjust the number to meet your need)",
           "Real -Time Sampling Rate", "second", "Recording Period", "HH:MM:SS" })
        QVERIFY2(labels.contains(text), text);
    QCOMPARE(dialog.countText(), QString(" 2000"));
    QVERIFY(dialog.edtPeriod->isReadOnly());
    QVERIFY(dialog.txtRate->isEditable());
    QCOMPARE(dialog.btnStart->text(), QString("Start"));
    QCOMPARE(dialog.btnCancel->text(), QString("Cancel"));
    dialog.show();
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    dialog.btnStart->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    dialog.show();
    dialog.btnCancel->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void TestGraphWidgets::dialogFormShow()
{
    TfrmSetupRealTime dialog;
    dialog.setRateText("2,0"); // handed over from the graph window's box
    QCOMPARE(dialog.edtPeriod->text(), QString("1:06:40"));
    dialog.FormShow();
    QStringList items;
    for (int i = 0; i < dialog.txtRate->count(); ++i)
        items << dialog.txtRate->itemText(i);
    QCOMPARE(items, QStringList({ "0,5", "1,0", "2,0", "5,0", "10,0", "20,0", "30,0" }));
    QCOMPARE(dialog.rateText(), QString("2,0"));
    QCOMPARE(dialog.edtPeriod->text(), QString("1:06:40")); // from the rate shown
}

void TestGraphWidgets::dialogPeriod_data()
{
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("period");
    QTest::newRow("2000 at 2,0") << "2,0"
                                 << "2000"
                                 << "2000"
                                 << "1:06:40";
    QTest::newRow("point accepted too") << "2.0"
                                        << "2000"
                                        << "2000"
                                        << "1:06:40";
    QTest::newRow("rate no number") << "abc"
                                    << "2000"
                                    << "2000"
                                    << "0:00:00";
    QTest::newRow("no count") << "0,5"
                              << ""
                              << ""
                              << "0:00:00";
    QTest::newRow("five digits at most") << "1,0"
                                         << "1234567"
                                         << "12345"
                                         << "3:25:45";
    QTest::newRow("letters refused") << "1,0"
                                     << "12a34"
                                     << "1234"
                                     << "0:20:34";
    QTest::newRow("trailing blank") << "30,0"
                                    << "99999 "
                                    << "99999 "
                                    << "833:19:30";
}

void TestGraphWidgets::dialogPeriod()
{
    QFETCH(QString, rate);
    QFETCH(QString, typed);
    QFETCH(QString, count);
    QFETCH(QString, period);
    TfrmSetupRealTime dialog;
    dialog.FormShow();
    dialog.setRateText(rate);
    dialog.edtRealTimeNo->clear();
    QTest::keyClicks(dialog.edtRealTimeNo, typed);
    QCOMPARE(dialog.countText(), count);
    QCOMPARE(dialog.edtPeriod->text(), period);

    // Changing the rate recomputes the period too: by picking an item, and by typing.
    dialog.edtRealTimeNo->setText("2000");
    dialog.txtRate->setCurrentIndex(0); // 0,5: a point a second
    QCOMPARE(dialog.edtPeriod->text(), QString("0:33:20"));
    dialog.txtRate->clearEditText();
    QTest::keyClicks(dialog.txtRate->lineEdit(), "5");
    QCOMPARE(dialog.edtPeriod->text(), QString("2:46:40"));
}

int main(int argc, char **argv)
{
    // The system locale is read from the environment when the application starts.
    qputenv("LC_ALL", "de_DE.UTF-8");
    QApplication app(argc, argv);
    TestGraphWidgets test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_graphwidgets.moc"
