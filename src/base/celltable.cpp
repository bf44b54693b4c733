#include "base/celltable.h"

#include <algorithm>
#include <cstdio>

namespace {
// Overwritten texts are reclaimed once they are at least this many characters and half the
// buffer.
constexpr qsizetype MinimumWaste = 1 << 16;
} // namespace

CellTable::CellTable(int cols, int rows)
    : m_cols(std::max(1, cols))
    , m_rows(std::max(0, rows))
    , m_spans(index(0, m_rows))
{
}

void CellTable::resize(int cols, int rows)
{
    cols = std::max(1, cols);
    rows = std::max(0, rows);
    if (cols == m_cols) {
        setRowCount(rows);
        return;
    }
    std::vector<Span> next(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols));
    for (int r = 0; r < std::min(rows, m_rows); ++r)
        for (int c = 0; c < std::min(cols, m_cols); ++c)
            next[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols)
                 + static_cast<std::size_t>(c)]
                = m_spans[index(c, r)];
    m_spans = std::move(next);
    m_cols = cols;
    m_rows = rows;
}

void CellTable::setRowCount(int rows)
{
    m_rows = std::max(0, rows);
    m_spans.resize(index(0, m_rows));
}

QStringView CellTable::cell(int col, int row) const
{
    if (!contains(col, row))
        return {};
    const Span span = m_spans[index(col, row)];
    return QStringView(m_text).mid(span.offset, span.length);
}

void CellTable::setCell(int col, int row, QStringView text)
{
    if (!contains(col, row))
        return;
    Span &span = m_spans[index(col, row)];
    m_unused += span.length;
    if (text.isEmpty()) {
        span = {};
    } else {
        span = { static_cast<quint32>(m_text.size()), static_cast<quint32>(text.size()) };
        m_text.append(text);
    }
    compactIfWasteful();
}

void CellTable::setCell(int col, int row, int number)
{
    char digits[16];
    const int length = std::snprintf(digits, sizeof digits, "%d", number);
    char16_t text[16];
    std::copy(digits, digits + length, text);
    setCell(col, row, QStringView(text, length));
}

void CellTable::compactIfWasteful()
{
    if (m_unused < MinimumWaste || m_unused * 2 < m_text.size())
        return;
    QString kept;
    kept.reserve(m_text.size() - m_unused);
    for (Span &span : m_spans) {
        const QStringView text = QStringView(m_text).mid(span.offset, span.length);
        span.offset = static_cast<quint32>(kept.size());
        kept.append(text);
    }
    m_text = std::move(kept);
    m_unused = 0;
}
