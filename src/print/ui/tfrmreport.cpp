#include "print/ui/tfrmreport.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>

TfrmReport::TfrmReport(const QString &title, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmReport"));
    setWindowTitle(QStringLiteral("Report"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    edtTitle = new QLineEdit(title, this);
    edtTitle->setObjectName(QStringLiteral("edtTitle"));
    edtTitle->setMinimumWidth(360);
    memNote = new QPlainTextEdit(this);
    memNote->setObjectName(QStringLiteral("memNote"));
    memNote->setPlaceholderText(
        QStringLiteral("Where and why you measured, the weather, what was heard..."));
    memNote->setTabChangesFocus(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("Title"), edtTitle);
    form->addRow(QStringLiteral("Note"), memNote);
    form->addRow(buttons);
    edtTitle->selectAll();
}

QString TfrmReport::title() const
{
    return edtTitle->text().trimmed();
}

QString TfrmReport::note() const
{
    return memNote->toPlainText();
}
