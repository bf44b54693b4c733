#include "cli/clifilenames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <climits>
#include <cstdio>
#include <unistd.h>
#endif

namespace {

const QLatin1String FolderPrefix("audexa-cli-names-");
const QLatin1String FolderLink(".folder");
const QLatin1String StagingPrefix(".audexa-cli-");

bool survivesQString(const QByteArray &bytes)
{
    return QFile::encodeName(QFile::decodeName(bytes)) == bytes;
}

// A stand-in is <private folder>/<n>/<shown file name>, a link to the file's exact name; beside
// <n>, the link <n>.folder reaches the file's folder.
QString folderLinkOf(const QString &standIn)
{
    return QFileInfo(standIn).absolutePath() + FolderLink;
}

bool isStandIn(const QString &path)
{
    return path.startsWith(QDir(QDir::tempPath()).filePath(FolderPrefix))
        && QFileInfo(path).isSymLink() && QFileInfo(folderLinkOf(path)).isSymLink();
}

QString stagingOf(const QString &standIn)
{
    return folderLinkOf(standIn) + QLatin1Char('/') + StagingPrefix
        + QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-')
        + QFileInfo(standIn).fileName();
}

} // namespace

#ifdef Q_OS_UNIX

CliFileNames::CliFileNames(int argc, char **argv)
    : m_folder(QDir(QDir::tempPath()).filePath(FolderPrefix + QLatin1String("XXXXXX")))
{
    bool titleNext = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray raw(argv[i]);
        const QString decoded = QFile::decodeName(raw);
        // A title is text, not a name; it stays as decoded.
        const bool title = titleNext || decoded.startsWith(QLatin1String("--"));
        titleNext = decoded == QLatin1String("--title");
        if (title || survivesQString(raw) || !m_folder.isValid()) {
            m_arguments << decoded;
            continue;
        }
        QByteArray absolute = raw;
        if (!absolute.startsWith('/')) {
            char cwd[PATH_MAX];
            if (::getcwd(cwd, sizeof cwd))
                absolute = QByteArray(cwd) + '/' + raw;
        }
        const qsizetype slash = absolute.lastIndexOf('/');
        const QByteArray folder = slash > 0 ? absolute.left(slash) : QByteArray("/");
        const QString own = m_folder.filePath(QString::number(m_standIns.size()));
        const QString path = own + QLatin1Char('/') + QFile::decodeName(absolute.mid(slash + 1));
        if (!QDir().mkpath(own)
            || ::symlink(absolute.constData(), QFile::encodeName(path).constData()) != 0
            || ::symlink(folder.constData(), QFile::encodeName(folderLinkOf(path)).constData())
                != 0) {
            m_arguments << decoded;
            continue;
        }
        m_standIns.push_back({ path, stagingOf(path), decoded });
        m_arguments << path;
    }
}

CliFileNames::~CliFileNames()
{
    // Only the links are removed, never what they reach.
    for (const StandIn &standIn : m_standIns) {
        ::unlink(QFile::encodeName(standIn.path).constData());
        ::unlink(QFile::encodeName(folderLinkOf(standIn.path)).constData());
        QDir().rmdir(QFileInfo(standIn.path).absolutePath());
    }
}

QString CliFileNames::writeTo(const QString &output,
                              const std::function<QString(const QString &)> &write)
{
    if (!isStandIn(output))
        return write(output);
    char target[PATH_MAX];
    const ssize_t length = ::readlink(QFile::encodeName(output).constData(), target, PATH_MAX - 1);
    if (length <= 0)
        return QStringLiteral("Cannot write file \"%1\". %2")
            .arg(output, QString::fromLocal8Bit(std::strerror(errno)));
    target[length] = '\0';
    const QString staging = stagingOf(output);
    const QString error = write(staging);
    if (!error.isEmpty())
        return error;
    if (std::rename(QFile::encodeName(staging).constData(), target) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(staging);
        return QStringLiteral("Cannot write file \"%1\". %2").arg(output, reason);
    }
    return {};
}

#else

CliFileNames::CliFileNames(int, char **)
    : m_arguments(QCoreApplication::arguments().mid(1))
{
}

CliFileNames::~CliFileNames() = default;

QString CliFileNames::writeTo(const QString &output,
                              const std::function<QString(const QString &)> &write)
{
    return write(output);
}

#endif

QString CliFileNames::shown(QString text) const
{
    for (const StandIn &standIn : m_standIns)
        text.replace(standIn.staging, standIn.shown).replace(standIn.path, standIn.shown);
    return text;
}
