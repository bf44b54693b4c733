#pragma once

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

// "Report": the report's title, starting with the graph's, and a free note for it.
class TfrmReport : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmReport(const QString &title, QWidget *parent = nullptr);
    QString title() const;
    QString note() const;

    QLineEdit *edtTitle = nullptr;
    QPlainTextEdit *memNote = nullptr;
};
