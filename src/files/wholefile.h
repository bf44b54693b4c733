#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QFile;
class QFileDevice;
class QSaveFile;

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
// opened or is not a regular file, tooLarge when it is larger, "Cannot read file "%1". %2" when
// reading fails.
ReadResult read(const QString &fileName, qint64 limit, const QString &tooLarge);

// Writes bytes through a save file, so that a failed write leaves any earlier file in place:
// an empty string, or "Cannot create file "%1". %2" or "Cannot write file "%1". %2".
QString write(const QString &fileName, const QByteArray &bytes);

// Opens file (its name set) for reading; a folder, a pipe or a device is refused before it is
// opened, since it may block or never end. An empty string, or "Cannot open file "%1". %2".
QString openForReading(QFile &file);

// Puts a save file in place once everything written to it has reached the disk: an empty
// string, or the reason it failed (the save file is then cancelled and any earlier file kept).
// written says whether every write took all it was given; a save file forgets a short write,
// and its own commit overlooks a write that fails while flushing.
QString commit(QSaveFile &file, bool written = true);

// Why an operation on file failed, as the system said it: the file's own text, or the system's
// text for systemError where the file's says nothing ("Unknown error").
QString reason(const QFileDevice &file, int systemError);

} // namespace WholeFile
