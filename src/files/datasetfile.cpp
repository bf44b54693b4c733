// The temporary data set file and the collection files hold the meter's logger memory byte for
// byte from address 0, with no header, length or checksum of their own. Bytes 11-13 hold
// lastAddress, the highest used address, big-endian; a temporary file is lastAddress + 257 bytes
// long, and those of its bytes the memory image did not supply are zero.

#include "files/datasetfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {

constexpr qint64 MaxLastAddress = 0xFFFFFF;
constexpr qint64 BeyondLastAddress = 257;
// Sequential files (pipes, devices) have no size to check; they are read in pieces, up to the
// largest collection and one byte more.
constexpr qint64 ReadPiece = 1 << 16;

QString withSeparator(const QString &folder)
{
    return QDir::cleanPath(folder) + QLatin1Char('/');
}

DataSetFile::ReadResult refused(const QString &error)
{
    return { std::nullopt, error };
}

QString tooLarge()
{
    return QStringLiteral("The file is too large to be a data set collection.");
}

// Writes data through a save file: a failed write leaves any earlier file in place.
bool writeWhole(const QString &fileName, const QByteArray &head, qint64 zeros)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    bool written = file.write(head) == head.size();
    if (written && zeros > 0) {
        const QByteArray padding(zeros, '\0');
        written = file.write(padding) == padding.size();
    }
    if (!written) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

namespace DataSetFile {

QString tempFolder(const QString &dataFolder, const QString &programFolder)
{
    const QString base = dataFolder.isEmpty() ? programFolder : dataFolder;
    return withSeparator(QDir(base).filePath(QStringLiteral("temp")));
}

QString tempFile(const QString &dataFolder, const QString &programFolder)
{
    return tempFolder(dataFolder, programFolder) + QLatin1String(TempFileName);
}

std::optional<int> lastAddressOf(const QByteArray &memory)
{
    if (memory.size() < MinimumCollectionSize)
        return std::nullopt;
    const auto byte = [&memory](int i) {
        return int(quint8(memory.at(i)));
    };
    return byte(11) << 16 | byte(12) << 8 | byte(13);
}

QString WriteTempDataSetFile(const QByteArray &image, int lastAddress, const QString &folder)
{
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return folder;
    const qint64 length = std::clamp<qint64>(lastAddress, 0, MaxLastAddress) + BeyondLastAddress;
    const qint64 fromImage = std::min<qint64>(length, image.size());
    // A file that cannot be written is skipped without a message.
    writeWhole(QDir(folder).filePath(QLatin1String(TempFileName)), image.left(fromImage),
               length - fromImage);
    return {};
}

bool SaveDataSetCollection(const QString &tempFilePath, const QString &target)
{
    QFile source(tempFilePath);
    if (!QFileInfo(tempFilePath).isFile() || !source.open(QIODevice::ReadOnly))
        return false;
    if (source.size() > MaximumCollectionSize)
        return false;
    const QByteArray bytes = source.readAll();
    if (bytes.size() != source.size())
        return false;
    source.close();
    return writeWhole(target, bytes, 0);
}

ReadResult readCollection(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return refused(QStringLiteral("Cannot open file \"%1\". %2")
                           .arg(QDir::toNativeSeparators(fileName), file.errorString()));

    QByteArray memory;
    if (!file.isSequential()) {
        if (file.size() > MaximumCollectionSize)
            return refused(tooLarge());
        memory = file.readAll();
        if (memory.size() != file.size())
            return refused(QStringLiteral("Cannot read file \"%1\". %2")
                               .arg(QDir::toNativeSeparators(fileName), file.errorString()));
    } else {
        while (memory.size() <= MaximumCollectionSize) {
            const QByteArray piece = file.read(ReadPiece);
            if (piece.isEmpty())
                break;
            memory.append(piece);
        }
        if (memory.size() > MaximumCollectionSize)
            return refused(tooLarge());
    }

    if (memory.isEmpty())
        return refused(QStringLiteral("The file is empty."));
    if (memory.size() < MinimumCollectionSize)
        return refused(QStringLiteral("The file is too short to be a data set collection."));
    return { std::move(memory), {} };
}

} // namespace DataSetFile
