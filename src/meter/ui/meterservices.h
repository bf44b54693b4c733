#pragma once

#include <QString>

class MeterLink;

// What a command says when another exchange (a download, an LEQ measurement) has the meter.
inline QString meterBusyMessage()
{
    return QStringLiteral("The meter is busy with another exchange; try again when it has ended.");
}

// The hint of a control that is disabled while another exchange has the meter to itself.
inline QString meterBusyHint()
{
    return QStringLiteral(
        "Not available while an LEQ measurement, a download or a setup command has the meter.");
}

// The meter as the windows that talk to it use it: the link for their exchanges, and the poll,
// which an exchange of their own (a download, the setup commands, an LEQ measurement) stops for
// its duration. The main window implements it.
class MeterServices
{
public:
    virtual ~MeterServices() = default;

    virtual MeterLink &link() = 0;

    // Starts an exchange that needs the meter to itself. False, and nothing changes, while
    // another one runs. Otherwise waits (at most 2.5 s) for the poll tick in progress to end,
    // switches the poll off, and disables the commands that would start another exchange.
    virtual bool beginExchange() = 0;
    // Ends it, whatever its outcome: the poll runs again and the commands come back.
    virtual void endExchange() = 0;
};

// One exchange, ended when it goes out of scope. active() is false when another exchange was
// already running: the caller must not touch the meter then.
class MeterExchange
{
public:
    explicit MeterExchange(MeterServices &meter)
        : m_meter(meter)
        , m_active(meter.beginExchange())
    {
    }
    ~MeterExchange()
    {
        if (m_active)
            m_meter.endExchange();
    }
    MeterExchange(const MeterExchange &) = delete;
    MeterExchange &operator=(const MeterExchange &) = delete;

    bool active() const { return m_active; }

private:
    MeterServices &m_meter;
    bool m_active;
};
