// Graph file layout: bytes 0-3 hold N, the length of the chart block, as an unsigned 32-bit
// number, least significant byte first; bytes 4 to N + 3 hold the block. There is no signature
// or checksum of its own; the block carries them. Whatever follows the block is ignored.

#include "files/graphfile.h"

#include "files/wholefile.h"

#include <QBuffer>
#include <QFile>
#include <QSaveFile>
#include <QtEndian>

#include <cerrno>
#include <limits>

namespace {

constexpr qint64 LengthSize = 4;

using WholeFile::shownName;

// The two stream errors begin with their fixed texts; the file and the reason follow.
QString writeError(const QString &fileName, const QString &reason)
{
    return QStringLiteral("Stream write error: \"%1\": %2").arg(shownName(fileName), reason);
}

GraphFile::ReadResult readError(const QString &fileName, const QString &reason)
{
    return { std::nullopt,
             QStringLiteral("Stream read error: \"%1\": %2").arg(shownName(fileName), reason) };
}

GraphFile::ReadResult readFrom(QIODevice &file, const QString &fileName);

} // namespace

namespace GraphFile {

QString write(const QString &fileName, const QByteArray &block)
{
    QSaveFile file(fileName);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("Cannot create file \"%1\". %2")
            .arg(shownName(fileName), WholeFile::reason(file, errno));
    if (block.size() > qsizetype(std::numeric_limits<quint32>::max())) {
        file.cancelWriting();
        return writeError(fileName, QStringLiteral("the graph is too large for a graph file."));
    }
    char length[LengthSize];
    qToLittleEndian(static_cast<quint32>(block.size()), length);
    errno = 0;
    const bool written
        = file.write(length, LengthSize) == LengthSize && file.write(block) == block.size();
    const QString reason = WholeFile::commit(file, written);
    return reason.isEmpty() ? QString() : writeError(fileName, reason);
}

ReadResult read(const QString &fileName)
{
    QFile file(fileName);
    const QString error = WholeFile::openForReading(file);
    if (!error.isEmpty())
        return { std::nullopt, error };
    return readFrom(file, fileName);
}

ReadResult fromBytes(const QByteArray &fileBytes, const QString &fileName)
{
    QBuffer buffer;
    buffer.setData(fileBytes);
    buffer.open(QIODevice::ReadOnly);
    return readFrom(buffer, fileName);
}

} // namespace GraphFile

namespace {

GraphFile::ReadResult readFrom(QIODevice &file, const QString &fileName)
{
    // Only a device of known size is read (a regular file or bytes in memory), so that the
    // length field is checked against the bytes there are before anything is allocated.
    if (file.isSequential())
        return readError(fileName, QStringLiteral("it is not a regular file."));
    char length[LengthSize];
    if (file.read(length, LengthSize) != LengthSize)
        return readError(fileName,
                         QStringLiteral("the file is %1 bytes long, too short to hold a length.")
                             .arg(file.size()));
    const qint64 size = qFromLittleEndian<quint32>(length);
    if (file.size() - LengthSize < size)
        return readError(
            fileName,
            QStringLiteral("the file is %1 bytes long, but its length field asks for %2.")
                .arg(file.size())
                .arg(size + LengthSize));
    QByteArray block(size, Qt::Uninitialized);
    errno = 0;
    if (file.read(block.data(), size) != size) {
        const auto *device = qobject_cast<QFileDevice *>(&file);
        return readError(fileName, device ? WholeFile::reason(*device, errno) : file.errorString());
    }
    return { std::move(block), {} };
}

} // namespace
