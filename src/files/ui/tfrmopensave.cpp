#include "files/ui/tfrmopensave.h"

#include <QPushButton>
#include <QVBoxLayout>

TfrmOpenSave::TfrmOpenSave(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmOpenSave"));
    setWindowTitle(QStringLiteral("Save File"));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    btnOpenSets = new QPushButton(
        QStringLiteral("Save all data sets to a data set collection file(*.set)"), this);
    btnOpenSingleSet
        = new QPushButton(QStringLiteral("Save single selected  data set to a  file"), this);
    Button1 = new QPushButton(QStringLiteral("Cancel"), this);
    connect(btnOpenSets, &QPushButton::clicked, this, [this] { done(Ok); });
    connect(btnOpenSingleSet, &QPushButton::clicked, this, [this] { done(No); });
    connect(Button1, &QPushButton::clicked, this, [this] { done(Cancel); });
    auto *layout = new QVBoxLayout(this);
    for (QPushButton *b : { btnOpenSets, btnOpenSingleSet, Button1 }) {
        b->setMinimumHeight(32);
        layout->addWidget(b);
    }
    setMinimumWidth(380);
}

void TfrmOpenSave::forOpening(bool commaDecimalSeparator)
{
    setWindowTitle(QStringLiteral("Open File"));
    btnOpenSets->setText(QStringLiteral("Open a data set collection file(*.rec)"));
    btnOpenSingleSet->setText(commaDecimalSeparator
                                  ? QStringLiteral("Open single data flle(*.TXT,*.GHF)")
                                  : QStringLiteral("Open single data file(*.TXT,*.CSV,*.GHF)"));
}
