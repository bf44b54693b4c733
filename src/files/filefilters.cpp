#include "files/filefilters.h"

#include <QLocale>
#include <QStringList>

namespace FileFilters {

QString fromPairs(const QString &pairs)
{
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString &pattern : parts[i + 1].split(QLatin1Char(';'))) {
            patterns << pattern.toUpper();
            if (pattern.toLower() != pattern.toUpper())
                patterns << pattern.toLower();
        }
        filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' '))
                + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

QString graphFilter(bool commaDecimalSeparator)
{
    return fromPairs(
        commaDecimalSeparator
            ? QStringLiteral("Graph file(*.ghf,only for Q7316)|*.GHF|TXT file(*.txt,data seperated "
                             "by tab)|*.TXT")
            : QStringLiteral("Graph file(*.ghf,only for Q7316)|*.GHF|TXT file(*.txt,data seperated "
                             "by tab)|*.TXT|EXCEL file format(*.CSV,seperated by comma)|*.CSV"));
}

QString tableFilter(bool commaDecimalSeparator)
{
    return fromPairs(commaDecimalSeparator
                         ? QStringLiteral(" TXT file(*.txt,data seperated by tab)|*.TXT")
                         : QStringLiteral("TXT file(*.txt,data seperated by tab)|*.TXT|EXCEL file "
                                          "format(*.csv,seperated by comma) |*.CSV"));
}

QString graphSaveFilter(bool commaDecimalSeparator)
{
    return graphFilter(commaDecimalSeparator) + QStringLiteral(";;") + QLatin1String(HeadedCsvType)
        + QStringLiteral(";;") + QLatin1String(WorkbookType);
}

QString tableSaveFilter(bool commaDecimalSeparator)
{
    return tableFilter(commaDecimalSeparator) + QStringLiteral(";;") + QLatin1String(WorkbookType);
}

QString collectionSaveFilter()
{
    return fromPairs(QStringLiteral("Data Set Collection file(*.rec,only for Q7316)|*.REC"));
}

QString collectionOpenFilter()
{
    return fromPairs(QStringLiteral("Data Sets Collection (*.REC)|*.REC"));
}

bool systemUsesDecimalComma()
{
    return QLocale::system().decimalPoint() == QLatin1String(",");
}

} // namespace FileFilters
