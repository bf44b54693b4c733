#include "leq/leqlog.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <utility>
#include <vector>

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

// Removes the oldest kept logs beyond LeqLog::KeptLogs. Their names order them: by the time in
// the name, then by the number added to a name that was taken (none counting as 1).
void removeOldKeptLogs(const QDir &dir)
{
    static const QRegularExpression kept(
        QStringLiteral(R"(^LEQ (\d{4}-\d\d-\d\d \d\d\.\d\d\.\d\d)(?: \((\d{1,9})\))?\.txt$)"));
    std::vector<std::pair<std::pair<QString, int>, QString>> logs;
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const QRegularExpressionMatch match = kept.match(name);
        if (match.hasMatch())
            logs.push_back({ { match.captured(1),
                               match.captured(2).isEmpty() ? 1 : match.captured(2).toInt() },
                             name });
    }
    if (logs.size() <= std::size_t(LeqLog::KeptLogs))
        return;
    std::sort(logs.begin(), logs.end());
    for (std::size_t i = 0; i < logs.size() - std::size_t(LeqLog::KeptLogs); ++i)
        QFile::remove(dir.filePath(logs[i].second)); // one that stays does no harm
}

} // namespace

bool LeqLog::open(const QString &folder)
{
    close();
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral(".")))
        return false;
    const QFileInfo last(dir.filePath(QLatin1String(FileName)));
    // The last log is never begun over: when it cannot be set aside, it stays as it is and this
    // measurement runs without a log.
    if (last.exists() && last.size() > 0 && !QFile::rename(last.filePath(), keptName(dir, last)))
        return false;
    removeOldKeptLogs(dir);
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
