#include "meter/commandframe.h"

void CommandFrame::setCommand(char letter)
{
    m_bytes[0] = Start;
    m_bytes[1] = static_cast<quint8>(letter);
    m_bytes[6] = End;
}

void CommandFrame::setAddress(quint32 address)
{
    m_bytes[2] = static_cast<quint8>(address >> 16);
    m_bytes[3] = static_cast<quint8>(address >> 8);
    m_bytes[4] = static_cast<quint8>(address);
}

CommandFrame CommandFrame::erase()
{
    CommandFrame frame;
    frame.m_bytes = { Start, 'e', 'r', 'a', 's', 'e', End };
    return frame;
}

CommandFrame CommandFrame::information()
{
    CommandFrame frame;
    frame.m_bytes = { Start, 'Y', 0, 0, 0, 0, End };
    return frame;
}
