// audexa-cli: decodes data set collection files from the command line; see CliCommands::usage.

#include "base/clock.h"
#include "cli/clicommands.h"
#include "cli/ui/clipicture.h"
#include "cli/ui/clireport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLocale>

#include <cstdio>
#include <memory>

namespace {

void print(const QString &text, std::FILE *stream)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
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
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const CliCommands::Output output = picture ? CliPicture::run(arguments.mid(1), clock)
        : report                               ? CliReport::run(arguments.mid(1), clock)
                                               : CliCommands::run(arguments, clock);
    print(output.out, stdout);
    print(output.err, stderr);
    return output.status;
}
