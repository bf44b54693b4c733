#pragma once

#include "base/ui/prompts.h"

#include <QList>
#include <QStringList>

#include <functional>

// Prompts that answer from a script and remember what was shown, for tests.
class ScriptedPrompts : public Prompts
{
public:
    void showMessage(const QString &text) override { messages << text; }
    void showError(const QString &text) override { errors << text; }
    void showNotice(const QString &text) override { notices << text; }
    Answer ask(const QString &text, bool withCancel) override;
    std::optional<QString> askText(const QString &question, const QString &text) override;
    QString openFileName(const QString &caption, const QString &folder,
                         const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &folder, const QString &filter,
                         const QString &defaultSuffix, QString *chosenType = nullptr) override;
    bool printerSetup(QPrinter &printer) override
    {
        ++printerSetups;
        return printerSetupHandler && printerSetupHandler(printer);
    }
    bool printDialog(QPrinter &printer) override
    {
        ++printDialogs;
        return printHandler && printHandler(printer);
    }
    int execDialog(QDialog &dialog) override;
    bool openDocument(const QString &path) override { return documents << path, opensDocuments; }
    // Whether a program opens the documents.
    bool opensDocuments = true;

    // Runs while a question is open, before it is answered (what timers or another program do
    // meanwhile).
    std::function<void(const QString &)> whileAsking;
    // Scripted answers, taken in order; when they run out, questions answer No and file
    // dialogs are cancelled.
    QList<Answer> answers;
    // Answers to the text questions (nothing: Cancel); when they run out, Cancel.
    QList<std::optional<QString>> texts;
    QStringList fileNames;
    // The types the save dialogs answer as chosen, in order; when they run out, none.
    QStringList chosenTypes;
    // Fills in and answers a program dialog; without one, dialogs are cancelled.
    std::function<int(QDialog &)> dialogHandler;
    // Fill in and answer the printer set-up and print dialogs (a PDF file, say); without one,
    // they are cancelled.
    std::function<bool(QPrinter &)> printerSetupHandler, printHandler;

    // What was shown.
    QStringList messages, errors, notices, questions, documents, dialogs;
    // The filters and default extensions the file dialogs offered.
    QStringList filters, defaultSuffixes;
    int printerSetups = 0;
    int printDialogs = 0;
};
