// The base's date and time texts: a locale's formats compiled into a DateTimePattern, written and
// read in the locales the program meets, and compared with what QLocale writes and reads; and
// date-times as days, there and back and rounded to the second.

#include "base/datetimedays.h"
#include "base/datetimepattern.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

const double Noon = DateTimeDays::fromDateTime(QDateTime(QDate(2026, 12, 8), QTime(12, 0)));

// Noon on 8 December 2026 and the given seconds, in days.
double at(double seconds)
{
    return Noon + seconds * DateTimeDays::OneSecond;
}

QDateTime at(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

void localeRow(const char *locale, const QDateTime &value, const QString &dateText,
               const QString &timeText, const QString &timeFormat)
{
    const QByteArray tag = locale + (' ' + value.toString(Qt::ISODate).toLatin1());
    QTest::newRow(tag.constData())
        << QString(locale) << value << dateText << timeText << timeFormat;
}

void typedRow(const char *tag, const char *locale, const QString &text, const QDateTime &expected)
{
    QTest::newRow(tag) << QString(locale) << text << expected;
}

} // namespace

class TestBase : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesAndReadsLocaleTexts_data();
    void writesAndReadsLocaleTexts();
    void readsTypedTexts_data();
    void readsTypedTexts();
    void matchesQLocale();

    void daysRoundTrip_data();
    void daysRoundTrip();
    void roundingToSecond_data();
    void roundingToSecond();
};

void TestBase::writesAndReadsLocaleTexts_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QDateTime>("value");
    QTest::addColumn<QString>("dateText");
    QTest::addColumn<QString>("timeText");
    QTest::addColumn<QString>("timeFormat");

    const QDateTime evening = at(2026, 12, 8, 21, 5, 7);
    localeRow("en_US", evening, "12/8/26", "9:05:07 PM", "h:mm:ss AP");
    localeRow("en_US", at(2000, 2, 29, 0, 30, 9), "2/29/00", "12:30:09 AM", "h:mm:ss AP");
    localeRow("en_US", at(1990, 1, 1, 12, 0, 0), "1/1/90", "12:00:00 PM", "h:mm:ss AP");
    localeRow("de_DE", evening, "08.12.26", "21:05:07", "HH:mm:ss");
    localeRow("C", evening, "8 Dec 2026", "21:05:07", "HH:mm:ss");
    localeRow("en_GB", at(2040, 7, 3, 8, 9, 59), "03/07/2040", "08:09:59", "HH:mm:ss");
    localeRow("es_ES", evening, "8/12/26", "21:05:07", "H:mm:ss");
    localeRow("zh_CN", evening, "2026/12/8", "21:05:07", "HH:mm:ss");
    localeRow("ko_KR", evening, "26. 12. 8.", "\uC624\uD6C4 9\uC2DC 5\uBD84 7\uCD08",
              "AP h\uC2DC m\uBD84 s\uCD08");
    localeRow("ja_JP", evening, "2026/12/08", "21\u664205\u520607\u79D2",
              "H\u6642mm\u5206ss\u79D2");
    localeRow("bg_BG", evening, "8.12.26 \u0433.", "21:05:07 \u0447.", "H:mm:ss '\u0447'.");
    localeRow("ar_EG", evening, "\u0668\u200F/\u0661\u0662\u200F/\u0662\u0660\u0662\u0666",
              "\u0669:\u0660\u0665:\u0660\u0667 \u0645", "h:mm:ss AP");
}

void TestBase::writesAndReadsLocaleTexts()
{
    QFETCH(QString, locale);
    QFETCH(QDateTime, value);
    QFETCH(QString, dateText);
    QFETCH(QString, timeText);
    QFETCH(QString, timeFormat);
    const QLocale l(locale);
    const QDate date = value.date();
    const QTime time = value.time();

    QCOMPARE(DateTimePattern::longTimeFormat(l), timeFormat);
    QCOMPARE(DateTimeDays::wholeSecondsTimeFormat(l, QLocale::LongFormat), timeFormat);

    const DateTimePattern datePattern = DateTimePattern::date(l);
    const DateTimePattern timePattern = DateTimePattern::time(l);
    const DateTimePattern both = DateTimePattern::dateTime(l);
    QCOMPARE(datePattern.toString(date, QTime()), dateText);
    QCOMPARE(timePattern.toString(QDate(), time), timeText);
    const QString text = dateText + u' ' + timeText;
    QCOMPARE(both.toString(date, time), text);
    QByteArray line = "x";
    both.appendUtf8(line, date, time);
    QCOMPARE(line, "x" + text.toUtf8());

    const auto read = both.read(text);
    QVERIFY(read);
    QCOMPARE(read->date, date);
    QCOMPARE(read->time, time);
    const auto dateOnly = datePattern.read(dateText);
    QVERIFY(dateOnly);
    QCOMPARE(dateOnly->date, date);
    QVERIFY(dateOnly->time.isNull());
    const auto timeOnly = timePattern.read(timeText);
    QVERIFY(timeOnly);
    QCOMPARE(timeOnly->time, time);
    QVERIFY(timeOnly->date.isNull());
}

void TestBase::readsTypedTexts_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("expected"); // invalid: the text must not read

    const QDateTime evening = at(2026, 12, 8, 21, 5, 7);
    typedRow("one-digit fields", "de_DE", "8.12.26 21:5:7", evening);
    typedRow("many blanks around", "de_DE", "  08.12.26 \u00A0 21:05:07\t", evening);
    typedRow("narrow no-break space", "en_US", "12/8/26\u202F9:05:07\u202Fpm", evening);
    typedRow("12 AM", "en_US", "12/8/26 12:00:00 am", at(2026, 12, 8, 0, 0, 0));
    // Two-digit years from 80 years back to 19 ahead (in 2026: 46 is 1946, 45 is 2045).
    const int first = QDate::currentDate().year() - 80;
    const int last = QDate::currentDate().year() + 19;
    typedRow("first year of the window", "de_DE",
             QString("01.01.%1 00:00:00").arg(first % 100, 2, 10, QChar(u'0')),
             at(first, 1, 1, 0, 0, 0));
    typedRow("last year of the window", "de_DE",
             QString("31.12.%1 23:59:59").arg(last % 100, 2, 10, QChar(u'0')),
             at(last, 12, 31, 23, 59, 59));
    typedRow("month name in any case", "C", "8 DECEMBER 2026 21:05:07", evening);
    typedRow("ko_KR morning", "ko_KR", "26. 1. 2. \uC624\uC804 12\uC2DC 0\uBD84 5\uCD08",
             at(2026, 1, 2, 0, 0, 5));

    const QDateTime none;
    typedRow("31 February", "de_DE", "31.02.26 21:05:07", none);
    typedRow("29 February 2026", "en_US", "2/29/26 9:05:07 PM", none);
    typedRow("hour 25", "de_DE", "08.12.26 25:00:00", none);
    typedRow("minute 60", "de_DE", "08.12.26 21:60:00", none);
    typedRow("13 PM", "en_US", "12/8/26 13:05:07 PM", none);
    typedRow("0 AM", "en_US", "12/8/26 0:05:07 AM", none);
    typedRow("no AM/PM", "en_US", "12/8/26 9:05:07", none);
    typedRow("four-digit yy", "en_US", "12/8/2026 9:05:07 PM", none);
    typedRow("two-digit yyyy", "en_GB", "08/12/26 21:05:07", none);
    typedRow("three-digit day", "de_DE", "008.12.26 21:05:07", none);
    typedRow("trailing junk", "de_DE", "08.12.26 21:05:07x", none);
    typedRow("date only", "de_DE", "08.12.26", none);
    typedRow("no blank", "de_DE", "08.12.2621:05:07", none);
    typedRow("empty", "de_DE", "", none);
    typedRow("Arabic, 31 February", "ar_EG",
             "\u0663\u0661\u200F/\u0662\u200F/\u0662\u0660\u0662\u0666 "
             "\u0669:\u0660\u0665:\u0660\u0667 \u0645",
             none);
}

void TestBase::readsTypedTexts()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(QDateTime, expected);
    const auto read = DateTimePattern::dateTime(QLocale(locale)).read(text);
    QCOMPARE(read.has_value(), expected.isValid());
    if (read) {
        QCOMPARE(read->date, expected.date());
        QCOMPARE(read->time, expected.time());
    }
}

// Random date-times in the locales' own formats and three of names and milliseconds: the text
// written equals QLocale's, and reading it gives what QLocale reads (its "yy" moved into the
// years the pattern reads them in) and the date-time written.
void TestBase::matchesQLocale()
{
    const char *const locales[] = { "en_US", "de_DE", "C",     "en_GB", "fr_FR", "ja_JP",
                                    "ko_KR", "es_ES", "bg_BG", "fi_FI", "zh_CN", "hu_HU" };
    QRandomGenerator random(20261208);
    const int thisYear = QDate::currentDate().year();
    for (const char *name : locales) {
        const QLocale l(name);
        const QStringList formats
            = { DateTimePattern::dateTime(l).format(), "dddd d MMMM yyyy hh:mm:ss AP",
                "ddd d MMM yy H:mm:ss.z ap", "yyyy-MM-dd HH:mm:ss.zzz" };
        for (const QString &format : formats) {
            const DateTimePattern pattern(l, format);
            const bool millis = format.contains(u'z');
            const bool twoDigitYear = !format.contains("yyyy");
            for (int i = 0; i < 400; ++i) {
                const QDate date = QDate(1990, 1, 1).addDays(random.bounded(18628));
                const QTime time = QTime::fromMSecsSinceStartOfDay(
                    random.bounded(86400) * 1000 + (millis ? random.bounded(1000) : 0));
                const QString text = pattern.toString(date, time);
                QCOMPARE(text, l.toString(QDateTime(date, time, Qt::UTC), format));
                if (millis)
                    continue;
                const auto read = pattern.read(text);
                QVERIFY2(read, qPrintable(text));
                QCOMPARE(read->date, date);
                QCOMPARE(read->time, time);
                // QLocale reads local time, and "yy" as 19yy (so 29 February 2000 not at all).
                if (QDateTime(date, time).time() != time
                    || (twoDigitYear && date == QDate(2000, 2, 29)))
                    continue;
                const QDateTime qt = l.toDateTime(text, format);
                QVERIFY2(qt.isValid(), qPrintable(text));
                int year = qt.date().year();
                while (twoDigitYear && year < thisYear - 80)
                    year += 100;
                QCOMPARE(QDate(year, qt.date().month(), qt.date().day()), read->date);
                QCOMPARE(qt.time(), read->time);
            }
        }
    }
}

void TestBase::daysRoundTrip_data()
{
    QTest::addColumn<QDateTime>("dateTime");
    QTest::addColumn<double>("days");
    QTest::newRow("epoch") << QDateTime(QDate(1899, 12, 30), QTime(0, 0)) << 0.0;
    QTest::newRow("noon next day") << QDateTime(QDate(1899, 12, 31), QTime(12, 0)) << 1.5;
    QTest::newRow("2000") << QDateTime(QDate(2000, 1, 1), QTime(0, 0)) << 36526.0;
    QTest::newRow("before epoch") << QDateTime(QDate(1899, 12, 29), QTime(18, 0)) << -0.25;
}

void TestBase::daysRoundTrip()
{
    QFETCH(QDateTime, dateTime);
    QFETCH(double, days);
    QCOMPARE(DateTimeDays::fromDateTime(dateTime), days);
    QCOMPARE(DateTimeDays::toDateTime(days), dateTime);
}

void TestBase::roundingToSecond_data()
{
    QTest::addColumn<int>("ms");
    QTest::addColumn<QTime>("expected");
    QTest::newRow(".600 rounds up") << 600 << QTime(12, 0, 1);
    QTest::newRow(".500 stays") << 500 << QTime(12, 0, 0);
    QTest::newRow(".501 rounds up") << 501 << QTime(12, 0, 1);
    QTest::newRow(".000") << 0 << QTime(12, 0, 0);
}

void TestBase::roundingToSecond()
{
    QFETCH(int, ms);
    QFETCH(QTime, expected);
    const double rounded = DateTimeDays::roundedToSecond(at(ms / 1000.0));
    QCOMPARE(DateTimeDays::toDateTime(rounded).time(), expected);
}

QTEST_GUILESS_MAIN(TestBase)
#include "tst_base.moc"
