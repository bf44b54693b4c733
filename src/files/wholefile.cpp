#include "files/wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace WholeFile {

QString shownName(const QString &fileName)
{
    return QDir::toNativeSeparators(fileName);
}

QString reason(const QFileDevice &file, int systemError)
{
    const QString text = file.errorString();
    if (!text.isEmpty() && text != QLatin1String("Unknown error"))
        return text;
    if (systemError != 0)
        return QString::fromLocal8Bit(std::strerror(systemError));
    return text.isEmpty() ? QStringLiteral("Unknown error") : text;
}

QString openForReading(QFile &file)
{
    const QFileInfo info(file.fileName());
    QString why;
    errno = 0;
    if (info.exists() && !info.isFile())
        why = info.isDir() ? QStringLiteral("It is a folder, not a file.")
                           : QStringLiteral("It is not a regular file (a pipe or a device).");
    else if (!file.open(QIODevice::ReadOnly))
        why = reason(file, errno);
    if (why.isEmpty())
        return {};
    return QStringLiteral("Cannot open file \"%1\". %2").arg(shownName(file.fileName()), why);
}

QString commit(QSaveFile &file, bool written)
{
    // errno still holds the reason of a short write.
    written = written && file.error() == QFileDevice::NoError && file.flush();
#ifdef Q_OS_UNIX
    written = written && ::fsync(file.handle()) == 0;
#endif
    if (!written) {
        const QString why = reason(file, errno);
        file.cancelWriting();
        return why;
    }
    errno = 0;
    if (!file.commit())
        return reason(file, errno);
    return {};
}

ReadResult read(const QString &fileName, qint64 limit, const QString &tooLarge)
{
    QFile file(fileName);
    const QString error = openForReading(file);
    if (!error.isEmpty())
        return { std::nullopt, error };
    if (file.size() > limit)
        return { std::nullopt, tooLarge };
    errno = 0;
    QByteArray bytes = file.readAll();
    if (bytes.size() != file.size())
        return { std::nullopt,
                 QStringLiteral("Cannot read file \"%1\". %2")
                     .arg(shownName(fileName), reason(file, errno)) };
    return { std::move(bytes), {} };
}

QString write(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("Cannot create file \"%1\". %2")
            .arg(shownName(fileName), reason(file, errno));
    errno = 0;
    const QString why = commit(file, file.write(bytes) == bytes.size());
    if (why.isEmpty())
        return {};
    return QStringLiteral("Cannot write file \"%1\". %2").arg(shownName(fileName), why);
}

} // namespace WholeFile
