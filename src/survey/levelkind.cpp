#include "survey/levelkind.h"

#include "survey/graphsource.h"

#include <QRegularExpression>
#include <QStringList>

LevelKind LevelKind::fromAxisTitle(const QString &title)
{
    static const QRegularExpression weighting(QStringLiteral("\\bdB\\(?([AC])\\)?(?![A-Za-z])"));
    static const QRegularExpression response(QStringLiteral("\\b(FAST|SLOW)\\b"),
                                             QRegularExpression::CaseInsensitiveOption);
    LevelKind kind;
    if (const QRegularExpressionMatch m = weighting.match(title); m.hasMatch())
        kind.weighting = QStringLiteral("dB") + m.captured(1);
    if (const QRegularExpressionMatch m = response.match(title); m.hasMatch())
        kind.response = m.captured(1).toUpper();
    return kind;
}

LevelKind LevelKind::of(const GraphSource &source, const QString &axisTitle)
{
    if (source.kind == GraphSource::Kind::DataSet)
        return { source.weighting, source.response };
    return fromAxisTitle(axisTitle);
}

QString LevelKind::text() const
{
    return QStringList({ weighting, response }).join(QLatin1Char(' ')).trimmed();
}

QString levelKindDifference(const LevelKind &graph, const LevelKind &overlay)
{
    LevelKind ours;
    LevelKind theirs;
    if (!graph.weighting.isEmpty() && !overlay.weighting.isEmpty()
        && graph.weighting != overlay.weighting) {
        ours.weighting = overlay.weighting;
        theirs.weighting = graph.weighting;
    }
    if (!graph.response.isEmpty() && !overlay.response.isEmpty()
        && graph.response != overlay.response) {
        ours.response = overlay.response;
        theirs.response = graph.response;
    }
    if (ours.text().isEmpty())
        return QString();
    return ours.text() + QStringLiteral(", graph ") + theirs.text();
}

QString overlayLabel(const QString &label, const QString &difference)
{
    return difference.isEmpty() ? label
                                : QStringLiteral("%1 (%2)").arg(label.trimmed(), difference);
}

QString overlayKindDifference(const QString &label)
{
    static const QRegularExpression carried(QStringLiteral("\\(([^()]*, graph [^()]*)\\)$"));
    const QRegularExpressionMatch match = carried.match(label.trimmed());
    return match.hasMatch() ? match.captured(1) : QString();
}
