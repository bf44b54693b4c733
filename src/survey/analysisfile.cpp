#include "survey/analysisfile.h"

#include "files/wholefile.h"

#include <QFileInfo>
#include <QList>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace AnalysisFile {

namespace {

constexpr auto Magic = "AUDEXA-ANALYSIS";
constexpr int Version = 1;
constexpr double HighestLimit = 200.0;
constexpr int HighestSet = 65535;
constexpr qsizetype MostTabs = 6; // a mark: name, index, type, X, level, colour, text
// An overlay of a month's readings at one a second fits many times over.
constexpr qint64 LargestFile = qint64(512) * 1024 * 1024;

QByteArray escaped(const QString &text)
{
    QByteArray out;
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::optional<QString> unescaped(const QByteArray &field)
{
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            out += field[i];
            continue;
        }
        if (++i == field.size())
            return std::nullopt;
        switch (field[i]) {
        case '\\':
            out += '\\';
            break;
        case 't':
            out += '\t';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            return std::nullopt;
        }
    }
    return QString::fromUtf8(out);
}

QByteArray number(double value)
{
    return QByteArray::number(value, 'g', 17);
}

QByteArray colour(const QColor &color)
{
    return color.isValid() ? color.name(QColor::HexArgb).toLatin1() : QByteArray();
}

bool finite(double value)
{
    return std::isfinite(value);
}

// An interval's record name: its category in lower case.
QByteArray recordOf(IntervalCategory category)
{
    return category == IntervalCategory::Specific ? QByteArrayLiteral("specific")
        : category == IntervalCategory::Residual  ? QByteArrayLiteral("residual")
                                                  : QByteArrayLiteral("exclude");
}

// The survey details' texts with the names their "detail" records give them, of a details or a
// const details.
template<typename Details> auto namedTexts(Details &d)
{
    auto &i = d.instrument;
    using Named = std::pair<const char *, decltype(&d.project)>;
    return std::array { Named { "project", &d.project },
                        Named { "client", &d.client },
                        Named { "site", &d.site },
                        Named { "position", &d.position },
                        Named { "operator", &d.operatorName },
                        Named { "weather", &d.weather },
                        Named { "notes", &d.notes },
                        Named { "model", &i.model },
                        Named { "serial", &i.serialNumber },
                        Named { "firmware", &i.firmware },
                        Named { "cal94", &i.calibration94 },
                        Named { "cal70", &i.calibration70 } };
}

// A calibration level as written: empty when not known.
QByteArray level(const std::optional<double> &value)
{
    return value && std::isfinite(*value) ? number(*value) : QByteArray();
}

QByteArray line(std::initializer_list<QByteArray> fields)
{
    return QList<QByteArray>(fields).join('\t') + '\n';
}

// Reads the fields of one line, each call the next one; the first failure is kept.
class Fields
{
public:
    explicit Fields(const QList<QByteArray> &fields)
        : m_fields(fields)
    {
    }
    bool failed() const { return !m_error.isEmpty(); }
    const QString &error() const { return m_error; }

    double finite(const char *what)
    {
        bool ok = false;
        const double value = next(what).toDouble(&ok);
        if (!failed() && (!ok || !std::isfinite(value)))
            fail(QStringLiteral("%1 is not a number").arg(QLatin1String(what)));
        return value;
    }
    int integer(const char *what, int lowest, int highest)
    {
        bool ok = false;
        const int value = next(what).toInt(&ok);
        if (!failed() && (!ok || value < lowest || value > highest))
            fail(QStringLiteral("%1 must be a whole number from %2 to %3")
                     .arg(QLatin1String(what))
                     .arg(lowest)
                     .arg(highest));
        return value;
    }
    // A number that may be left empty: none then.
    std::optional<double> optionalFinite(const char *what)
    {
        if (m_at < m_fields.size() && m_fields[m_at].isEmpty()) {
            ++m_at;
            return std::nullopt;
        }
        return finite(what);
    }
    QString text(const char *what)
    {
        const std::optional<QString> value = unescaped(next(what));
        if (!failed() && !value)
            fail(QStringLiteral("%1 holds a backslash that escapes nothing")
                     .arg(QLatin1String(what)));
        return value.value_or(QString());
    }
    QColor colour(const char *what)
    {
        const QByteArray field = next(what);
        if (field.isEmpty())
            return {};
        const QColor value = QColor::fromString(QLatin1String(field));
        if (!failed() && (!value.isValid() || field.size() != 9 || field[0] != '#'))
            fail(QStringLiteral("%1 is not a colour #AARRGGBB").arg(QLatin1String(what)));
        return value;
    }
    void fail(const QString &why)
    {
        if (m_error.isEmpty())
            m_error = why;
    }
    void end()
    {
        if (!failed() && m_at != m_fields.size())
            fail(QStringLiteral("more fields than a %1 line has")
                     .arg(QString::fromUtf8(m_fields.value(0))));
    }

private:
    QByteArray next(const char *what)
    {
        if (m_at >= m_fields.size()) {
            fail(QStringLiteral("%1 is missing").arg(QLatin1String(what)));
            return {};
        }
        return m_fields[m_at++];
    }

    QList<QByteArray> m_fields;
    qsizetype m_at = 1; // after the record's name
    QString m_error;
};

// One record line into the set being read; an empty string or what is wrong.
QString readRecord(const QByteArray &name, Fields &f, SetAnalysis &set, bool &afterOverlay)
{
    MeasurementAnalysis &a = set.analysis;
    const bool point = name == "point";
    if (point && !afterOverlay)
        return QStringLiteral("a point that follows no overlay");
    afterOverlay = afterOverlay && point;
    if (point) {
        a.overlay->xs.push_back(f.finite("its X"));
        const float level = float(f.finite("its level"));
        if (!f.failed() && !std::isfinite(level))
            f.fail(QStringLiteral("its level is too large"));
        a.overlay->ys.push_back(level);
    } else if (name == "cursor") {
        const int line = f.integer("the cursor", 0, 1);
        a.verticalLines[std::size_t(std::clamp(line, 0, 1))].x = f.finite("its X");
    } else if (name == "limit") {
        if (a.limit)
            return QStringLiteral("a second limit");
        const double limit = f.finite("the limit");
        if (!f.failed() && (limit < 0.0 || limit > HighestLimit))
            f.fail(QStringLiteral("the limit must lie from 0 to 200 dB"));
        a.limit = limit;
    } else if (name == "exclude" || name == "specific" || name == "residual") {
        ExcludedInterval interval;
        interval.category = name == "specific" ? IntervalCategory::Specific
            : name == "residual"               ? IntervalCategory::Residual
                                               : IntervalCategory::Excluded;
        interval.from = f.finite("its start");
        interval.to = f.finite("its end");
        interval.label = f.text("its label");
        if (!f.failed() && interval.from > interval.to)
            f.fail(QStringLiteral("the interval ends before it starts"));
        a.exclusions.push_back(interval);
    } else if (name == "mark") {
        const int index = f.integer("its index", 0, std::numeric_limits<int>::max());
        GraphAnnotation mark;
        mark.type = f.integer("its type", 0, 2);
        mark.x = f.finite("its X");
        mark.y = f.finite("its level");
        mark.color = f.colour("its colour");
        mark.text = f.text("its text");
        if (!f.failed() && mark.type == 1)
            f.fail(QStringLiteral("a mark is a text (0) or a cross (2)"));
        if (!f.failed() && !a.annotations.emplace(index, mark).second)
            f.fail(QStringLiteral("a second mark %1").arg(index));
    } else if (name == "overlay") {
        if (a.overlay)
            return QStringLiteral("a second overlay");
        OverlaySeries overlay;
        const QString by = f.text("its alignment");
        if (!f.failed() && by != QLatin1String("clock") && by != QLatin1String("start"))
            f.fail(QStringLiteral("an overlay is aligned by clock or by start"));
        overlay.alignment
            = by == QLatin1String("start") ? OverlayAlignment::Start : OverlayAlignment::ClockTime;
        overlay.shift = f.finite("its shift");
        overlay.interval = f.finite("its interval");
        if (!f.failed() && overlay.interval < 0.0)
            f.fail(QStringLiteral("its interval is below 0"));
        overlay.color = f.colour("its colour");
        overlay.label = f.text("its label");
        a.overlay = std::move(overlay);
        afterOverlay = true;
    } else if (name == "detail") {
        const QString which = f.text("its name");
        const QString text = f.text("its text");
        QString *detail = nullptr;
        for (const auto &[named, field] : namedTexts(a.details))
            if (which == QLatin1String(named))
                detail = field;
        if (!f.failed() && !detail)
            return QStringLiteral("\"%1\" is not a survey detail").arg(which);
        if (!f.failed() && !detail->isEmpty())
            return QStringLiteral("a second \"%1\" detail").arg(which);
        if (detail)
            *detail = text;
    } else if (name == "calibration") {
        const QString when = f.text("its time");
        if (!f.failed() && when != QLatin1String("before") && when != QLatin1String("after"))
            return QStringLiteral("a calibration check is made before or after");
        CalibrationCheck &check = when == QLatin1String("before") ? a.details.calibrationBefore
                                                                  : a.details.calibrationAfter;
        if (!f.failed() && !check.isEmpty())
            return QStringLiteral("a second calibration check %1").arg(when);
        check.reference = f.optionalFinite("its reference level");
        check.reading = f.optionalFinite("its reading");
    } else {
        return QStringLiteral("\"%1\" is not a record of this file").arg(QString::fromUtf8(name));
    }
    f.end();
    return f.error();
}

} // namespace

QString fileFor(const QString &collectionFile)
{
    return collectionFile + QStringLiteral(".audexa");
}

QByteArray encode(const Sets &sets)
{
    QByteArray out = line({ Magic, QByteArray::number(Version) });
    for (const auto &[index, set] : sets) {
        const MeasurementAnalysis &a = set.analysis;
        out += line({ "set", QByteArray::number(index + 1), number(set.start),
                      QByteArray::number(set.points) });
        // Only what reading accepts is written, so that a file saved always reads back: values
        // that are not finite (a point of an overlay taken from a damaged file) are left out.
        for (std::size_t c = 0; c < a.verticalLines.size(); ++c)
            if (finite(a.verticalLines[c].x))
                out += line(
                    { "cursor", QByteArray::number(qulonglong(c)), number(a.verticalLines[c].x) });
        if (a.limit && *a.limit >= 0.0 && *a.limit <= HighestLimit)
            out += line({ "limit", number(*a.limit) });
        for (const ExcludedInterval &interval : a.exclusions)
            if (finite(interval.from) && finite(interval.to) && interval.from <= interval.to)
                out += line({ recordOf(interval.category), number(interval.from),
                              number(interval.to), escaped(interval.label) });
        for (const auto &[markIndex, mark] : a.annotations)
            if (markIndex >= 0 && (mark.type == 0 || mark.type == 2) && finite(mark.x)
                && finite(mark.y))
                out += line({ "mark", QByteArray::number(markIndex), QByteArray::number(mark.type),
                              number(mark.x), number(mark.y), colour(mark.color),
                              escaped(mark.text) });
        if (const std::optional<OverlaySeries> &o = a.overlay) {
            out += line({ "overlay", o->alignment == OverlayAlignment::Start ? "start" : "clock",
                          number(finite(o->shift) ? o->shift : 0.0),
                          number(finite(o->interval) && o->interval > 0.0 ? o->interval : 0.0),
                          colour(o->color), escaped(o->label) });
            const std::size_t n = std::min(o->xs.size(), o->ys.size());
            for (std::size_t i = 0; i < n; ++i)
                if (finite(o->xs[i]) && std::isfinite(o->ys[i]))
                    out += line({ "point", number(o->xs[i]), number(double(o->ys[i])) });
        }
        for (const auto &[name, text] : namedTexts(a.details))
            if (!text->isEmpty())
                out += line({ "detail", name, escaped(*text) });
        for (const auto &[when, check] : { std::pair { "before", &a.details.calibrationBefore },
                                           std::pair { "after", &a.details.calibrationAfter } })
            if (!level(check->reference).isEmpty() || !level(check->reading).isEmpty())
                out += line(
                    { "calibration", when, level(check->reference), level(check->reading) });
    }
    return out;
}

Decoded decode(const QByteArray &bytes)
{
    Sets sets;
    SetAnalysis *current = nullptr;
    bool afterOverlay = false;
    bool headed = false;
    int lineNumber = 0;
    const auto failed = [&lineNumber](const QString &why) {
        return Decoded { std::nullopt, QStringLiteral("line %1: %2").arg(lineNumber).arg(why) };
    };
    qsizetype from = 0;
    while (from < bytes.size()) {
        qsizetype to = bytes.indexOf('\n', from);
        if (to < 0)
            to = bytes.size();
        QByteArray text = bytes.mid(from, to - from);
        from = to + 1;
        ++lineNumber;
        if (text.endsWith('\r'))
            text.chop(1);
        if (lineNumber == 1 && text.startsWith("\xEF\xBB\xBF"))
            text.remove(0, 3); // the byte order mark an editor may put first
        if (text.isEmpty() || text.startsWith('#'))
            continue;
        // No record has more than seven fields: a line with more is refused before it is split.
        if (text.count('\t') > MostTabs)
            return failed(QStringLiteral("more fields than any line of this file has"));
        const QList<QByteArray> fields = text.split('\t');
        Fields f(fields);
        const QByteArray &name = fields.front();
        if (!headed) {
            if (name != Magic)
                return failed(QStringLiteral("this is not an analysis file of data sets"));
            const int version = f.integer("the version", 1, std::numeric_limits<int>::max());
            if (!f.failed() && version > Version)
                return failed(QStringLiteral("the file was written by a newer version of Audexa "
                                             "(its format %1; this one reads %2)")
                                  .arg(version)
                                  .arg(Version));
            f.end();
            if (f.failed())
                return failed(f.error());
            headed = true;
            continue;
        }
        if (name == "set") {
            const int number = f.integer("the data set", 1, HighestSet);
            SetAnalysis set;
            set.start = f.finite("its start");
            set.points = f.integer("its points", 0, std::numeric_limits<int>::max());
            f.end();
            if (f.failed())
                return failed(f.error());
            const auto [at, added] = sets.emplace(number - 1, set);
            if (!added)
                return failed(QStringLiteral("data set %1 a second time").arg(number));
            current = &at->second;
            afterOverlay = false;
            continue;
        }
        if (!current)
            return failed(QStringLiteral("a record before the first data set"));
        const QString error = readRecord(name, f, *current, afterOverlay);
        if (!error.isEmpty())
            return failed(error);
    }
    if (!headed)
        return { std::nullopt, QStringLiteral("the file is empty") };
    return { std::move(sets), {} };
}

QString write(const QString &collectionFile, const Sets &sets)
{
    return WholeFile::write(fileFor(collectionFile), encode(sets));
}

ReadResult read(const QString &collectionFile)
{
    const QString name = fileFor(collectionFile);
    if (!QFileInfo::exists(name))
        return {};
    const QString shown = WholeFile::shownName(name);
    const WholeFile::ReadResult file
        = WholeFile::read(name, LargestFile,
                          QStringLiteral("\"%1\" is too large to be an analysis file.").arg(shown));
    if (!file.bytes)
        return { {}, file.error };
    Decoded decoded = decode(*file.bytes);
    if (!decoded.sets)
        return { {}, QStringLiteral("\"%1\" cannot be read: %2.").arg(shown, decoded.error) };
    return { std::move(*decoded.sets), {} };
}

} // namespace AnalysisFile
