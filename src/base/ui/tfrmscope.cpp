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
    radAll->setObjectName(QStringLiteral("radAll"));
    radAll->setChecked(true);
    radNo = new QRadioButton(QStringLiteral("&Select"), GroupBox1);
    radNo->setObjectName(QStringLiteral("radNo"));
    edtSelFrom = new QLineEdit(GroupBox1);
    edtSelFrom->setObjectName(QStringLiteral("edtSelFrom"));
    edtSelTo = new QLineEdit(GroupBox1);
    edtSelTo->setObjectName(QStringLiteral("edtSelTo"));
    auto *range = new QGridLayout(GroupBox1);
    range->addWidget(radAll, 0, 0, 1, 4);
    range->addWidget(radNo, 1, 0);
    // Each label names its edit, so that its "&" makes an access key instead of showing.
    auto *fromLabel = new QLabel(QStringLiteral("&from"), GroupBox1);
    fromLabel->setBuddy(edtSelFrom);
    auto *toLabel = new QLabel(QStringLiteral("&to"), GroupBox1);
    toLabel->setBuddy(edtSelTo);
    range->addWidget(fromLabel, 1, 1);
    range->addWidget(edtSelFrom, 1, 2);
    range->addWidget(toLabel, 1, 3);
    range->addWidget(edtSelTo, 1, 4);
    GroupBox1->hide();

    Progress1 = new QProgressBar(this);
    Progress1->setObjectName(QStringLiteral("Progress1"));
    Progress1->setRange(0, 100);
    Progress1->hide();
    SText1 = new QLabel(QStringLiteral("bytes received"), this);
    SText1->hide();
    lblBytesReceived = new QLabel(this);
    lblBytesReceived->setObjectName(QStringLiteral("lblBytesReceived"));
    lblBytesReceived->hide();
    SText2 = new QLabel(QStringLiteral("total bytes"), this);
    SText2->hide();
    lblTotalBytes = new QLabel(this);
    lblTotalBytes->hide();

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setDefault(true);
    BitBtn1->hide();
    BitBtn2 = new QPushButton(QStringLiteral("Cancel"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->hide();
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        ModalResult = Result::Ok;
        accept();
    });
    connect(BitBtn2, &QPushButton::clicked, this, [this] {
        ModalResult = Result::Cancel;
        if (!m_showsProgress)
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

void TfrmScope::showProgressOf(Use use)
{
    m_use = use;
    m_showsProgress = true;
    switch (use) {
    case Use::Download:
        setWindowTitle(QStringLiteral("Data Retriving Progress"));
        SText1->setText(QStringLiteral("bytes received"));
        for (QWidget *w : std::initializer_list<QWidget *> { Progress1, SText1, SText2,
                                                             lblBytesReceived, lblTotalBytes })
            w->show();
        break;
    case Use::Saving:
        setWindowTitle(QStringLiteral("Saving Progress"));
        SText1->setText(QStringLiteral("saving....."));
        Progress1->show();
        SText1->show();
        BitBtn2->show();
        break;
    case Use::Opening:
        setWindowTitle(QStringLiteral("Open Progress"));
        SText1->show();
        BitBtn2->show();
        break;
    case Use::Graphing:
        setWindowTitle(QStringLiteral("Graphing Progress"));
        SText1->setText(QStringLiteral("graphing....."));
        Progress1->show();
        SText1->show();
        break;
    }
}

void TfrmScope::startProgress(int total)
{
    ModalResult = Result::None;
    Progress1->setRange(0, total);
    Progress1->setValue(0);
    lblTotalBytes->setText(QString::number(total));
    lblBytesReceived->setText(QStringLiteral("0"));
    // The operation goes on while the window shows (it does not wait in it), but the other
    // windows take no input meanwhile: the operation holds their data, which a click could close
    // or clear. Cancel stays at hand.
    setWindowModality(Qt::ApplicationModal);
    show();
    repaint();
}

void TfrmScope::showProgress(int done)
{
    Progress1->setValue(done);
    if (m_use == Use::Download)
        lblBytesReceived->setText(QString::number(done));
    else if (m_use == Use::Opening)
        SText1->setText(QString::number(done));
}

int TfrmScope::progressTotal() const
{
    return Progress1->maximum();
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
