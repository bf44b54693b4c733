#include "cli/clicommands.h"

#include "base/datetimedays.h"
#include "cli/clidistribution.h"
#include "cli/cliexport.h"
#include "cli/clifigures.h"
#include "cli/cliperiods.h"
#include "cli/cliworkbook.h"
#include "files/datasetfile.h"
#include "logger/datasetrows.h"
#include "logger/loggerdata.h"
#include "logger/memorydecoder.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <cmath>

namespace {

const QLatin1Char Tab('\t');
const QLatin1Char Newline('\n');
const QLatin1String Prefix("audexa-cli: ");

struct Decoding
{
    LoggerData data;
    int code = 0;
};

Decoding decode(const QByteArray &memory, const Clock &clock)
{
    Decoding decoding;
    const int lastAddress = DataSetFile::lastAddressOf(memory).value_or(0);
    decoding.code = MemoryDecoder::DecodeLoggerMemory(memory, lastAddress, clock, decoding.data);
    return decoding;
}

bool decoded(int code)
{
    return code != MemoryDecoder::NoDataSets && code != MemoryDecoder::TooManySets;
}

QString codeMeaning(int code)
{
    switch (code) {
    case MemoryDecoder::NoDataSets:
        return QStringLiteral("no data set is recorded");
    case MemoryDecoder::TooManySets:
        return QStringLiteral("the file names more than 4000 data sets");
    case MemoryDecoder::BadMarker:
        return QStringLiteral("a data set's start or end marker is wrong");
    case MemoryDecoder::BeyondLastAddress:
        return QStringLiteral("a data set ends beyond the last used address");
    case MemoryDecoder::StartTimeFailed:
        return QStringLiteral("a data set's start time could not be stored");
    default:
        return QStringLiteral("decoded");
    }
}

CliCommands::Output notDecoded(int code, QString out = {})
{
    return { std::move(out), CliCommands::codeLine(code), CliCommands::NotDecoded };
}

CliCommands::Output badInput(const QString &reason, bool withUsage)
{
    QString err = Prefix + reason + Newline;
    if (withUsage)
        err += Newline + CliCommands::usage();
    return { {}, err, CliCommands::BadInput };
}

QString level(double value)
{
    // QString::number always writes a point, whatever the locale.
    return QString::number(value, 'f', 1);
}

} // namespace

namespace CliCommands {

QString codeLine(int code)
{
    return Prefix + codeMeaning(code) + QStringLiteral(" (decoder code %1)").arg(code) + Newline;
}

QString usage()
{
    return QStringLiteral(
        "Usage: audexa-cli sets FILE.rec\n"
        "       audexa-cli readings FILE.rec [--set N]\n"
        "       audexa-cli export IN OUT [--set N] [--with-header]\n"
        "       audexa-cli picture IN OUT [--set N] [--size WxH]\n"
        "       audexa-cli figures FILE [--set N] [--from I] [--to J]\n"
        "       audexa-cli figures FILE [--set N] --category specific|residual\n"
        "       audexa-cli figures FILE ... --method\n"
        "       audexa-cli report IN OUT.pdf|OUT.odt [--set N] [--title T] [--sections LIST]\n"
        "                  [--period SECONDS] [--limit DB] [--hours H]\n"
        "       audexa-cli periods FILE [--set N] --period SECONDS\n"
        "       audexa-cli lden FILE [--set N] [--hours H]\n"
        "       audexa-cli exceed FILE [--set N] --limit DB\n"
        "       audexa-cli distribution FILE [--set N] [--class W] [--from I --to J]\n"
        "       audexa-cli workbook FILE OUT.xlsx [--set N] [--period SECONDS] [--hours H]\n"
        "       audexa-cli --help\n"
        "\n"
        "Decodes a data set collection file (.rec) as opening it in Audexa does, and prints\n"
        "tab-separated text. Times are ISO 8601 local times (2007-03-15T10:30:00) and numbers\n"
        "have a point as decimal separator, whatever the locale.\n"
        "Every command that reads IN or FILE also reads a text file (.txt, .csv) of readings\n"
        "as Audexa's Open then Output Tabular to graph read it (--set does not apply).\n"
        "\n"
        "sets      prints \"result\" and the decoder's code, the header line\n"
        "          set start interval count weighting response range average max_index min_index\n"
        "          and one line per data set: its number from 1, start, interval in seconds,\n"
        "          number of readings, dBA or dBC, FAST or SLOW, measuring range, average level\n"
        "          with one decimal, and the indexes of the highest and the lowest reading.\n"
        "readings  prints the header line\n"
        "          set index time level\n"
        "          and one line per reading (index from 0) of every data set, or of data set N\n"
        "          alone with --set N (N from 1).\n"
        "export    writes data set N (from 1, as readings numbers them; 1 without --set) of a\n"
        "          collection IN (.rec), or the first series of a graph file IN (.ghf), to OUT as\n"
        "          Audexa's Save writes a graph as text: one line per point, date, time and\n"
        "          level, in the locale of the environment (LC_ALL, LANG), CR LF line ends,\n"
        "          separated by commas when OUT ends in \".csv\" and by tabs otherwise. OUT \"-\"\n"
        "          writes to standard output (tabs). --with-header writes instead, whatever the\n"
        "          locale and OUT's extension, \"#\" lines (source, weighting and response,\n"
        "          interval, time zone, program), the line \"time,level_dB\", then one line per\n"
        "          point: its time in ISO 8601 with the UTC offset, a comma, its level with a\n"
        "          point and one decimal (empty for a point not recorded), LF line ends.\n"
        "picture   draws data set N of a collection IN (.rec), or a graph file IN (.ghf) with\n"
        "          its look and annotations, as Audexa's graph window draws it, into OUT: a PNG,\n"
        "          SVG or PDF picture by OUT's extension, WxH pixels (1600x900 without --size;\n"
        "          SVG and PDF are vector). Needs no display.\n"
        "figures   prints the acoustic figures of data set N of a collection FILE (.rec), or of\n"
        "          the first series of a graph file FILE (.ghf) leaving out its excluded\n"
        "          intervals, over points I to J (from 1, both included; all without --from\n"
        "          and --to), as name and value lines: N, T (seconds), Leq, Lmax, Lmin, L5,\n"
        "          L10, L50, L90, L95 and SEL, in dB with one decimal; a figure that cannot be\n"
        "          formed has an empty value. Null points, readings of 0 and excluded points\n"
        "          are not counted. --category gives the figures of the points in the graph's\n"
        "          Specific (or Residual) intervals alone; a point in both counts as Specific.\n"
        "          --method adds, after a blank line, how the figures were worked out: dt and\n"
        "          its origin, the weighting and response, Leq, Ln, the period rule, the\n"
        "          default day-evening-night hours (07-19-23) and coverage threshold (50 %),\n"
        "          and the points left out and why.\n"
        "report    writes data set N of a collection IN (.rec), or a graph file IN (.ghf), as\n"
        "          Audexa's Report... does: a PDF file, or an OpenDocument text (.odt) to edit,\n"
        "          with the title (T, else the graph's main title, else IN's file name), the\n"
        "          survey details the file keeps, the graph, its acoustic figures (cursors A and\n"
        "          B where the file keeps them, else a third and two thirds of the way), the\n"
        "          compliance with the limit (DB, else the file's), the periods of SECONDS (900\n"
        "          unless told), the days' levels for the hours H (07-19-23 unless told), the\n"
        "          exceedances, the distribution, the intervals, the annotations, the overlay\n"
        "          and the method. LIST chooses sections by name, separated by commas: details,\n"
        "          graph, figures, compliance, periods, days, exceedances, distribution,\n"
        "          intervals, annotations, overlay, method (all unless told); one with nothing\n"
        "          in it is left out. In the locale of the environment, on Letter paper where it\n"
        "          measures in US units, A4 elsewhere. Needs no display.\n"
        "periods   prints, without a header, one line per period of SECONDS (1 to 86400) of\n"
        "          FILE (as figures reads it): start, N, Leq, Lmax, L10, L90 and the coverage,\n"
        "          100 x min(P, N x dt) / P with one decimal (P the period's length, dt the\n"
        "          interval between points; 0.0 without a point). Periods start at\n"
        "          the clock's multiples of SECONDS counted from midnight (900: :00, :15, :30,\n"
        "          :45), so a day's last period is shorter when SECONDS does not divide a day;\n"
        "          a point exactly on a boundary belongs to the later period. Periods without\n"
        "          a point between the first and the last with points have N 0 and empty\n"
        "          figures.\n"
        "lden      prints one line per day with points: date, Lday (07:00-19:00), Levening\n"
        "          (19:00-23:00), Lnight (23:00-07:00, counted on the day the night starts),\n"
        "          Lden = 10 log10((12 x 10^(Lday/10) + 4 x 10^((Levening+5)/10)\n"
        "          + 8 x 10^((Lnight+10)/10)) / 24), empty unless all three parts have points,\n"
        "          then the day's, the evening's and the night's coverage (as periods gives it,\n"
        "          P the part's hours). --hours H sets the parts' start hours: 07-19-23 (the\n"
        "          default), 06-18-22 or 06-20-22, the weights being the parts' hours (14, 2, 8\n"
        "          for 06-20-22); 07-22 has no evening, the fifth field is then\n"
        "          Ldn = 10 log10((15 x 10^(Lday/10) + 9 x 10^((Lnight+10)/10)) / 24) and the\n"
        "          evening's fields are empty.\n"
        "exceed    prints one line per run of consecutive points above DB (a null, excluded\n"
        "          or 0 point, or one at or below DB, ends a run): start, seconds (points x\n"
        "          the interval; whole seconds when the interval is whole, one decimal\n"
        "          otherwise, empty when it is not known), Lmax, Leq; then the line\n"
        "          \"total\", the number of runs and their seconds.\n"
        "distribution  prints, without a header, one line per class of W dB (0.1, 0.5, 1, 2\n"
        "          or 5; 1 without --class) of the valid levels of FILE (as figures reads it,\n"
        "          points I to J with --from and --to): lower edge (one decimal), count,\n"
        "          percent of N and percent of N at or above the lower edge (two decimals).\n"
        "          A class holds the levels from its lower edge up to, not including, the\n"
        "          next class's, levels taken in whole tenths of a dB (60.0 lies in the 60-61\n"
        "          class); the empty classes between the lowest and the highest are listed.\n"
        "workbook  writes FILE (as figures reads it) to OUT.xlsx as Audexa's Save writes a\n"
        "          graph as an Excel workbook: sheets \"Readings\" (date-time cells and levels;\n"
        "          past 1048575 points on in \"Readings 2\", ...), \"Figures\" (with the method),\n"
        "          \"Periods\" (of SECONDS, 900 without --period), \"Lden\" (for the hours H, as\n"
        "          lden takes them, 07-19-23 without --hours), \"Exceedances\" (when the graph\n"
        "          file has a limit) and \"Details\". Dates are shown in the environment's\n"
        "          locale. The program's settings are not read.\n"
        "\n"
        "Decoder codes: 0 every data set decoded; 33 a data set's start or end marker is wrong;\n"
        "34 a data set ends beyond the last used address; 35 a start time could not be stored;\n"
        "31 no data set is recorded; 32 more than 4000 data sets.\n"
        "\n"
        "Exit status:\n"
        "  0  the data sets were decoded (codes 0, 33, 34 and 35)\n"
        "  2  the command line is wrong (unknown command, missing file, a --set N that is not a\n"
        "     data set of the file), or the file cannot be read, is empty or is shorter than\n"
        "     14 bytes; the reason goes to standard error\n"
        "     (every command: also standard output that cannot be written, or a file that is\n"
        "     not a regular file, such as a folder or a pipe;\n"
        "     export, picture, report, workbook: an output file that cannot be written, or\n"
        "     that is the input file;\n"
        "     figures: a --from or --to beyond the last point, or --from after --to, or a\n"
        "     --category other than specific or residual, or with --from or --to;\n"
        "     periods: a missing or bad --period, or more than 2097152 periods;\n"
        "     workbook: a bad --period or --hours, or OUT not ending in \".xlsx\";\n"
        "     lden: a --hours other than the four above;\n"
        "     exceed: a missing or bad --limit;\n"
        "     distribution: a bad --class, --from or --to as for figures, or levels that\n"
        "     span more than 65536 classes)\n"
        "  3  nothing was decoded (codes 31 and 32); the reason goes to standard error\n");
}

Output sets(const QByteArray &memory, const Clock &clock)
{
    const Decoding decoding = decode(memory, clock);
    QString out = QStringLiteral("result") + Tab + QString::number(decoding.code) + Newline;
    if (!decoded(decoding.code))
        return notDecoded(decoding.code, out);

    const LoggerData &data = decoding.data;
    out += QStringLiteral("set\tstart\tinterval\tcount\tweighting\tresponse\trange\taverage\t"
                          "max_index\tmin_index\n");
    for (int i = 0; i < data.setCount(); ++i) {
        const std::size_t s = std::size_t(i);
        const quint8 flags = data.setFlags[s];
        const QStringList fields {
            QString::number(i + 1),
            DateTimeDays::isoText(data.setStartTimes[s]),
            QString::number(data.setIntervals[s]),
            QString::number(data.setCounts[s]),
            DataSetRows::weightingText(flags),
            DataSetRows::responseText(flags),
            DataSetRows::rangeText(flags),
            level(data.setAverages[s]),
            QString::number(data.setMaxIndex[s]),
            QString::number(data.setMinIndex[s]),
        };
        out += fields.join(Tab) + Newline;
    }
    return { out, {}, Decoded };
}

Output readings(const QByteArray &memory, const Clock &clock, int set)
{
    const Decoding decoding = decode(memory, clock);
    if (!decoded(decoding.code))
        return notDecoded(decoding.code);
    const LoggerData &data = decoding.data;
    if (set < 0 || set > data.setCount())
        return badInput(QStringLiteral("there is no data set %1; the file holds %2")
                            .arg(set)
                            .arg(data.setCount()),
                        false);

    QString out = QStringLiteral("set\tindex\ttime\tlevel\n");
    const int first = set == 0 ? 0 : set - 1;
    const int last = set == 0 ? data.setCount() - 1 : set - 1;
    for (int i = first; i <= last; ++i) {
        const QString number = QString::number(i + 1);
        const std::size_t offset = std::size_t(data.setOffset(i));
        for (int k = 0; k < data.setCounts[std::size_t(i)]; ++k) {
            const std::size_t r = offset + std::size_t(k);
            out += number + Tab + QString::number(k) + Tab
                + DateTimeDays::isoText(data.levelTimes[r]) + Tab + level(data.levels[r]) + Newline;
        }
    }
    Output output { out, {}, Decoded };
    if (decoding.code != MemoryDecoder::Decoded)
        output.err = codeLine(decoding.code);
    return output;
}

Output run(const QStringList &arguments, const Clock &clock)
{
    if (arguments.isEmpty())
        return badInput(QStringLiteral("no command given"), true);
    const QString command = arguments.first();
    if (command == QLatin1String("--help") || command == QLatin1String("-h"))
        return { usage(), {}, Decoded };
    if (command == QLatin1String("export"))
        return CliExport::run(arguments.mid(1), clock, QLocale::system());
    if (command == QLatin1String("figures"))
        return CliFigures::run(arguments.mid(1), clock);
    if (command == QLatin1String("periods"))
        return CliPeriods::periods(arguments.mid(1), clock);
    if (command == QLatin1String("lden"))
        return CliPeriods::lden(arguments.mid(1), clock);
    if (command == QLatin1String("exceed"))
        return CliPeriods::exceed(arguments.mid(1), clock);
    if (command == QLatin1String("distribution"))
        return CliDistribution::run(arguments.mid(1), clock);
    if (command == QLatin1String("workbook"))
        return CliWorkbook::run(arguments.mid(1), clock);
    if (command != QLatin1String("sets") && command != QLatin1String("readings"))
        return badInput(QStringLiteral("unknown command \"%1\"").arg(command), true);
    const bool isReadings = command == QLatin1String("readings");

    QString fileName;
    std::optional<QString> setArgument;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return { usage(), {}, Decoded };
        if (isReadings && argument == QLatin1String("--set")) {
            if (i + 1 >= arguments.size())
                return badInput(QStringLiteral("--set needs a data set number"), true);
            setArgument = arguments.at(++i);
        } else if (isReadings && argument.startsWith(QLatin1String("--set="))) {
            setArgument = argument.mid(6);
        } else if (argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            return badInput(QStringLiteral("unknown option \"%1\"").arg(argument), true);
        } else if (fileName.isEmpty()) {
            fileName = argument;
        } else {
            return badInput(QStringLiteral("more than one file given"), true);
        }
    }
    if (fileName.isEmpty())
        return badInput(QStringLiteral("no file given"), true);
    // A text file holds one series, no data sets: say so rather than decode it as a memory.
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("txt") || suffix == QLatin1String("csv"))
        return badInput(QStringLiteral("\"%1\" is a text file, not a collection of data sets; "
                                       "%2 reads a collection (.rec), export and figures read a "
                                       "text file")
                            .arg(QDir::toNativeSeparators(fileName), command),
                        false);

    int set = 0;
    if (setArgument) {
        bool ok = false;
        set = setArgument->toInt(&ok);
        if (!ok || set < 1)
            return badInput(QStringLiteral("--set needs a data set number from 1, not \"%1\"")
                                .arg(*setArgument),
                            false);
    }

    const DataSetFile::ReadResult read = DataSetFile::readCollection(fileName);
    if (!read.memory)
        return badInput(read.error, false);
    return isReadings ? readings(*read.memory, clock, set) : sets(*read.memory, clock);
}

} // namespace CliCommands
