#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Reading and writing a file in one piece, with the messages the user sees when it fails.
namespace WholeFile {

// The file's name as the user's system writes paths.
QString shownName(const QString &fileName);

struct ReadResult
{
    std::optional<QByteArray> bytes;
    QString error; // when there are no bytes: the message to show
};

// Reads a whole file of at most limit bytes: "Cannot open file "%1". %2" when it cannot be
// opened, tooLarge when it is larger, "Cannot read file "%1". %2" when reading fails.
ReadResult read(const QString &fileName, qint64 limit, const QString &tooLarge);

// Writes bytes through a save file, so that a failed write leaves any earlier file in place:
// an empty string, or "Cannot create file "%1". %2" or "Cannot write file "%1". %2".
QString write(const QString &fileName, const QByteArray &bytes);

} // namespace WholeFile
