#include "files/wholefile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace WholeFile {

QString shownName(const QString &fileName)
{
    return QDir::toNativeSeparators(fileName);
}

ReadResult read(const QString &fileName, qint64 limit, const QString &tooLarge)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return { std::nullopt,
                 QStringLiteral("Cannot open file \"%1\". %2")
                     .arg(shownName(fileName), file.errorString()) };
    if (file.size() > limit)
        return { std::nullopt, tooLarge };
    // A pipe or a device has no size to check: at most one byte more than the limit is read.
    QByteArray bytes = file.isSequential() ? file.read(limit + 1) : file.readAll();
    if (bytes.size() > limit)
        return { std::nullopt, tooLarge };
    if (!file.isSequential() && bytes.size() != file.size())
        return { std::nullopt,
                 QStringLiteral("Cannot read file \"%1\". %2")
                     .arg(shownName(fileName), file.errorString()) };
    return { std::move(bytes), {} };
}

QString write(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("Cannot create file \"%1\". %2")
            .arg(shownName(fileName), file.errorString());
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return QStringLiteral("Cannot write file \"%1\". %2").arg(shownName(fileName), reason);
    }
    return {};
}

} // namespace WholeFile
