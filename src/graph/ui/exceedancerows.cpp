#include "graph/ui/exceedancerows.h"

#include "base/datetimedays.h"
#include "survey/acousticfigures.h"

#include <QLocale>

#include <algorithm>

void ExceedanceRows::show(const Exceedances::Result &result, std::optional<double> interval)
{
    const int decimals = Exceedances::secondsDecimals(interval);
    if (result.runs == m_runs && decimals == m_decimals)
        return;
    beginResetModel();
    m_runs = result.runs;
    m_decimals = decimals;
    endResetModel();
}

int ExceedanceRows::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_runs.size());
}

int ExceedanceRows::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 4;
}

QVariant ExceedanceRows::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_runs.size()))
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(index.column() == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                                       : Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    const Exceedances::Run &run = m_runs[std::size_t(index.row())];
    const QLocale locale = QLocale::system();
    switch (index.column()) {
    case 0:
        return DateTimeDays::RoundedTimeText(run.start);
    case 1:
        return AcousticFigures::decimalText(run.seconds, locale, m_decimals);
    case 2:
        return AcousticFigures::decimalText(run.lmax, locale, 1);
    default:
        return AcousticFigures::decimalText(run.leq, locale, 1);
    }
}

QVariant ExceedanceRows::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char *const titles[] = { "Start", "Seconds", "Lmax", "Leq" };
    return QString::fromLatin1(titles[std::clamp(section, 0, 3)]);
}
