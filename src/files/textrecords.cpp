#include "files/textrecords.h"

TextRecords::TextRecords(qsizetype maxLength)
    : m_maxLength(maxLength)
{
}

void TextRecords::feed(QByteArrayView bytes)
{
    if (!m_decoder) {
        m_head.append(bytes.data(), bytes.size());
        if (m_head.size() < 3 && !m_finished)
            return;
        QStringConverter::Encoding encoding = QStringConverter::Utf8;
        if (m_head.startsWith("\xFF\xFE"))
            encoding = QStringConverter::Utf16LE;
        else if (m_head.startsWith("\xFE\xFF"))
            encoding = QStringConverter::Utf16BE;
        m_utf16 = encoding != QStringConverter::Utf8;
        // The decoder skips a byte order mark at the start.
        m_decoder.emplace(encoding);
        const QByteArray head = std::exchange(m_head, {});
        decode(head);
        return;
    }
    decode(bytes);
}

void TextRecords::decode(QByteArrayView bytes)
{
    // Drop the lines already handed out before the text grows.
    if (m_pos > 0 && m_pos * 2 >= m_text.size()) {
        m_text.remove(0, m_pos);
        m_scan -= m_pos;
        m_pos = 0;
    }
    m_text += m_decoder->decode(bytes);
    m_sawText = m_sawText || m_text.size() > m_pos;
}

void TextRecords::finish()
{
    m_finished = true;
    if (!m_decoder)
        feed({});
    else
        m_text += m_decoder->decode(QByteArrayView());
    m_sawText = m_sawText || m_text.size() > m_pos;
}

bool TextRecords::next(Line &line)
{
    const QStringView all(m_text);
    qsizetype end = -1;
    while (m_scan < all.size()) {
        const QChar c = all[m_scan];
        if (c == u'"') {
            m_inQuotes = !m_inQuotes;
        } else if (c == u'\n' && (!m_inQuotes || m_scan - m_pos + m_dropped >= m_maxLength)) {
            end = m_scan;
            break;
        }
        ++m_scan;
        // Beyond the cut, a line only has to be searched for its end, not kept.
        if (m_scan - m_pos > m_maxLength + 1 && m_scan == all.size()) {
            const qsizetype keep = m_pos + m_maxLength + 1;
            m_dropped += m_scan - keep;
            m_text.remove(keep, m_scan - keep);
            m_scan = keep;
            return next(line);
        }
    }
    if (end < 0) {
        if (!m_finished || m_pos >= all.size())
            return false;
        end = all.size();
    }
    QStringView text = all.sliced(m_pos, end - m_pos);
    if (text.endsWith(u'\r') && m_dropped == 0)
        text.chop(1);
    line.cut = text.size() + m_dropped > m_maxLength;
    if (text.size() > m_maxLength) // never between the two halves of a surrogate pair
        text.truncate(m_maxLength - (text[m_maxLength - 1].isHighSurrogate() ? 1 : 0));
    line.text = text;
    m_pos = end + 1;
    m_scan = m_pos;
    m_dropped = 0;
    m_inQuotes = false;
    return true;
}
