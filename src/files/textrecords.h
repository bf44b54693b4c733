#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringView>

// The lines of a text file handed over in pieces of any size, one line at a time, so that a
// file of any length is read in little memory. The first bytes decide the encoding: UTF-16
// (little or big endian) with its byte order mark, else UTF-8 (with or without its mark). Lines
// end with LF or CR LF. A line end inside double quotes belongs to the line (a quoted field of
// several lines) while the line is shorter than the longest line kept; a line keeps at most its
// first maxLength characters, and the rest of it is skipped.
class TextRecords
{
public:
    explicit TextRecords(qsizetype maxLength);

    void feed(QByteArrayView bytes);
    // No more bytes come: the text after the last line end is the last line.
    void finish();

    struct Line
    {
        QStringView text; // valid until the next call
        bool cut = false;
    };
    // The next whole line, or false when more bytes are needed (or, once finished, at the end).
    bool next(Line &line);

    // Nothing at all was fed (or only a byte order mark).
    bool empty() const { return !m_sawText; }
    // The text is UTF-16 (two bytes a character).
    bool utf16() const { return m_utf16; }

private:
    void decode(QByteArrayView bytes);

    qsizetype m_maxLength;
    QByteArray m_head; // the first bytes, until the encoding is known
    std::optional<QStringDecoder> m_decoder;
    QString m_text;
    qsizetype m_pos = 0; // where the current line starts
    qsizetype m_scan = 0; // how far it has been searched for its end
    qsizetype m_dropped = 0; // characters of the current line dropped beyond its cut
    bool m_inQuotes = false;
    bool m_finished = false;
    bool m_sawText = false;
    bool m_utf16 = false;
};
