// The stored chart block's test: what loads, field by field (tst_chartblock.cpp), and what is
// refused (tst_chartblockdamage.cpp), on charts and hand-built blocks made by the helpers here.

#pragma once

#include "chart/chartblock.h"
#include "chart/chartmodel.h"

#include <QTest>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

inline constexpr double Day0 = 45000.5; // a date-time in days
inline constexpr double Second = 1.0 / 86400.0;

// A chart with every field away from its default.
inline ChartModel fullChart(int points = 500)
{
    ChartModel chart;
    chart.setSubsets(2);
    chart.setPoints(points);
    for (int i = 0; i < points; ++i) {
        const float level = 30.0f + static_cast<float>(i % 1000) * 0.1f;
        chart.setX(0, i, Day0 + i * Second);
        chart.setX(1, i, Day0 + i * Second);
        chart.setY(0, i, i % 7 == 3 ? ChartModel::NullValue : level);
        chart.setY(1, i, level + 0.05f);
    }
    if (points > 2) {
        chart.setX(1, 1, std::numeric_limits<double>::infinity());
        chart.setX(1, 2, -std::numeric_limits<double>::infinity());
        chart.setY(1, 2, std::numeric_limits<float>::denorm_min());
    }
    chart.xScale = { true, Day0, Day0 + points * Second };
    chart.yScale = { true, 30.0, 130.0 };
    chart.mainTitle = QStringLiteral("Lärm am Fenster – 日本");
    chart.subTitle = QStringLiteral(" ");
    chart.xAxisLabel = QStringLiteral("Time");
    chart.yAxisLabel = QString();
    chart.subsetLabels = { QStringLiteral("SPL"), QStringLiteral("Leq µ") };
    chart.subsetColors = { QColor(Qt::black), QColor(255, 0, 0, 128), QColor() };
    chart.subsetLineTypes = { 1, 4 };
    chart.yAxisColor = Qt::red;
    chart.gridStyle = GridStyle::Solid;
    chart.viewingStyle = ViewingStyle::Monochrome;
    chart.dateTimeX = false;
    chart.titleFontSize = 18;
    chart.labelFontSize = 7;
    chart.legendFontSize = 11;
    chart.annotations[-3] = { 0.0, 0.0, 0, QString(), QColor() };
    chart.annotations[2]
        = { Day0, 71.5, 2, QStringLiteral("12:00:01\r71.5 dB"), QColor(255, 255, 0) };
    chart.annotations[5] = { Day0 + 0.5, 80.25, 0, QStringLiteral("Tür zu ✓"), Qt::blue };
    chart.annotations[6] = { Day0 + 0.75, 40.0, 2, QString(), QColor(1, 2, 3, 4) };
    chart.showGraphAnnotations = false;
    chart.graphAnnotationTextSize = 150;
    chart.allowGraphAnnotHotSpots = false;
    chart.verticalLines[0] = { Day0 + 10 * Second, QStringLiteral("A\r55.0 dB") };
    chart.verticalLines[1] = { Day0 + 20 * Second, QStringLiteral("B") };
    chart.showVertLineAnnotations = false;
    chart.allowVertLineAnnotHotSpots = false;
    chart.lineAnnotationTextSize = 80;
    chart.allowDataHotSpots = true;
    return chart;
}

// A chart that differs from all of the above, to load into.
inline ChartModel otherChart()
{
    ChartModel chart;
    chart.setSubsets(1);
    chart.setPoints(3);
    chart.fillPoint(1, 1.0, 2.0f);
    chart.mainTitle = QStringLiteral("unchanged");
    chart.annotations[9] = { 1.0, 2.0, 2, QStringLiteral("keep"), Qt::green };
    chart.exclusions = { { 1.0, 1.5, QStringLiteral("keep") } };
    chart.limit = 70.0;
    chart.overlay = OverlaySeries {
        QStringLiteral("keep"), Qt::green, OverlayAlignment::ClockTime, 0.0, 1.0, { 1.0 }, { 60.0f }
    };
    return chart;
}

// Builds blocks field by field as the layout documents them, independently of the writer.
struct Fields
{
    QByteArray magic = "AXCB";
    quint16 version = 1;
    quint32 subsets = 1;
    quint32 points = 2;
    qint64 pointBytes = -1; // -1: as many as subsets and points say
    quint8 manual = 1;
    quint32 titleLength = 5; // of "Title"
    quint32 labelCount = 1;
    quint8 colourFlag = 1;
    quint32 lineTypeCount = 1;
    quint8 lineType = 3;
    quint8 grid = 1;
    quint8 viewing = 1;
    qint32 fontSize = 14;
    quint32 annotationCount = 2;
    qint32 secondIndex = 7;
    quint8 annotationType = 2;
    qint32 textSize = 120;
    quint8 lastFlag = 1;
    // Version 2: the excluded intervals' count, then ("lorry", from, to) and ("", Day0 + 0.5
    // twice) as far as the count goes.
    quint32 exclusionCount = 2;
    double from = Day0 + 0.25;
    double to = Day0 + 0.375;
    quint8 category = 1; // version 4: the first interval's; the second one is Excluded (0)
    // Version 3: the limit, then an overlay "before" of overlayPoints points from Day0 - 1 on.
    quint8 limitFlag = 1;
    double limit = 55.0;
    quint8 overlayFlag = 1;
    quint8 alignment = 1;
    double interval = 10.0;
    quint32 overlayPoints = 2;
    qint64 overlayBytes = -1; // -1: as many as overlayPoints says
    // Version 5: the project "Noise" and model "Q7316" among empty texts, a check before of
    // 94 dB read as `reading`, none after.
    quint8 referenceFlag = 1;
    double reading = 94.5;
    QByteArray trailing;
};

class Bytes
{
public:
    QByteArray data;
    template<typename T> Bytes &le(T value)
    {
        char b[sizeof(T)];
        qToLittleEndian(value, b);
        data.append(b, sizeof b);
        return *this;
    }
    Bytes &u8(quint8 v) { return le(v); }
    Bytes &f64(double v)
    {
        quint64 bits;
        std::memcpy(&bits, &v, 8);
        return le(bits);
    }
    Bytes &text(const QByteArray &utf8) { return le(quint32(utf8.size())).raw(utf8); }
    Bytes &raw(const QByteArray &b)
    {
        data.append(b);
        return *this;
    }
};

inline QByteArray build(const std::function<void(Fields &)> &change = {})
{
    Fields f;
    if (change)
        change(f);
    Bytes b;
    b.raw(f.magic).le(f.version).le(f.subsets).le(f.points);
    const qint64 pointBytes = f.pointBytes >= 0 ? f.pointBytes : qint64(f.subsets) * f.points * 12;
    for (qint64 i = 0; i < pointBytes / 12; ++i)
        b.f64(Day0 + i);
    for (qint64 i = 0; i < pointBytes / 12; ++i)
        b.le(float(50 + i));
    b.raw(QByteArray(pointBytes % 12, '\0'));
    b.u8(f.manual).f64(1.0).f64(2.0).u8(0).f64(30.0).f64(130.0);
    b.le(f.titleLength).raw("Title").text("Sub").text("X").text("Y");
    b.le(f.labelCount).text("dB");
    b.le(quint32(2)).u8(f.colourFlag).le(quint32(0x80FF0000)).u8(0);
    b.le(f.lineTypeCount).u8(f.lineType);
    b.u8(1).le(quint32(0xFF00FF00)).u8(f.grid).u8(f.viewing).u8(1);
    b.le(f.fontSize).le(qint32(10)).le(qint32(8));
    b.le(f.annotationCount);
    b.le(qint32(2)).f64(Day0).f64(60.0).u8(f.annotationType).text("").u8(1).le(quint32(0xFFFFFF00));
    b.le(f.secondIndex).f64(Day0 + 1).f64(70.0).u8(0).text("Tür").u8(0);
    b.u8(0).le(f.textSize).u8(1);
    b.f64(Day0 + 0.25).text("A").f64(Day0 + 0.5).text("B");
    b.u8(1).u8(0).le(qint32(90)).u8(f.lastFlag);
    if (f.version >= 2) {
        b.le(f.exclusionCount);
        if (f.exclusionCount >= 1)
            b.f64(f.from).f64(f.to).text("lorry");
        if (f.exclusionCount >= 1 && f.version >= 4)
            b.u8(f.category);
        if (f.exclusionCount >= 2)
            b.f64(Day0 + 0.5).f64(Day0 + 0.5).text("");
        if (f.exclusionCount >= 2 && f.version >= 4)
            b.u8(0);
    }
    if (f.version >= 3) {
        b.u8(f.limitFlag);
        if (f.limitFlag == 1)
            b.f64(f.limit);
        b.u8(f.overlayFlag);
        if (f.overlayFlag == 1) {
            b.text("before").u8(1).le(quint32(0xFF0000FF)).u8(f.alignment);
            b.f64(0.5).f64(f.interval).le(f.overlayPoints);
            const qint64 n = f.overlayBytes >= 0 ? f.overlayBytes / 12 : f.overlayPoints;
            for (qint64 i = 0; i < n; ++i)
                b.f64(Day0 - 1 + i * Second);
            for (qint64 i = 0; i < n; ++i)
                b.le(float(40 + i));
        }
    }
    if (f.version >= 5) {
        b.text("Noise");
        for (int i = 0; i < 6; ++i)
            b.text("");
        b.text("Q7316").text("").text("").text("").text("");
        b.u8(f.referenceFlag);
        if (f.referenceFlag == 1)
            b.f64(94.0);
        b.u8(1).f64(f.reading).u8(0).u8(0);
    }
    b.raw(f.trailing);
    return b.data;
}

inline bool sameBits(const ChartModel &a, const ChartModel &b)
{
    if (a.subsets() != b.subsets() || a.points() != b.points())
        return false;
    if (a.points() == 0)
        return true;
    for (int s = 0; s < a.subsets(); ++s) {
        const auto n = static_cast<std::size_t>(a.points());
        if (std::memcmp(a.xs(s).data(), b.xs(s).data(), n * sizeof(double)) != 0
            || std::memcmp(a.ys(s).data(), b.ys(s).data(), n * sizeof(float)) != 0)
            return false;
    }
    return true;
}

class TestChartBlock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();

    void notANumberKeepsItsBits();

    void savedValuesOutOfRangeStillLoad();

    void handBuiltBlockLoads_data();
    void handBuiltBlockLoads();

    void malformed_data();
    void malformed();

    void truncatedAnywhere();

    void randomDamage();
};
