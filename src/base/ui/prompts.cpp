#include "base/ui/prompts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QUrl>

void QtPrompts::showMessage(const QString &text)
{
    QMessageBox::information(m_parent, QString::fromLatin1(Caption), text);
}

void QtPrompts::showError(const QString &text)
{
    QMessageBox::critical(m_parent, QString::fromLatin1(Caption), text);
}

void QtPrompts::showNotice(const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::Warning, QString::fromLatin1(Caption), text,
                                QMessageBox::Ok, m_parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

Prompts::Answer QtPrompts::ask(const QString &text, bool withCancel)
{
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel)
        buttons |= QMessageBox::Cancel;
    const auto answer
        = QMessageBox::question(m_parent, QString::fromLatin1(Caption), text, buttons);
    if (answer == QMessageBox::Yes)
        return Answer::Yes;
    if (answer == QMessageBox::No)
        return Answer::No;
    return withCancel ? Answer::Cancel : Answer::No;
}

std::optional<QString> QtPrompts::askText(const QString &question, const QString &text)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(m_parent, QString::fromLatin1(Caption), question,
                                                 QLineEdit::Normal, text, &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

QString QtPrompts::openFileName(const QString &caption, const QString &folder,
                                const QString &filter)
{
    return QFileDialog::getOpenFileName(m_parent, caption, folder, filter);
}

QString QtPrompts::saveFileName(const QString &caption, const QString &folder,
                                const QString &filter, const QString &defaultSuffix,
                                QString *chosenType)
{
    QFileDialog dialog(m_parent, caption, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    // A name typed without an extension takes the one of the file type chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString &chosen) {
                         static const QRegularExpression suffix(QStringLiteral("\\*\\.(\\w+)"));
                         const QRegularExpressionMatch m = suffix.match(chosen);
                         if (m.hasMatch())
                             dialog.setDefaultSuffix(m.captured(1));
                     });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (chosenType)
        *chosenType = dialog.selectedNameFilter();
    return dialog.selectedFiles().constFirst();
}

bool QtPrompts::printerSetup(QPrinter &printer)
{
    // The print dialog chooses the printer, and its properties the paper; it keeps the choice
    // in the printer for the printouts that follow.
    QPrintDialog dialog(&printer, m_parent);
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    // It sets up, it does not print: its button says OK.
    for (QPushButton *button : dialog.findChildren<QPushButton *>())
        if (button->text().remove(QLatin1Char('&')) == QLatin1String("Print"))
            button->setText(QStringLiteral("OK"));
    return dialog.exec() == QDialog::Accepted;
}

bool QtPrompts::printDialog(QPrinter &printer)
{
    QPrintDialog dialog(&printer, m_parent);
    return dialog.exec() == QDialog::Accepted;
}

int QtPrompts::execDialog(QDialog &dialog)
{
    return dialog.exec();
}

bool QtPrompts::openDocument(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
