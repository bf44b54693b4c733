// The memory decoder's test, one class over two files: the rules and results on built images
// (tst_decoder.cpp), and damaged and randomised images (tst_decoderdamage.cpp). The image
// builder and helpers they share are here.

#pragma once

#include "common/fakeclock.h"
#include "logger/datasetrows.h"
#include "logger/loggerdata.h"
#include "logger/memorydecoder.h"

#include <QTest>

#include <climits>
#include <cmath>

using MemoryDecoder::DecodeLoggerMemory;

inline const QDateTime FakeNow(QDate(2031, 6, 17), QTime(21, 45, 13, 250));

inline double days(const QDateTime &t)
{
    return static_cast<double>(QDate(1899, 12, 30).daysTo(t.date()))
        + t.time().msecsSinceStartOfDay() / 86400000.0;
}

inline bool near(double a, double b)
{
    return std::fabs(a - b) < 1e-9;
}

// A data set as the builder lays it out.
struct SetLayout
{
    quint8 time[6] = { 0x07, 0x03, 0x15, 0x10, 0x30, 0x00 }; // year, month, day, hour, min, sec
    quint8 interval = 1;
    quint8 flags = 0x02;
    std::vector<quint16> readings;
    qint64 headerCount = -1; // -1: the number of readings
    bool startMarker = true;
    bool endMarker = true;
};

struct Image
{
    QByteArray bytes;
    int lastAddress = 0;
    std::vector<int> starts;
    std::vector<int> ends;
};

inline void put24(QByteArray &bytes, qsizetype at, qint64 value)
{
    bytes[at] = char((value >> 16) & 0xFF);
    bytes[at + 1] = char((value >> 8) & 0xFF);
    bytes[at + 2] = char(value & 0xFF);
}

// The sets back to back from 256; the set count in bytes 9-10 and lastAddress (the last set's
// end offset) in bytes 11-13. extra bytes of zeros follow the last set.
inline Image buildImage(const std::vector<SetLayout> &sets, int extra = 0)
{
    Image image;
    image.bytes = QByteArray(256, '\0');
    image.bytes[9] = char(sets.size() >> 8);
    image.bytes[10] = char(sets.size() & 0xFF);
    for (const SetLayout &set : sets) {
        const qsizetype s = image.bytes.size();
        image.starts.push_back(int(s));
        QByteArray header(16, '\0');
        header[0] = char(set.startMarker ? 0xA5 : 0xA4);
        header[1] = char(0x5A);
        for (int i = 0; i < 6; ++i)
            header[3 + i] = char(set.time[i]);
        header[10] = char(set.interval);
        put24(header, 11, set.headerCount >= 0 ? set.headerCount : qint64(set.readings.size()));
        header[14] = char(set.flags);
        image.bytes += header;
        for (const quint16 word : set.readings) {
            image.bytes += char(word >> 8);
            image.bytes += char(word & 0xFF);
        }
        image.bytes += char(set.endMarker ? 0x5A : 0x00);
        image.bytes += char(0xA5);
        image.ends.push_back(int(image.bytes.size() - 1));
    }
    image.lastAddress = image.ends.empty() ? 255 : image.ends.back();
    put24(image.bytes, 11, image.lastAddress);
    image.bytes += QByteArray(extra, '\0');
    return image;
}

inline SetLayout readingsSet(int count, quint16 word = 0x0258)
{
    SetLayout set;
    set.readings.assign(std::size_t(count), word);
    return set;
}

inline QByteArray workedExampleImage()
{
    QByteArray image(256, '\0');
    image[10] = 1;
    image[12] = 0x01;
    image[13] = char(0x17); // lastAddress 279
    image += QByteArray::fromHex("A55A0007031510300000010000030200012C012D012E5AA5");
    return image;
}

// Decodes and checks the model's invariants; -1 when they fail.
inline int decodeChecked(const QByteArray &image, int lastAddress, LoggerData &out,
                         const Clock &clock = FakeClock(FakeNow))
{
    const int result = DecodeLoggerMemory(image, lastAddress, clock, out);
    if (!QTest::qVerify(out.invariantsHold(), "out.invariantsHold()", "", __FILE__, __LINE__))
        return -1;
    return result;
}

inline LoggerData decodedWorkedExample()
{
    LoggerData data;
    DecodeLoggerMemory(workedExampleImage(), 279, FakeClock(FakeNow), data);
    return data;
}

class TestDecoder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void workedExample_data();
    void workedExample();
    void nextSetStartsAfterEndMarker();
    void setCount_data();
    void setCount();
    void pageBoundaryCount_data();
    void pageBoundaryCount();
    void headerCountDisagrees_data();
    void headerCountDisagrees();
    void levels_data();
    void levels();
    void intervals_data();
    void intervals();
    void startTimeFallbacks_data();
    void startTimeFallbacks();
    void resultOrder_data();
    void resultOrder();
    void levelStatistics_data();
    void levelStatistics();
    void outsideTheImage_data();
    void outsideTheImage();
    void hugeCountsAllocateNothing();
    void panelFlags_data();
    void panelFlags();
    void panelRow();
    void changeSetStart();
    void generatedImagesDecodeExactly();
    void corruptedImages();
};
