#pragma once

// The bytes of the stored chart block (its layout is in chartblock.h): a writer of
// little-endian fields, and a reader that checks every field and count against the bytes that
// remain and keeps the first reason a block is refused for.

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QtEndian>

#include <bit>
#include <cstring>
#include <utility>
#include <vector>

namespace ChartBlockBytes {

class Writer
{
public:
    explicit Writer(qsizetype expected) { m_bytes.reserve(expected); }

    QByteArray take() { return std::move(m_bytes); }

    void raw(const void *data, qsizetype size)
    {
        m_bytes.append(static_cast<const char *>(data), size);
    }
    void u8(quint8 value) { raw(&value, 1); }
    void u16(quint16 value) { little(value); }
    void u32(quint32 value) { little(value); }
    void i32(qint32 value) { little(value); }
    void f64(double value) { little(std::bit_cast<quint64>(value)); }
    void flag(bool value) { u8(value ? 1 : 0); }
    void string(const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        u32(static_cast<quint32>(utf8.size()));
        raw(utf8.constData(), utf8.size());
    }
    void colour(const QColor &colour)
    {
        if (!colour.isValid()) {
            u8(0);
            return;
        }
        u8(1);
        u32(colour.rgba());
    }
    // A whole array at once: one copy, swapped only on a big-endian machine.
    template<typename T> void array(const std::vector<T> &values)
    {
        if (values.empty())
            return;
        const qsizetype at = m_bytes.size();
        const auto size = static_cast<qsizetype>(values.size() * sizeof(T));
        m_bytes.resize(at + size);
        qToLittleEndian<T>(values.data(), static_cast<qsizetype>(values.size()),
                           m_bytes.data() + at);
    }

private:
    template<typename T> void little(T value)
    {
        char bytes[sizeof(T)];
        qToLittleEndian(value, bytes);
        raw(bytes, sizeof bytes);
    }

    QByteArray m_bytes;
};

class Reader
{
public:
    explicit Reader(const QByteArray &block)
        : m_data(block.constData())
        , m_left(block.size())
    {
    }

    qsizetype left() const { return m_left; }
    const QString &error() const { return m_error; }
    void setSection(const char *name) { m_section = name; }

    bool fail(const QString &reason)
    {
        if (m_error.isEmpty())
            m_error = reason;
        return false;
    }
    bool invalid(const char *what, qint64 value)
    {
        return fail(QStringLiteral("Chart block has an invalid %1 (%2).")
                        .arg(QLatin1String(what))
                        .arg(value));
    }

    bool truncated()
    {
        return fail(
            QStringLiteral("Chart block ends early, in its %1.").arg(QLatin1String(m_section)));
    }
    bool raw(void *to, qsizetype size)
    {
        if (size > m_left)
            return truncated();
        if (size > 0)
            std::memcpy(to, m_data, static_cast<std::size_t>(size));
        m_data += size;
        m_left -= size;
        return true;
    }
    bool u8(quint8 &value) { return raw(&value, 1); }
    bool u16(quint16 &value) { return little(value); }
    bool u32(quint32 &value) { return little(value); }
    bool i32(qint32 &value) { return little(value); }
    bool f64(double &value)
    {
        quint64 bits = 0;
        if (!little(bits))
            return false;
        value = std::bit_cast<double>(bits);
        return true;
    }
    bool flag(bool &value, const char *what)
    {
        quint8 byte = 0;
        if (!u8(byte))
            return false;
        if (byte > 1)
            return invalid(what, byte);
        value = byte == 1;
        return true;
    }
    // A small coded value: one byte from 0 to max.
    bool code(int &value, int max, const char *what)
    {
        quint8 byte = 0;
        if (!u8(byte))
            return false;
        if (byte > max)
            return invalid(what, byte);
        value = byte;
        return true;
    }
    bool ranged(int &value, qint32 min, qint32 max, const char *what)
    {
        qint32 stored = 0;
        if (!i32(stored))
            return false;
        if (stored < min || stored > max)
            return invalid(what, stored);
        value = stored;
        return true;
    }
    bool string(QString &text)
    {
        quint32 size = 0;
        if (!u32(size))
            return false;
        if (size > static_cast<quint64>(m_left))
            return fail(QStringLiteral("Chart block has a text longer than the block, in its %1.")
                            .arg(QLatin1String(m_section)));
        text = QString::fromUtf8(m_data, static_cast<qsizetype>(size));
        m_data += size;
        m_left -= size;
        return true;
    }
    bool colour(QColor &colour)
    {
        bool own = false;
        if (!flag(own, "colour flag"))
            return false;
        if (!own) {
            colour = QColor();
            return true;
        }
        quint32 argb = 0;
        if (!u32(argb))
            return false;
        colour = QColor::fromRgba(argb);
        return true;
    }
    // A list count, checked against the smallest size its entries can take.
    bool count(quint32 &value, qsizetype minEntrySize, const char *what)
    {
        if (!u32(value))
            return false;
        if (static_cast<quint64>(value) * static_cast<quint64>(minEntrySize)
            > static_cast<quint64>(m_left))
            return fail(QStringLiteral("Chart block counts more %1 (%2) than it holds.")
                            .arg(QLatin1String(what))
                            .arg(value));
        return true;
    }
    // A whole array at once; the caller has checked that the bytes are there.
    template<typename T> bool array(std::vector<T> &values)
    {
        if (values.empty())
            return true;
        const auto size = static_cast<qsizetype>(values.size() * sizeof(T));
        if (size > m_left)
            return truncated();
        qFromLittleEndian<T>(m_data, static_cast<qsizetype>(values.size()), values.data());
        m_data += size;
        m_left -= size;
        return true;
    }

private:
    template<typename T> bool little(T &value)
    {
        char bytes[sizeof(T)] = {};
        if (!raw(bytes, sizeof bytes))
            return false;
        value = qFromLittleEndian<T>(bytes);
        return true;
    }

    const char *m_data;
    qsizetype m_left;
    const char *m_section = "header";
    QString m_error;
};

} // namespace ChartBlockBytes
