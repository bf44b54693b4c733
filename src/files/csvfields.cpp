#include "files/csvfields.h"

namespace {
constexpr QChar Quote = u'"';
} // namespace

const std::vector<QStringView> &CsvFields::split(QStringView line, QChar separator, int most)
{
    m_fields.clear();
    m_unquoted.clear();
    // Never grown while splitting, so views into it stay valid.
    m_unquoted.reserve(line.size());
    qsizetype pos = 0;
    while (pos < line.size() && int(m_fields.size()) < most) {
        if (line[pos] != Quote) {
            qsizetype end = line.indexOf(separator, pos);
            if (end < 0)
                end = line.size();
            m_fields.push_back(line.sliced(pos, end - pos));
            pos = end + 1;
            continue;
        }
        // A quoted field: a plain view when nothing inside needs rewriting.
        qsizetype close = pos + 1;
        while (close < line.size()
               && (line[close] != Quote || (close + 1 < line.size() && line[close + 1] == Quote)))
            close += line[close] == Quote ? 2 : 1;
        qsizetype end = close < line.size() ? line.indexOf(separator, close) : line.size();
        if (end < 0)
            end = line.size();
        const QStringView inside = line.sliced(pos + 1, std::min(close, line.size()) - pos - 1);
        const QStringView after
            = close < line.size() ? line.sliced(close + 1, end - close - 1) : QStringView();
        if (!inside.contains(Quote) && after.isEmpty()) {
            m_fields.push_back(inside);
        } else {
            const qsizetype start = m_unquoted.size();
            for (qsizetype i = 0; i < inside.size(); ++i) {
                m_unquoted += inside[i];
                if (inside[i] == Quote)
                    ++i; // the second of a doubled quote
            }
            m_unquoted += after;
            m_fields.push_back(QStringView(m_unquoted).sliced(start, m_unquoted.size() - start));
        }
        pos = end + 1;
    }
    return m_fields;
}
