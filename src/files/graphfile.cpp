// Graph file layout: bytes 0-3 hold N, the length of the chart block, as an unsigned 32-bit
// number, least significant byte first; bytes 4 to N + 3 hold the block. There is no signature
// or checksum of its own; the block carries them. Whatever follows the block is ignored.

#include "files/graphfile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QtEndian>

#include <limits>

namespace {

constexpr qint64 LengthSize = 4;
// Sequential files (pipes, devices) have no size to check a length against; they are read in
// pieces, so that memory grows only with the bytes that actually arrive.
constexpr qint64 ReadPiece = 1 << 20;

QString shownName(const QString &fileName)
{
    return QDir::toNativeSeparators(fileName);
}

QString writeError()
{
    return QStringLiteral("Stream write error");
}

GraphFile::ReadResult readError()
{
    return { std::nullopt, QStringLiteral("Stream read error") };
}

GraphFile::ReadResult readFrom(QIODevice &file);

} // namespace

namespace GraphFile {

QString write(const QString &fileName, const QByteArray &block)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("Cannot create file \"%1\". %2")
            .arg(shownName(fileName), file.errorString());
    if (block.size() > qsizetype(std::numeric_limits<quint32>::max())) {
        file.cancelWriting();
        return writeError();
    }
    char length[LengthSize];
    qToLittleEndian(static_cast<quint32>(block.size()), length);
    if (file.write(length, LengthSize) != LengthSize || file.write(block) != block.size()) {
        file.cancelWriting();
        return writeError();
    }
    if (!file.commit())
        return writeError();
    return {};
}

ReadResult read(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return { std::nullopt,
                 QStringLiteral("Cannot open file \"%1\". %2")
                     .arg(shownName(fileName), file.errorString()) };
    return readFrom(file);
}

ReadResult fromBytes(const QByteArray &fileBytes)
{
    QBuffer buffer;
    buffer.setData(fileBytes);
    buffer.open(QIODevice::ReadOnly);
    return readFrom(buffer);
}

} // namespace GraphFile

namespace {

GraphFile::ReadResult readFrom(QIODevice &file)
{
    char length[LengthSize];
    if (file.read(length, LengthSize) != LengthSize)
        return readError();
    const qint64 size = qFromLittleEndian<quint32>(length);

    QByteArray block;
    if (!file.isSequential()) {
        // The length field is checked against the file before anything is allocated.
        if (file.size() - LengthSize < size)
            return readError();
        block.resize(size);
        if (file.read(block.data(), size) != size)
            return readError();
        return { std::move(block), {} };
    }
    while (block.size() < size) {
        const qint64 want = std::min(ReadPiece, size - block.size());
        const qsizetype at = block.size();
        block.resize(at + want);
        const qint64 got = file.read(block.data() + at, want);
        if (got <= 0)
            return readError();
        block.resize(at + got);
    }
    return { std::move(block), {} };
}

} // namespace
