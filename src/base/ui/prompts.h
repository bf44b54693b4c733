#pragma once

#include <QString>

#include <optional>

class QDialog;
class QPrinter;
class QWidget;

// Every question, message and common dialog a window shows goes through Prompts, so that
// tests can script the answers. QtPrompts shows the real ones.
class Prompts
{
public:
    enum class Answer { Yes, No, Cancel };
    // The caption of every message box: the program's title.
    static constexpr const char *Caption = "Q7316";

    virtual ~Prompts() = default;

    // A plain message with an OK button ("Connect fail").
    virtual void showMessage(const QString &text) = 0;
    // An error in the standard critical box.
    virtual void showError(const QString &text) = 0;
    // A warning that does not wait for its OK: for what a timer's handler must say while the
    // work it does goes on.
    virtual void showNotice(const QString &text) = 0;
    // A question answered Yes or No, or also Cancel when withCancel.
    virtual Answer ask(const QString &text, bool withCancel) = 0;
    // A line of text asked for (an excluded interval's label), the field starting with text;
    // nothing when cancelled.
    virtual std::optional<QString> askText(const QString &question, const QString &text) = 0;
    // The open and save dialogs; an empty result means cancelled. chosenType, when given, gets
    // the type the save dialog's filter list shows as chosen.
    virtual QString openFileName(const QString &caption, const QString &folder,
                                 const QString &filter)
        = 0;
    virtual QString saveFileName(const QString &caption, const QString &folder,
                                 const QString &filter, const QString &defaultSuffix,
                                 QString *chosenType = nullptr)
        = 0;
    // The printer set-up and print dialogs; false when cancelled.
    virtual bool printerSetup(QPrinter &printer) = 0;
    virtual bool printDialog(QPrinter &printer) = 0;
    // Shows a dialog of the program's own modally and returns its result.
    virtual int execDialog(QDialog &dialog) = 0;
    // Opens a document with the system's default program; false when no program took it.
    virtual bool openDocument(const QString &path) = 0;
};

class QtPrompts : public Prompts
{
public:
    // parent: the window the boxes belong to (may be set later).
    explicit QtPrompts(QWidget *parent = nullptr)
        : m_parent(parent)
    {
    }
    void setParent(QWidget *parent) { m_parent = parent; }

    void showMessage(const QString &text) override;
    void showError(const QString &text) override;
    void showNotice(const QString &text) override;
    Answer ask(const QString &text, bool withCancel) override;
    std::optional<QString> askText(const QString &question, const QString &text) override;
    QString openFileName(const QString &caption, const QString &folder,
                         const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &folder, const QString &filter,
                         const QString &defaultSuffix, QString *chosenType = nullptr) override;
    bool printerSetup(QPrinter &printer) override;
    bool printDialog(QPrinter &printer) override;
    int execDialog(QDialog &dialog) override;
    bool openDocument(const QString &path) override;

private:
    QWidget *m_parent;
};
