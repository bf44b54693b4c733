#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <vector>

// The command line as the system gives it. A file name whose bytes are not valid UTF-8 does not
// survive a QString (each bad byte becomes U+FFFD), so its file would be missed or written under
// another name. Such an argument is handed on as a stand-in: a link in a private folder, named
// as the name is shown, that reaches the file by its exact bytes. A file is written to a
// stand-in beside its target first and then renamed to the target's exact name.
class CliFileNames
{
public:
    CliFileNames(int argc, char **argv);
    ~CliFileNames();
    CliFileNames(const CliFileNames &) = delete;
    CliFileNames &operator=(const CliFileNames &) = delete;

    // The arguments after the program's name.
    QStringList arguments() const { return m_arguments; }
    // text with every stand-in's path replaced by the name as the user gave it.
    QString shown(QString text) const;

    // Writes output through write (which takes the name to write and returns an empty string
    // or the message to show): output itself, or for a stand-in a name beside its target that
    // is then renamed to it. Returns write's message, or why the rename failed.
    static QString writeTo(const QString &output,
                           const std::function<QString(const QString &)> &write);

private:
    struct StandIn
    {
        QString path; // the link to the file
        QString staging; // where a file for it is written first
        QString shown; // the name as given, bad bytes shown as U+FFFD
    };
    QStringList m_arguments;
    QTemporaryDir m_folder;
    std::vector<StandIn> m_standIns;
};
