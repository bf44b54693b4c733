#include "chart/ui/tfrmpicturesize.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>

TfrmPictureSize::TfrmPictureSize(QSize shown, QWidget *parent)
    : QDialog(parent)
    , m_shown(shown)
{
    setObjectName(QStringLiteral("frmPictureSize"));
    setWindowTitle(QStringLiteral("Picture Size"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto spin = [this](const char *name) {
        auto *box = new QSpinBox(this);
        box->setObjectName(QLatin1String(name));
        box->setRange(1, Largest);
        box->setSuffix(QStringLiteral(" px"));
        return box;
    };
    edtWidth = spin("edtWidth");
    edtHeight = spin("edtHeight");
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *shownButton
        = buttons->addButton(QStringLiteral("Size Shown"), QDialogButtonBox::ResetRole);
    connect(shownButton, &QPushButton::clicked, this, [this] { setSize(m_shown); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("Width"), edtWidth);
    form->addRow(QStringLiteral("Height"), edtHeight);
    form->addRow(buttons);
    form->setSizeConstraint(QLayout::SetFixedSize);
    setSize(shown);
}

QSize TfrmPictureSize::size() const
{
    return { edtWidth->value(), edtHeight->value() };
}

void TfrmPictureSize::setSize(QSize size)
{
    edtWidth->setValue(size.width());
    edtHeight->setValue(size.height());
}
