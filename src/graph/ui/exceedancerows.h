#pragma once

#include "survey/exceedances.h"

#include <QAbstractTableModel>

#include <optional>
#include <vector>

// The runs above a limit as rows of a table view: start, seconds, Lmax and Leq. The view asks
// only for the rows it shows, so a survey with many thousands of exceedances costs nothing per
// tick.
class ExceedanceRows : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    // A recording tick that left the runs as they were keeps the view's selection and place.
    void show(const Exceedances::Result &result, std::optional<double> interval);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<Exceedances::Run> m_runs;
    int m_decimals = 0;
};
