// audexa-cli: decodes data set collection files from the command line; see CliCommands::usage.

#include "base/clock.h"
#include "cli/clicommands.h"

#include <QCoreApplication>
#include <QLocale>

#include <cstdio>

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
    QCoreApplication app(argc, argv);
    // "sets" and "readings" never depend on the user's locale; "export" writes text in it, as
    // Audexa does, through QLocale::system(), which this leaves alone.
    QLocale::setDefault(QLocale::c());
    const SystemClock clock;
    const CliCommands::Output output = CliCommands::run(app.arguments().mid(1), clock);
    print(output.out, stdout);
    print(output.err, stderr);
    return output.status;
}
