// The temporary data set file and the collection files hold the meter's logger memory byte for
// byte from address 0, with no header, length or checksum of their own. Bytes 11-13 hold
// lastAddress, the highest used address, big-endian; a temporary file is lastAddress + 257 bytes
// long, and those of its bytes the memory image did not supply are zero.

#include "files/datasetfile.h"

#include "files/wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>

namespace {

constexpr qint64 MaxLastAddress = 0xFFFFFF;
constexpr qint64 BeyondLastAddress = 257;

using WholeFile::shownName;

DataSetFile::ReadResult refused(const QString &error)
{
    return { std::nullopt, error };
}

QString tooLarge(const QString &fileName)
{
    return QStringLiteral("The file \"%1\" is too large to be a data set collection.")
        .arg(shownName(fileName));
}

QString cannotCreate(const QString &fileName, const QString &reason)
{
    return QStringLiteral("Cannot create file \"%1\". %2").arg(shownName(fileName), reason);
}

// Writes head and then zeros through a save file: a failed write leaves any earlier file in
// place. Returns an empty string or the message to show.
QString writeWhole(const QString &fileName, const QByteArray &head, qint64 zeros)
{
    QSaveFile file(fileName);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return cannotCreate(fileName, WholeFile::reason(file, errno));
    errno = 0;
    const bool written = file.write(head) == head.size()
        && (zeros == 0 || file.write(QByteArray(zeros, '\0')) == zeros);
    const QString reason = WholeFile::commit(file, written);
    if (reason.isEmpty())
        return {};
    return QStringLiteral("Cannot write file \"%1\". %2").arg(shownName(fileName), reason);
}

// Reads a whole regular file of at most limit bytes.
std::optional<QByteArray> readWhole(const QString &fileName, qint64 limit, QString &error)
{
    WholeFile::ReadResult read = WholeFile::read(fileName, limit, tooLarge(fileName));
    error = read.error;
    return std::move(read.bytes);
}

} // namespace

namespace DataSetFile {

QString tempFile(const QString &tempFolder)
{
    return QDir(tempFolder).filePath(QLatin1String(TempFileName));
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

WriteResult WriteTempDataSetFile(const QByteArray &image, int lastAddress, const QString &folder)
{
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return { WriteResult::FolderFailed, folder };
    const qint64 length = std::clamp<qint64>(lastAddress, 0, MaxLastAddress) + BeyondLastAddress;
    const qint64 fromImage = std::min<qint64>(length, image.size());
    const QString fileName = tempFile(folder);
    const QString error = writeWhole(fileName, image.left(fromImage), length - fromImage);
    if (error.isEmpty())
        return {};
    // The file an earlier download left holds other data sets: it must not be saved as these.
    QFile::remove(fileName);
    return { WriteResult::WriteFailed, error };
}

QString SaveDataSetCollection(const QString &tempFilePath, const QString &target)
{
    QString error;
    const std::optional<QByteArray> bytes = readWhole(tempFilePath, MaximumCollectionSize, error);
    if (!bytes)
        return QStringLiteral("Cannot save \"%1\": the downloaded data sets cannot be read. %2")
            .arg(shownName(target), error);
    return writeWhole(target, *bytes, 0);
}

QString patchFile(const QString &fileName, qint64 offset, const QByteArray &bytes)
{
    QString error;
    std::optional<QByteArray> content = readWhole(fileName, MaximumCollectionSize, error);
    if (!content)
        return error;
    if (offset < 0 || offset + bytes.size() > content->size())
        return QStringLiteral("The file \"%1\" is too short to hold that data set.")
            .arg(shownName(fileName));
    content->replace(offset, bytes.size(), bytes);
    return writeWhole(fileName, *content, 0);
}

ReadResult collectionFromBytes(QByteArray memory, const QString &fileName)
{
    if (memory.size() > MaximumCollectionSize)
        return refused(tooLarge(fileName));
    if (memory.isEmpty())
        return refused(QStringLiteral("The file \"%1\" is empty.").arg(shownName(fileName)));
    if (memory.size() < MinimumCollectionSize)
        return refused(QStringLiteral("The file \"%1\" is too short to be a data set collection.")
                           .arg(shownName(fileName)));
    return { std::move(memory), {} };
}

ReadResult readCollection(const QString &fileName)
{
    QString error;
    std::optional<QByteArray> memory = readWhole(fileName, MaximumCollectionSize, error);
    if (!memory)
        return refused(error);
    return collectionFromBytes(std::move(*memory), fileName);
}

} // namespace DataSetFile
