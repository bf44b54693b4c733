#pragma once

#include <QString>

// The folders the program works in, given to the main window so that tests run in a
// temporary folder and never touch the user's files.
struct AppFolders
{
    // The user's documents folder; empty when the system cannot name one.
    QString documentsFolder;
    // The executable's folder.
    QString programFolder;
    // Where an installed program keeps its read-only data (the help file): share/audexa.
    QString installedDataFolder;

    // The folders of the running program, as the system names them.
    static AppFolders fromSystem();

    // The data folder: "Q7316" under the documents folder, created when missing; the documents
    // folder itself when it cannot be created; empty when there is no documents folder.
    // A non-empty result ends with a separator.
    QString resolveDataFolder() const;

    // The user's data folder as the main window found it when it was shown (resolveDataFolder);
    // empty until then, and when there is no documents folder.
    QString DataFolder;

    // Where every Open and Save dialog starts: DataFolder, or the program's folder when it is
    // empty. Ends with a separator.
    QString dialogFolder() const;
    // "temp" under the dialog folder, where the temporary data set file lies. Ends with a
    // separator.
    QString tempFolder() const;

    // The per-user application data folder: the user's own graph template, and the LEQ log
    // when the program's folder is not writable (an installed program).
    QString userDataFolder;

    // The graph template "template/graph.ghf". Each user saves their own under the user data
    // folder (under DataFolder when the system names none), so that users of one copy of the
    // program never share a look; one in the program's folder is only read, as the default
    // of every user who has not saved one.
    QString templateFolder() const;
    QString templateFile() const;
    // The template a new graph starts from: the user's, else the program folder's; empty when
    // there is neither.
    QString templateFileToRead() const;
    // "temp" in the program's folder when that is writable (a build tree), otherwise under the
    // user data folder: where the LEQ log is written.
    QString programTempFolder() const;

    // "Q7316Help.htm" in the program's folder, or in the installed data folder when the
    // program's folder does not hold it.
    QString helpFilePath() const;

private:
    QString writableProgramFolder() const;
};
