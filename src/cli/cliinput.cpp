#include "cli/cliinput.h"

#include "chart/chartblock.h"
#include "chart/chartsetup.h"
#include "files/datasetfile.h"
#include "files/graphfile.h"
#include "files/textexport.h"
#include "files/textimport.h"
#include "files/wholefile.h"
#include "logger/datasetchart.h"
#include "logger/datasetrows.h"
#include "logger/loggerdata.h"
#include "logger/memorydecoder.h"
#include "logger/tabletograph.h"
#include "survey/exceedances.h"
#include "survey/leveldistribution.h"
#include "survey/periodfigures.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <tuple>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

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
    if (!read.block)
        return { std::nullopt, {}, failed(read.error, CliCommands::BadInput) };
    QString error;
    ChartModel chart;
    if (!ChartBlock::load(*read.block, chart, &error))
        return { std::nullopt,
                 {},
                 failed(QStringLiteral("\"%1\" cannot be read as a graph: %2")
                            .arg(WholeFile::shownName(fileName), error),
                        CliCommands::BadInput) };
    return { std::move(chart), GraphSource::file(fileName), {} };
}

Loaded fromCollection(const QString &fileName, int set, const Clock &clock)
{
    const DataSetFile::ReadResult read = DataSetFile::readCollection(fileName);
    if (!read.memory)
        return { std::nullopt, {}, failed(read.error, CliCommands::BadInput) };
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

// A text file of readings, read as a table and drawn as "Output Tabular to graph" draws it.
Loaded fromTextFile(const QString &fileName)
{
    const QChar separator
        = QLatin1Char(TextExport::separatorForExtension(QFileInfo(fileName).suffix()));
    const TextImport::Result read = TextImport::readFile(fileName, separator, 7);
    if (!read.error.isEmpty())
        return { std::nullopt, {}, failed(read.error, CliCommands::BadInput) };
    const QString shown = WholeFile::shownName(fileName);
    const int rows = TableToGraph::readingRows(read.table);
    if (read.lines == 0 || rows == 0)
        return { std::nullopt,
                 {},
                 failed(read.lines == 0 ? QStringLiteral("no line of \"%1\" could be read: %2")
                                              .arg(shown, read.noLineReason)
                                        : QStringLiteral("\"%1\" holds no readings").arg(shown),
                        CliCommands::BadInput) };
    const QLocale locale = QLocale::system();
    const TableToGraph::RowTime start = TableToGraph::rowTime(read.table, 1, locale);
    const TableToGraph::RowTime end = TableToGraph::rowTime(read.table, rows, locale);
    if (!start.days || !end.days)
        return { std::nullopt,
                 {},
                 failed(
                     QStringLiteral("\"%1\": %2").arg(shown, start.days ? end.error : start.error),
                     CliCommands::BadInput) };
    const TableToGraph::Points points = TableToGraph::points(read.table, locale);
    ChartModel chart;
    ChartSetup::applyDefaultLook(chart);
    ChartSetup::resetData(chart, 1, 130, 30, *end.days, *start.days, rows);
    chart.setPoints(int(points.xs.size()));
    chart.setSeries(0, points.xs, points.ys);
    CliCommands::Output warning;
    if (!read.dateNote.isEmpty())
        warning.err = QStringLiteral("audexa-cli: \"%1\": %2\n").arg(shown, read.dateNote);
    return { std::move(chart), GraphSource::file(fileName), warning };
}

// True when the two names reach one file: the same path, a link to it, or another hard link.
bool sameFile(const QString &a, const QString &b)
{
#ifdef Q_OS_UNIX
    struct stat first = {};
    struct stat second = {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0
        && ::stat(QFile::encodeName(b).constData(), &second) == 0 && first.st_dev == second.st_dev
        && first.st_ino == second.st_ino;
#else
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
#endif
}

} // namespace

std::optional<CliCommands::Output> pointsBeyond(const Arguments &a, int points)
{
    const int last = a.to.value_or(points);
    if ((a.from || a.to) && last > points)
        return failed(
            QStringLiteral("--to %1 lies beyond the last point, %2").arg(last).arg(points),
            CliCommands::BadInput);
    if (a.from && *a.from > points)
        return failed(
            QStringLiteral("--from %1 lies beyond the last point, %2").arg(*a.from).arg(points),
            CliCommands::BadInput);
    return std::nullopt;
}

CliCommands::Output failed(const QString &reason, int status)
{
    return { {}, QStringLiteral("audexa-cli: ") + reason + QLatin1Char('\n'), status };
}

Parsed parse(const QString &command, const QStringList &arguments)
{
    const bool picture = command == QLatin1String("picture");
    const bool figures = command == QLatin1String("figures");
    const bool report = command == QLatin1String("report");
    const bool periods = command == QLatin1String("periods");
    const bool exceed = command == QLatin1String("exceed");
    const bool distribution = command == QLatin1String("distribution");
    const bool lden = command == QLatin1String("lden");
    const bool workbook = command == QLatin1String("workbook");
    const bool exportCommand = command == QLatin1String("export");
    const bool oneFile = figures || periods || exceed || distribution || lden;
    QStringList files;
    std::optional<QString> setArgument, sizeArgument, fromArgument, toArgument, titleArgument,
        periodArgument, limitArgument, classArgument, hoursArgument, categoryArgument,
        sectionsArgument;
    struct Option
    {
        QString name;
        std::optional<QString> *value;
        bool taken;
        QString needs;
    };
    const Option options[] = {
        { QStringLiteral("--set"), &setArgument, true, QStringLiteral("a data set number") },
        { QStringLiteral("--size"), &sizeArgument, picture,
          QStringLiteral("a size such as 1600x900") },
        { QStringLiteral("--from"), &fromArgument, figures || distribution,
          QStringLiteral("a point number") },
        { QStringLiteral("--to"), &toArgument, figures || distribution,
          QStringLiteral("a point number") },
        { QStringLiteral("--title"), &titleArgument, report, QStringLiteral("a title") },
        { QStringLiteral("--period"), &periodArgument, periods || workbook || report,
          QStringLiteral("a period in seconds") },
        { QStringLiteral("--limit"), &limitArgument, exceed || report,
          QStringLiteral("a level in dB") },
        { QStringLiteral("--sections"), &sectionsArgument, report,
          QStringLiteral("a list of sections such as graph,figures,periods") },
        { QStringLiteral("--class"), &classArgument, distribution,
          QStringLiteral("a class width in dB") },
        { QStringLiteral("--hours"), &hoursArgument, lden || workbook || report,
          QStringLiteral("hours such as 07-19-23") },
        { QStringLiteral("--category"), &categoryArgument, figures,
          QStringLiteral("specific or residual") },
    };
    bool method = false;
    bool withHeader = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return { std::nullopt, { CliCommands::usage(), {}, CliCommands::Decoded } };
        if (figures && argument == QLatin1String("--method")) {
            method = true;
            continue;
        }
        if (exportCommand && argument == QLatin1String("--with-header")) {
            withHeader = true;
            continue;
        }
        const Option *option = nullptr;
        for (const Option &candidate : options)
            if (candidate.taken
                && (argument == candidate.name
                    || argument.startsWith(candidate.name + QLatin1Char('='))))
                option = &candidate;
        if (option && argument == option->name) {
            if (i + 1 >= arguments.size())
                return { std::nullopt,
                         failed(option->name + QStringLiteral(" needs ") + option->needs,
                                CliCommands::BadInput) };
            *option->value = arguments.at(++i);
        } else if (option) {
            *option->value = argument.mid(option->name.size() + 1);
        } else if (argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            return { std::nullopt,
                     failed(QStringLiteral("unknown option \"%1\"").arg(argument),
                            CliCommands::BadInput) };
        } else {
            files << argument;
        }
    }
    const qsizetype wanted = oneFile ? 1 : 2;
    if (files.size() != wanted)
        return { std::nullopt,
                 failed(oneFile
                            ? QStringLiteral("%1 needs one input file").arg(command)
                            : QStringLiteral("%1 needs an input and an output file").arg(command),
                        CliCommands::BadInput) };
    Arguments a;
    a.method = method;
    a.withHeader = withHeader;
    a.input = files[0];
    a.output = files.value(1);
    const QString suffix = QFileInfo(a.input).suffix().toLower();
    a.graphFile = suffix == QLatin1String("ghf");
    a.textFile = suffix == QLatin1String("txt") || suffix == QLatin1String("csv");
    if (setArgument) {
        bool ok = false;
        a.set = setArgument->toInt(&ok);
        if (!ok || a.set < 1 || a.graphFile || a.textFile)
            return { std::nullopt,
                     failed(a.graphFile || a.textFile
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
    for (const auto &[text, target, name] :
         { std::tuple { fromArgument, &a.from, QStringLiteral("--from") },
           std::tuple { toArgument, &a.to, QStringLiteral("--to") } }) {
        if (!text)
            continue;
        bool ok = false;
        const int point = text->toInt(&ok);
        if (!ok || point < 1)
            return {
                std::nullopt,
                failed(
                    QStringLiteral("%1 needs a point number from 1, not \"%2\"").arg(name, *text),
                    CliCommands::BadInput)
            };
        *target = point;
    }
    if (a.from && a.to && *a.from > *a.to)
        return { std::nullopt,
                 failed(QStringLiteral("--from %1 lies after --to %2").arg(*a.from).arg(*a.to),
                        CliCommands::BadInput) };
    if (categoryArgument) {
        a.category = categoryNamed(*categoryArgument);
        if (!a.category || *a.category == IntervalCategory::Excluded)
            return { std::nullopt,
                     failed(QStringLiteral("--category needs specific or residual, not \"%1\"")
                                .arg(*categoryArgument),
                            CliCommands::BadInput) };
        if (a.from || a.to)
            return { std::nullopt,
                     failed(QStringLiteral("--category gives the figures of the whole series; "
                                           "it does not go with --from or --to"),
                            CliCommands::BadInput) };
    }
    a.title = titleArgument;
    if (periods || periodArgument) {
        bool ok = false;
        const int seconds = periodArgument ? periodArgument->toInt(&ok) : 0;
        if (!ok || seconds < 1 || seconds > PeriodFigures::MaxPeriodSeconds)
            return { std::nullopt,
                     failed(QStringLiteral("--period needs whole seconds from 1 to %1%2")
                                .arg(PeriodFigures::MaxPeriodSeconds)
                                .arg(periodArgument
                                         ? QStringLiteral(", not \"%1\"").arg(*periodArgument)
                                         : QString()),
                            CliCommands::BadInput) };
        a.period = seconds;
    }
    if (exceed || limitArgument) {
        bool ok = false;
        const double limit = limitArgument ? QLocale::c().toDouble(*limitArgument, &ok) : 0.0;
        if (!ok || !std::isfinite(limit))
            return { std::nullopt,
                     failed(QStringLiteral("--limit needs a level in dB such as 65 or 72.5%1")
                                .arg(limitArgument
                                         ? QStringLiteral(", not \"%1\"").arg(*limitArgument)
                                         : QString()),
                            CliCommands::BadInput) };
        if (report && (limit < Exceedances::LowestLimit || limit > Exceedances::HighestLimit))
            return { std::nullopt,
                     failed(QStringLiteral("--limit needs a level from %1 to %2 dB, not \"%3\"")
                                .arg(Exceedances::LowestLimit)
                                .arg(Exceedances::HighestLimit)
                                .arg(*limitArgument),
                            CliCommands::BadInput) };
        a.limit = limit;
    }
    if (sectionsArgument) {
        QString error;
        a.sections = ReportSections::parse(*sectionsArgument, &error);
        if (!a.sections)
            return { std::nullopt,
                     failed(QStringLiteral("--sections: %1").arg(error), CliCommands::BadInput) };
    }
    if (classArgument) {
        const std::optional<int> tenths = LevelDistribution::widthOf(*classArgument);
        if (!tenths)
            return { std::nullopt,
                     failed(QStringLiteral("--class needs a width of 0.1, 0.5, 1, 2 or 5 dB, "
                                           "not \"%1\"")
                                .arg(*classArgument),
                            CliCommands::BadInput) };
        a.classTenths = *tenths;
    }
    if (hoursArgument) {
        const std::optional<DayEveningNightHours> hours
            = DayEveningNightHours::parse(*hoursArgument);
        if (!hours)
            return { std::nullopt,
                     failed(QStringLiteral("--hours needs 07-19-23, 06-18-22, 06-20-22 or 07-22, "
                                           "not \"%1\"")
                                .arg(*hoursArgument),
                            CliCommands::BadInput) };
        a.hours = *hours;
    }
    return { std::move(a), {} };
}

Loaded load(const Arguments &arguments, const Clock &clock)
{
    // Writing the output would replace the input before or while it is read.
    if (!arguments.output.isEmpty() && arguments.output != QLatin1String("-")
        && sameFile(arguments.input, arguments.output))
        return { std::nullopt,
                 {},
                 failed(QStringLiteral("the output \"%1\" is the input file; choose another name")
                            .arg(WholeFile::shownName(arguments.output)),
                        CliCommands::BadInput) };
    if (arguments.textFile)
        return fromTextFile(arguments.input);
    return arguments.graphFile ? fromGraphFile(arguments.input)
                               : fromCollection(arguments.input, arguments.set, clock);
}

} // namespace CliInput
