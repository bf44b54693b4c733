#include "base/ui/tfrmscope.h"

#include "base/ui/prompts.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TfrmScope::TfrmScope(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmScope"));
    setWindowTitle(QStringLiteral("Print Range"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint);

    GroupBox1 = new QGroupBox(this);
    radAll = new QRadioButton(QStringLiteral("&All"), GroupBox1);
    radAll->setChecked(true);
    radNo = new QRadioButton(QStringLiteral("&Select"), GroupBox1);
    edtSelFrom = new QLineEdit(GroupBox1);
    edtSelTo = new QLineEdit(GroupBox1);
    auto *range = new QGridLayout(GroupBox1);
    range->addWidget(radAll, 0, 0, 1, 4);
    range->addWidget(radNo, 1, 0);
    range->addWidget(new QLabel(QStringLiteral("&from"), GroupBox1), 1, 1);
    range->addWidget(edtSelFrom, 1, 2);
    range->addWidget(new QLabel(QStringLiteral("&to"), GroupBox1), 1, 3);
    range->addWidget(edtSelTo, 1, 4);
    GroupBox1->hide();

    Progress1 = new QProgressBar(this);
    Progress1->setRange(0, 100);
    Progress1->hide();
    SText1 = new QLabel(QStringLiteral("bytes received"), this);
    SText1->hide();
    lblBytesReceived = new QLabel(this);
    lblBytesReceived->hide();
    SText2 = new QLabel(QStringLiteral("total bytes"), this);
    SText2->hide();
    lblTotalBytes = new QLabel(this);
    lblTotalBytes->hide();

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setDefault(true);
    BitBtn1->hide();
    BitBtn2 = new QPushButton(QStringLiteral("Cancel"), this);
    BitBtn2->hide();
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        ModalResult = Result::Ok;
        accept();
    });
    connect(BitBtn2, &QPushButton::clicked, this, [this] {
        ModalResult = Result::Cancel;
        if (!showsProgress)
            reject();
    });

    auto *counts = new QGridLayout;
    counts->addWidget(SText1, 0, 0);
    counts->addWidget(lblBytesReceived, 0, 1, Qt::AlignRight);
    counts->addWidget(SText2, 1, 0);
    counts->addWidget(lblTotalBytes, 1, 1, Qt::AlignRight);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addWidget(Progress1);
    layout->addLayout(counts);
    layout->addLayout(buttons);
    setMinimumWidth(320);
}

void TfrmScope::closeEvent(QCloseEvent *event)
{
    if (ModalResult == Result::None)
        ModalResult = Result::Cancel;
    QDialog::closeEvent(event);
}

std::optional<RangeRule::Range> TfrmScope::RangeDialog(int n, Prompts &prompts, QWidget *parent)
{
    TfrmScope scope(parent);
    scope.setWindowTitle(QStringLiteral("Save File"));
    scope.GroupBox1->show();
    scope.BitBtn1->show();
    scope.BitBtn2->show();
    scope.edtSelFrom->setText(QStringLiteral("1"));
    scope.edtSelTo->setText(QString::number(n));
    if (prompts.execDialog(scope) != QDialog::Accepted)
        return std::nullopt;
    const std::optional<RangeRule::Range> range = RangeRule::apply(
        scope.radAll->isChecked(), scope.edtSelFrom->text(), scope.edtSelTo->text(), n);
    if (!range)
        prompts.showMessage(QStringLiteral("invalid integer"));
    return range;
}
