#pragma once

#include "base/datetimeformat.h"

#include <QByteArray>
#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <QTime>

#include <array>
#include <optional>
#include <vector>

// A date or time format of a locale (Qt's format letters), compiled once into fields and
// literals, so that the text files of readings are written and read with hand-made digits
// instead of going through QLocale for every line. A locale that writes other digits than 0-9,
// or a format with a time zone name, goes through QLocale instead: slow, but right.
class DateTimePattern
{
public:
    DateTimePattern(const QLocale &locale, const QString &format);

    // The formats the program's texts use: the locale's short date format; its long time format
    // with whole seconds, without milliseconds and without the time zone name (nor the brackets
    // or blank that only surrounded the zone name). Quoted literals are kept as they are.
    // Reads least to most ASCII digits at pos into value, pos moved past them; the count read
    // in digits. False when fewer than least were there.
    static bool readDigits(QStringView text, qsizetype &pos, int least, int most, int &value,
                           int *digits = nullptr);

    static QString shortDateFormat(const QLocale &locale);
    static QString longTimeFormat(const QLocale &locale);

    // The short date + " " + the long time: the combined text a table's date and time columns
    // make; and the date and the time alone.
    static DateTimePattern systemDateTime(); // of QLocale::system()
    static DateTimePattern dateTime(const QLocale &locale);
    static DateTimePattern date(const QLocale &locale);
    static DateTimePattern time(const QLocale &locale);

    QString format() const { return m_format; }

    // Appends the text of date and time (either may be unused by the format) as UTF-8. Nothing is
    // appended when the format uses a part that is not valid.
    void appendUtf8(QByteArray &out, QDate date, QTime time) const;
    QString toString(QDate date, QTime time) const;

    // Reads a text in this format: the date and the time it names (a part the format does not
    // use stays null), or nothing when it is not such a text. Leading and trailing blanks are
    // ignored; a blank of the format matches one or more blanks of the text; 1- or 2-digit
    // numbers are read where the format writes either.
    struct Read
    {
        QDate date;
        QTime time;
    };
    std::optional<Read> read(QStringView text) const;

private:
    struct Token
    {
        DateTimeFormat::Field field = DateTimeFormat::Field::None;
        bool blank = false; // a literal of blanks
        int width = 0; // letters in the format
        QString text; // a literal's text; for AmPm the AM text as written
        QString pmText;
        QByteArray utf8; // text as UTF-8
        QByteArray pmUtf8;
    };
    struct Name
    {
        QString text;
        int value;
    };

    void compile();
    void addLiteral(QStringView literal);
    bool fastWritable(QDate date) const;
    QString slowString(QDate date, QTime time) const;
    std::optional<Read> slowRead(QStringView text) const;
    int windowedYear(int twoDigits) const;

    QLocale m_locale;
    QString m_format;
    std::vector<Token> m_tokens;
    bool m_usesDate = false;
    bool m_usesTime = false;
    bool m_twoDigitYear = false; // a two-digit year and no four-digit one
    bool m_zone = false;
    bool m_fastWrite = false;
    bool m_fastRead = false;
    int m_windowStart = 0;
    std::array<std::array<QByteArray, 12>, 2> m_monthUtf8; // short, long
    std::array<std::array<QByteArray, 7>, 2> m_dayUtf8; // short, long; Monday first
    std::vector<Name> m_monthNames; // every form, longest first
    std::vector<Name> m_dayNames;
    QString m_amText;
    QString m_pmText;
};
