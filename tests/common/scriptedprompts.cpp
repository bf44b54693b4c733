#include "common/scriptedprompts.h"

#include <QDialog>

Prompts::Answer ScriptedPrompts::ask(const QString &text, bool withCancel)
{
    Q_UNUSED(withCancel);
    questions << text;
    if (whileAsking)
        whileAsking(text);
    return answers.isEmpty() ? Answer::No : answers.takeFirst();
}

std::optional<QString> ScriptedPrompts::askText(const QString &question, const QString &)
{
    questions << question;
    return texts.isEmpty() ? std::nullopt : texts.takeFirst();
}

QString ScriptedPrompts::openFileName(const QString &caption, const QString &,
                                      const QString &filter)
{
    dialogs << caption;
    filters << filter;
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString ScriptedPrompts::saveFileName(const QString &caption, const QString &,
                                      const QString &filter, const QString &defaultSuffix,
                                      QString *chosenType)
{
    const QString type = chosenTypes.isEmpty() ? QString() : chosenTypes.takeFirst();
    if (chosenType)
        *chosenType = type;
    dialogs << caption;
    filters << filter;
    defaultSuffixes << defaultSuffix;
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

int ScriptedPrompts::execDialog(QDialog &dialog)
{
    dialogs << dialog.windowTitle();
    return dialogHandler ? dialogHandler(dialog) : int(QDialog::Rejected);
}
