#include "cli/cliinput.h"

#include "files/datasetfile.h"
#include "files/graphfile.h"
#include "files/wholefile.h"
#include "graph/chartblock.h"
#include "graph/chartsetup.h"
#include "logger/datasetchart.h"
#include "logger/datasetrows.h"
#include "logger/loggerdata.h"
#include "logger/memorydecoder.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace CliInput {

namespace {

constexpr int LargestPicture = 20000; // pixels a side

std::optional<QSize> sizeOf(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QSize size(match.captured(1).toInt(), match.captured(2).toInt());
    if (size.width() < 1 || size.height() < 1 || size.width() > LargestPicture
        || size.height() > LargestPicture)
        return std::nullopt;
    return size;
}

Loaded fromGraphFile(const QString &fileName)
{
    const GraphFile::ReadResult read = GraphFile::read(fileName);
    QString error = read.error;
    ChartModel chart;
    if (!read.block || !ChartBlock::load(*read.block, chart, &error))
        return { std::nullopt,
                 {},
                 failed(WholeFile::shownName(fileName) + QStringLiteral(": ") + error,
                        CliCommands::BadInput) };
    return { std::move(chart), GraphSource::file(fileName), {} };
}

Loaded fromCollection(const QString &fileName, int set, const Clock &clock)
{
    const DataSetFile::ReadResult read = DataSetFile::readCollection(fileName);
    if (!read.memory)
        return { std::nullopt,
                 {},
                 failed(WholeFile::shownName(fileName) + QStringLiteral(": ") + read.error,
                        CliCommands::BadInput) };
    LoggerData data;
    const int code = MemoryDecoder::DecodeLoggerMemory(
        *read.memory, DataSetFile::lastAddressOf(*read.memory).value_or(0), clock, data);
    if (code == MemoryDecoder::NoDataSets || code == MemoryDecoder::TooManySets)
        return { std::nullopt, {}, { {}, CliCommands::codeLine(code), CliCommands::NotDecoded } };
    if (set > data.setCount())
        return { std::nullopt,
                 {},
                 failed(QStringLiteral("there is no data set %1; the file holds %2")
                            .arg(set)
                            .arg(data.setCount()),
                        CliCommands::BadInput) };
    ChartModel chart;
    ChartSetup::applyDefaultLook(chart);
    DataSetChart::draw(chart, data, set - 1);
    // A data set decoded with a fault is still written; the fault is said.
    CliCommands::Output warning;
    if (code != MemoryDecoder::Decoded)
        warning.err = CliCommands::codeLine(code);
    const std::size_t s = std::size_t(set - 1);
    GraphSource source = GraphSource::dataSetOf(set, data.setStartTimes[s], data.setIntervals[s],
                                                DataSetRows::weightingText(data.setFlags[s]),
                                                DataSetRows::responseText(data.setFlags[s]));
    source.fileName = fileName;
    return { std::move(chart), std::move(source), warning };
}

} // namespace

CliCommands::Output failed(const QString &reason, int status)
{
    return { {}, QStringLiteral("audexa-cli: ") + reason + QLatin1Char('\n'), status };
}

Parsed parse(const QString &command, const QStringList &arguments)
{
    const bool picture = command == QLatin1String("picture");
    const bool report = command == QLatin1String("report");
    QStringList files;
    std::optional<QString> setArgument;
    std::optional<QString> sizeArgument;
    std::optional<QString> titleArgument;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return { std::nullopt, { CliCommands::usage(), {}, CliCommands::Decoded } };
        std::optional<QString> *value = nullptr;
        QString name;
        for (const auto &[option, target] :
             { std::pair { QStringLiteral("--set"), &setArgument },
               std::pair { QStringLiteral("--size"), &sizeArgument },
               std::pair { QStringLiteral("--title"), &titleArgument } }) {
            if ((option == QLatin1String("--size") && !picture)
                || (option == QLatin1String("--title") && !report))
                continue;
            if (argument == option || argument.startsWith(option + QLatin1Char('='))) {
                value = target;
                name = option;
            }
        }
        if (value && argument == name) {
            if (i + 1 >= arguments.size())
                return { std::nullopt,
                         failed(name == QLatin1String("--set")
                                    ? QStringLiteral("--set needs a data set number")
                                    : name == QLatin1String("--size")
                                    ? QStringLiteral("--size needs a size such as 1600x900")
                                    : QStringLiteral("--title needs a title"),
                                CliCommands::BadInput) };
            *value = arguments.at(++i);
        } else if (value) {
            *value = argument.mid(name.size() + 1);
        } else if (argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            return { std::nullopt,
                     failed(QStringLiteral("unknown option \"%1\"").arg(argument),
                            CliCommands::BadInput) };
        } else {
            files << argument;
        }
    }
    if (files.size() != 2)
        return { std::nullopt,
                 failed(QStringLiteral("%1 needs an input and an output file").arg(command),
                        CliCommands::BadInput) };
    Arguments a;
    a.input = files[0];
    a.output = files[1];
    a.graphFile = QFileInfo(a.input).suffix().toLower() == QLatin1String("ghf");
    if (setArgument) {
        bool ok = false;
        a.set = setArgument->toInt(&ok);
        if (!ok || a.set < 1 || a.graphFile)
            return { std::nullopt,
                     failed(a.graphFile
                                ? QStringLiteral("--set applies to a collection (.rec) only")
                                : QStringLiteral("--set needs a data set number from 1, not \"%1\"")
                                      .arg(*setArgument),
                            CliCommands::BadInput) };
    }
    if (sizeArgument) {
        a.size = sizeOf(*sizeArgument);
        if (!a.size)
            return { std::nullopt,
                     failed(QStringLiteral("--size needs a width and a height from 1 to %1 "
                                           "pixels, such as 1600x900, not \"%2\"")
                                .arg(LargestPicture)
                                .arg(*sizeArgument),
                            CliCommands::BadInput) };
    }
    a.title = titleArgument;
    return { std::move(a), {} };
}

Loaded load(const Arguments &arguments, const Clock &clock)
{
    return arguments.graphFile ? fromGraphFile(arguments.input)
                               : fromCollection(arguments.input, arguments.set, clock);
}

} // namespace CliInput
