#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class Clock;

// The commands of audexa-cli, apart from the process around them: each takes the file's bytes
// (or the command line) and gives back what to print and the exit status.
namespace CliCommands {

enum ExitStatus {
    Decoded = 0, // the data sets were decoded (decoder codes 0, 33, 34, 35)
    BadInput = 2, // bad command line, or a file that cannot be read or is too short
    NotDecoded = 3, // the decoder found nothing to decode (codes 31 and 32)
};

struct Output
{
    QString out; // for standard output
    QString err; // for standard error: one line, or the usage
    int status = Decoded;
};

QString usage();
// The line that reports a decoder code, "audexa-cli: <meaning> (decoder code N)".
QString codeLine(int code);

// "sets": the decoder's result line, a header line and one line per data set.
Output sets(const QByteArray &memory, const Clock &clock);
// "readings": a header line and one line per reading, of every set (set 0) or of set `set`
// (1-based) alone.
Output readings(const QByteArray &memory, const Clock &clock, int set = 0);

// The whole program: arguments without the program's name; reads the file named in them.
Output run(const QStringList &arguments, const Clock &clock);

} // namespace CliCommands
