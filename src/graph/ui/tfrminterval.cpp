#include "graph/ui/tfrminterval.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

TfrmInterval::TfrmInterval(IntervalCategory category, const QString &label, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmInterval"));
    setWindowTitle(QStringLiteral("Interval A-B"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    cboCategory = new QComboBox(this);
    cboCategory->setObjectName(QStringLiteral("cboCategory"));
    const QString hints[] = {
        QStringLiteral(
            "Left out of every figure: an event that does not belong to the measurement"),
        QStringLiteral("The sound of the source under assessment: figures of its own"),
        QStringLiteral("The place without that source: figures of its own"),
    };
    for (const IntervalCategory c :
         { IntervalCategory::Excluded, IntervalCategory::Specific, IntervalCategory::Residual }) {
        cboCategory->addItem(categoryName(c), static_cast<int>(c));
        cboCategory->setItemData(cboCategory->count() - 1, hints[static_cast<int>(c)],
                                 Qt::ToolTipRole);
    }
    cboCategory->setCurrentIndex(cboCategory->findData(static_cast<int>(category)));
    txtLabel = new QLineEdit(label, this);
    txtLabel->setObjectName(QStringLiteral("txtLabel"));
    txtLabel->setMinimumWidth(260);
    txtLabel->setPlaceholderText(QStringLiteral("may be empty"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Category:"), cboCategory);
    layout->addRow(QStringLiteral("Label:"), txtLabel);
    layout->addRow(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    txtLabel->setFocus();
}

IntervalCategory TfrmInterval::category() const
{
    return static_cast<IntervalCategory>(cboCategory->currentData().toInt());
}

QString TfrmInterval::label() const
{
    return txtLabel->text();
}
