#include "cli/cliexport.h"

#include "files/datasetfile.h"
#include "files/graphfile.h"
#include "files/textexport.h"
#include "files/wholefile.h"
#include "graph/chartblock.h"
#include "graph/chartmodel.h"
#include "logger/loggerdata.h"
#include "logger/memorydecoder.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

namespace {

const QLatin1String Prefix("audexa-cli: ");

CliCommands::Output failed(const QString &reason, int status)
{
    return { {}, Prefix + reason + QLatin1Char('\n'), status };
}

struct Series
{
    std::vector<double> xs;
    std::vector<float> ys;
};

struct Loaded
{
    std::optional<Series> series;
    CliCommands::Output report; // the failure, or a warning to pass on
};

Loaded fromGraphFile(const QString &fileName)
{
    const GraphFile::ReadResult read = GraphFile::read(fileName);
    QString error = read.error;
    ChartModel chart;
    if (!read.block || !ChartBlock::load(*read.block, chart, &error))
        return { std::nullopt,
                 failed(WholeFile::shownName(fileName) + QStringLiteral(": ") + error,
                        CliCommands::BadInput) };
    if (chart.subsets() == 0)
        return { Series {}, {} };
    return { Series { chart.xs(0), chart.ys(0) }, {} };
}

Loaded fromCollection(const QString &fileName, int set, const Clock &clock)
{
    const DataSetFile::ReadResult read = DataSetFile::readCollection(fileName);
    if (!read.memory)
        return { std::nullopt,
                 failed(WholeFile::shownName(fileName) + QStringLiteral(": ") + read.error,
                        CliCommands::BadInput) };
    LoggerData data;
    const int code = MemoryDecoder::DecodeLoggerMemory(
        *read.memory, DataSetFile::lastAddressOf(*read.memory).value_or(0), clock, data);
    if (code == MemoryDecoder::NoDataSets || code == MemoryDecoder::TooManySets)
        return { std::nullopt, { {}, CliCommands::codeLine(code), CliCommands::NotDecoded } };
    if (set > data.setCount())
        return { std::nullopt,
                 failed(QStringLiteral("there is no data set %1; the file holds %2")
                            .arg(set)
                            .arg(data.setCount()),
                        CliCommands::BadInput) };
    const auto begin = std::size_t(data.setOffset(set - 1));
    const auto end = begin + std::size_t(data.setCounts[std::size_t(set - 1)]);
    Series series;
    series.xs.assign(data.levelTimes.begin() + qsizetype(begin),
                     data.levelTimes.begin() + qsizetype(end));
    series.ys.assign(data.levels.begin() + qsizetype(begin), data.levels.begin() + qsizetype(end));
    // A data set decoded with a fault is still written; the fault is said.
    CliCommands::Output warning;
    if (code != MemoryDecoder::Decoded)
        warning.err = CliCommands::codeLine(code);
    return { std::move(series), warning };
}

} // namespace

namespace CliExport {

CliCommands::Output run(const QStringList &arguments, const Clock &clock, const QLocale &locale)
{
    QStringList files;
    std::optional<QString> setArgument;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return { CliCommands::usage(), {}, CliCommands::Decoded };
        if (argument == QLatin1String("--set") && i + 1 >= arguments.size())
            return failed(QStringLiteral("--set needs a data set number"), CliCommands::BadInput);
        if (argument == QLatin1String("--set"))
            setArgument = arguments.at(++i);
        else if (argument.startsWith(QLatin1String("--set=")))
            setArgument = argument.mid(6);
        else if (argument.startsWith(QLatin1Char('-')) && argument.size() > 1)
            return failed(QStringLiteral("unknown option \"%1\"").arg(argument),
                          CliCommands::BadInput);
        else
            files << argument;
    }
    if (files.size() != 2)
        return failed(QStringLiteral("export needs an input and an output file"),
                      CliCommands::BadInput);
    const QString &input = files[0];
    const QString &output = files[1];
    const bool graphFile = QFileInfo(input).suffix().toLower() == QLatin1String("ghf");
    int set = 1;
    if (setArgument) {
        bool ok = false;
        set = setArgument->toInt(&ok);
        if (!ok || set < 1 || graphFile)
            return failed(graphFile ? QStringLiteral("--set applies to a collection (.rec) only")
                                    : QStringLiteral("--set needs a data set number from 1, "
                                                     "not \"%1\"")
                                          .arg(*setArgument),
                          CliCommands::BadInput);
    }

    const Loaded loaded = graphFile ? fromGraphFile(input) : fromCollection(input, set, clock);
    if (!loaded.series)
        return loaded.report;
    const bool toStandardOutput = output == QLatin1String("-");
    const char separator
        = toStandardOutput ? '\t' : TextExport::separatorForExtension(QFileInfo(output).suffix());
    if (separator == ',' && !TextExport::commaFormAllowed(locale))
        return failed(TextExport::commaFormRefused(output), CliCommands::BadInput);
    const TextExport::Lines lines
        = TextExport::graphLines(loaded.series->xs, loaded.series->ys,
                                 { 1, int(loaded.series->xs.size()) }, separator, locale);
    if (toStandardOutput)
        return { QString::fromUtf8(lines.bytes), loaded.report.err, CliCommands::Decoded };
    const QString error = WholeFile::write(output, lines.bytes);
    if (!error.isEmpty())
        return failed(error, CliCommands::BadInput);
    return { {}, loaded.report.err, CliCommands::Decoded };
}

} // namespace CliExport
