#include "graph/ui/tfrmsetuprealtime.h"

#include "graph/samplingrate.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

TfrmSetupRealTime::TfrmSetupRealTime(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Real-Time Setup"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // Up to five digits; blanks are allowed around them (the initial text has a leading one),
    // and the caller trims them before reading the count.
    edtRealTimeNo = new QLineEdit(QStringLiteral(" 2000"), this);
    edtRealTimeNo->setObjectName(QStringLiteral("edtRealTimeNo"));
    edtRealTimeNo->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^ *[0-9]{0,5} *$")), edtRealTimeNo));
    edtRealTimeNo->setAlignment(Qt::AlignRight);

    txtRate = new QComboBox(this);
    txtRate->setObjectName(QStringLiteral("txtRate"));
    txtRate->setEditable(true);
    txtRate->setInsertPolicy(QComboBox::NoInsert);
    txtRate->addItems(SamplingRate::dialogItems());

    edtPeriod = new QLineEdit(this);
    edtPeriod->setObjectName(QStringLiteral("edtPeriod"));
    edtPeriod->setReadOnly(true);
    edtPeriod->setFocusPolicy(Qt::NoFocus);
    edtPeriod->setAlignment(Qt::AlignRight);

    btnStart = new QPushButton(QStringLiteral("Start"), this);
    btnStart->setObjectName(QStringLiteral("btnStart"));
    btnStart->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto *grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setHorizontalSpacing(8);
    grid->addWidget(new QLabel(QStringLiteral("Real-Time data no to be recorded"), this), 0, 0);
    grid->addWidget(edtRealTimeNo, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("(Adjust the number to meet your need)"), this), 1, 0,
                    1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Real -Time Sampling Rate"), this), 2, 0);
    grid->addWidget(txtRate, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("second"), this), 2, 2);
    grid->addWidget(new QLabel(QStringLiteral("Recording Period"), this), 3, 0);
    grid->addWidget(edtPeriod, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("HH:MM:SS"), this), 3, 2);
    grid->setRowMinimumHeight(4, 8);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnStart);
    buttons->addWidget(btnCancel);
    grid->addLayout(buttons, 5, 0, 1, 3);
    grid->setColumnMinimumWidth(1, 100);

    connect(btnStart, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(edtRealTimeNo, &QLineEdit::textChanged, this, &TfrmSetupRealTime::edtRealTimeNoChange);
    connect(txtRate, &QComboBox::editTextChanged, this, &TfrmSetupRealTime::edtRealTimeNoChange);

    edtRealTimeNoChange();
}

void TfrmSetupRealTime::setRateText(const QString &text)
{
    txtRate->setEditText(text);
}

void TfrmSetupRealTime::FormShow()
{
    // Rewriting the current item would also replace the edit text handed over by the caller.
    const QString text = txtRate->currentText();
    const QStringList items = SamplingRate::dialogItems();
    for (int i = 0; i < items.size(); ++i) {
        if (i < txtRate->count())
            txtRate->setItemText(i, items.at(i));
        else
            txtRate->addItem(items.at(i));
    }
    txtRate->setEditText(text);
    edtRealTimeNoChange(); // the period of the rate shown
}

void TfrmSetupRealTime::edtRealTimeNoChange()
{
    const double rate = SamplingRate::parseRate(txtRate->currentText()).value_or(qQNaN());
    bool ok = false;
    int count = edtRealTimeNo->text().trimmed().toInt(&ok);
    if (!ok)
        count = 0;
    edtPeriod->setText(SamplingRate::periodText(count, rate));
}

QString TfrmSetupRealTime::countText() const
{
    return edtRealTimeNo->text();
}

QString TfrmSetupRealTime::rateText() const
{
    return txtRate->currentText();
}
