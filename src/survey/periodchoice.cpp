#include "survey/periodchoice.h"

#include "survey/periodfigures.h"

namespace PeriodChoice {

Parsed parse(const QString &text)
{
    const QString trimmed = text.trimmed();
    for (const Item &item : Items)
        if (trimmed.compare(QLatin1String(item.text), Qt::CaseInsensitive) == 0)
            return { item.seconds, {} };
    bool ok = false;
    const qlonglong seconds = trimmed.toLongLong(&ok);
    if (ok && seconds >= 1 && seconds <= PeriodFigures::MaxPeriodSeconds)
        return { int(seconds), {} };
    return { std::nullopt,
             QStringLiteral("\"%1\" is not a period: type a whole number of seconds from 1 to "
                            "%2, or choose one from the list.")
                 .arg(trimmed, QString::number(PeriodFigures::MaxPeriodSeconds)) };
}

QString textOf(int seconds)
{
    for (const Item &item : Items)
        if (item.seconds == seconds)
            return QLatin1String(item.text);
    return QString::number(seconds);
}

} // namespace PeriodChoice
