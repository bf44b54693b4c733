#include "base/appfolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
constexpr auto HelpFileName = "Q7316Help.htm";
constexpr auto DataFolderName = "Q7316";
constexpr auto TemplateFolderName = "template";
constexpr auto TemplateFileName = "graph.ghf";

QString withSeparator(const QString &folder)
{
    return QDir::cleanPath(folder) + QLatin1Char('/');
}
} // namespace

AppFolders AppFolders::fromSystem()
{
    AppFolders folders;
    folders.documentsFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    folders.programFolder = QCoreApplication::applicationDirPath();
    folders.userDataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    folders.installedDataFolder
        = QDir(folders.programFolder).absoluteFilePath(QStringLiteral("../share/audexa"));
    return folders;
}

QString AppFolders::resolveDataFolder() const
{
    if (documentsFolder.isEmpty())
        return {};
    const QDir documents(documentsFolder);
    const QString dataFolder = documents.filePath(QLatin1String(DataFolderName));
    if (QFileInfo(dataFolder).isDir() || documents.mkpath(QLatin1String(DataFolderName)))
        return withSeparator(dataFolder);
    return withSeparator(documentsFolder);
}

QString AppFolders::dialogFolder() const
{
    return DataFolder.isEmpty() ? withSeparator(programFolder) : DataFolder;
}

QString AppFolders::tempFolder() const
{
    return withSeparator(QDir(dialogFolder()).filePath(QStringLiteral("temp")));
}

QString AppFolders::helpFilePath() const
{
    const QString local = QDir(programFolder).filePath(QLatin1String(HelpFileName));
    if (QFileInfo::exists(local) || installedDataFolder.isEmpty())
        return local;
    return QDir::cleanPath(QDir(installedDataFolder).filePath(QLatin1String(HelpFileName)));
}

// The program's folder when it is writable (a build tree), otherwise the user data folder.
QString AppFolders::writableProgramFolder() const
{
    const QFileInfo program(programFolder);
    const bool writable = program.isDir() && program.isWritable();
    return (writable || userDataFolder.isEmpty()) ? programFolder : userDataFolder;
}

QString AppFolders::templateFolder() const
{
    const QString user = userDataFolder.isEmpty() ? dialogFolder() : userDataFolder;
    return withSeparator(QDir(user).filePath(QLatin1String(TemplateFolderName)));
}

QString AppFolders::programTempFolder() const
{
    return withSeparator(QDir(writableProgramFolder()).filePath(QStringLiteral("temp")));
}

QString AppFolders::templateFile() const
{
    return templateFolder() + QLatin1String(TemplateFileName);
}

QString AppFolders::templateFileToRead() const
{
    const QString own = templateFile();
    if (QFileInfo::exists(own))
        return own;
    const QDir programTemplates(QDir(programFolder).filePath(QLatin1String(TemplateFolderName)));
    const QString shared = programTemplates.filePath(QLatin1String(TemplateFileName));
    return QFileInfo::exists(shared) ? QDir::cleanPath(shared) : QString();
}
