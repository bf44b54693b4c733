#pragma once

#include <QtGlobal>

// The 8-bit counter sent with each live-reading request and echoed in reply byte 30.
class SequenceCounter
{
public:
    // Steps the counter (255 wraps to 0) and returns the new value.
    quint8 next() { return ++m_value; }
    quint8 value() const { return m_value; }

private:
    quint8 m_value = 0;
};
