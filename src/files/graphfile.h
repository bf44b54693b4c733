#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Graph files (".ghf") and the graph template: a 4-byte little-endian length N followed by the
// N bytes of a stored chart block. Exactly N + 4 bytes are written; anything after the block is
// ignored when reading.
namespace GraphFile {

struct ReadResult
{
    std::optional<QByteArray> block; // the block, when the whole of it was read
    QString error; // otherwise the message to show
};

// Writes block to fileName through a save file, so a failed write leaves any earlier file in
// place. Returns an empty string or the message: "Cannot create file "%1". %2", or
// "Stream write error" followed by the file and the reason.
QString write(const QString &fileName, const QByteArray &block);

// Reads the block of a graph file: "Cannot open file "%1". %2" when it cannot be opened or is
// not a regular file; "Stream read error" followed by the file and the reason when it is shorter
// than 4 bytes or than its length field says (checked before the block is read).
ReadResult read(const QString &fileName);
// The same for a graph file's bytes already in memory; fileName names them in a message.
ReadResult fromBytes(const QByteArray &fileBytes, const QString &fileName = {});

} // namespace GraphFile
