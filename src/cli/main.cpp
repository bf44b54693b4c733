// audexa-cli: decodes data set collection files from the command line; see CliCommands::usage.

#include "base/clock.h"
#include "cli/clicommands.h"
#include "cli/clifilenames.h"
#include "cli/ui/clipicture.h"
#include "cli/ui/clireport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLocale>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Writes text to stream and flushes it: 0, or the system's error number when any of it could
// not be written (a full disk, a closed pipe).
int print(const QString &text, std::FILE *stream)
{
    const QByteArray bytes = text.toUtf8();
    errno = 0;
    if (std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream)
            != std::size_t(bytes.size())
        || std::fflush(stream) != 0)
        return errno != 0 ? errno : EIO;
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // "picture" and "report" draw with the graph window's chart, which needs the widgets, but no
    // display: they always run on the offscreen platform. The other commands need the core alone.
    const QLatin1String command(argc > 1 ? argv[1] : "");
    const bool picture = command == QLatin1String("picture");
    const bool report = command == QLatin1String("report");
    std::unique_ptr<QCoreApplication> app;
    if (picture || report) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    // "sets" and "readings" never depend on the user's locale; "export", "picture" and "report"
    // write text in it, as Audexa does, through QLocale::system(), which this leaves alone.
    QLocale::setDefault(QLocale::c());
    const SystemClock clock;
    const CliFileNames names(argc, argv);
    const QStringList arguments = names.arguments();
    CliCommands::Output output = picture ? CliPicture::run(arguments.mid(1), clock)
        : report                         ? CliReport::run(arguments.mid(1), clock)
                                         : CliCommands::run(arguments, clock);
    // What was not written to standard output is a failure, whatever the command found.
    if (const int error = print(names.shown(output.out), stdout); error != 0) {
        output.err += QStringLiteral("audexa-cli: cannot write to standard output: %1\n")
                          .arg(QString::fromLocal8Bit(std::strerror(error)));
        if (output.status == CliCommands::Decoded)
            output.status = CliCommands::BadInput;
    }
    print(names.shown(output.err), stderr);
    return output.status;
}
