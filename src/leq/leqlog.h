#pragma once

#include <QFile>
#include <QString>

// The log of an LEQ measurement: one line per reading, the meter's time, a tab and the level with
// one decimal, in "LEQ.txt". A new measurement keeps the log of the one before: that file is
// renamed after the time it was last written ("LEQ 2026-12-09 05.15.00.txt") before the new
// "LEQ.txt" is begun, so no measurement's log is lost to the next Start. The last KeptLogs of
// those are kept; older ones are removed then (only files named so, in that folder). A file that
// cannot be removed stays, and the measurement goes on.
class LeqLog
{
public:
    static constexpr const char *FileName = "LEQ.txt";
    static constexpr int KeptLogs = 20;

    ~LeqLog() { close(); }

    // Closes the log in progress, sets the last one aside, removes the kept ones beyond KeptLogs,
    // and begins "LEQ.txt" in folder (created when missing). False when it cannot be written, or
    // the last log cannot be set aside (it is left as it is): the measurement runs without a log.
    bool open(const QString &folder);
    void append(const QString &timeText, const QString &levelText);
    void close();
    bool isOpen() const { return m_file.isOpen(); }
    QString fileName() const { return m_file.fileName(); }

private:
    QFile m_file;
};
