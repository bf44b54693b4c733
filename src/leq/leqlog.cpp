#include "leq/leqlog.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {

// "LEQ <when it was last written>.txt", with a number added where that name is taken.
QString keptName(const QDir &dir, const QFileInfo &log)
{
    const QString stamp = log.lastModified().toString(QStringLiteral("yyyy-MM-dd hh.mm.ss"));
    QString name = QStringLiteral("LEQ %1.txt").arg(stamp);
    for (int k = 2; dir.exists(name); ++k)
        name = QStringLiteral("LEQ %1 (%2).txt").arg(stamp).arg(k);
    return dir.filePath(name);
}

} // namespace

bool LeqLog::open(const QString &folder)
{
    close();
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral(".")))
        return false;
    const QFileInfo last(dir.filePath(QLatin1String(FileName)));
    if (last.exists() && last.size() > 0)
        QFile::rename(last.filePath(), keptName(dir, last));
    m_file.setFileName(last.filePath());
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

void LeqLog::append(const QString &timeText, const QString &levelText)
{
    if (!m_file.isOpen())
        return;
    m_file.write((timeText + QLatin1Char('\t') + levelText + QStringLiteral("\r\n")).toUtf8());
}

void LeqLog::close()
{
    if (m_file.isOpen())
        m_file.close();
}
