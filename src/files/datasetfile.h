#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The temporary data set file "DataSetsTemp.tmp" and the data set collection files (".rec"):
// the meter memory byte for byte from address 0, lastAddress + 257 bytes long.
namespace DataSetFile {

inline constexpr int MinimumCollectionSize = 14; // a shorter file carries no lastAddress
// The largest memory a 24-bit lastAddress can describe, with the temporary file's 256 bytes
// beyond it. A larger file cannot be a collection; it is refused rather than read into memory.
inline constexpr int MaximumCollectionSize = 0xFFFFFF + 257;
inline constexpr auto TempFileName = "DataSetsTemp.tmp";

// The temporary file in the temporary folder (AppFolders::tempFolder).
QString tempFile(const QString &tempFolder);

// lastAddress from bytes 11-13 (big-endian 24 bits); nothing for fewer than 14 bytes.
std::optional<int> lastAddressOf(const QByteArray &memory);

struct WriteResult
{
    enum Status {
        Written,
        FolderFailed, // the temporary folder cannot be created: error is the folder's path
        WriteFailed, // the file cannot be written: error says which and why; no earlier
                     // temporary file is left behind in its place
    };
    Status status = Written;
    QString error;
};

// Writes lastAddress + 257 bytes of image (bytes beyond the image are zero) to the temporary
// file in folder (the temporary folder, created when missing). lastAddress is a 24-bit address:
// a value outside 0 to 0xFFFFFF is taken as the nearest of the two. A failed write removes the
// temporary file an earlier download left, so that no older memory can be saved in place of
// this one.
WriteResult WriteTempDataSetFile(const QByteArray &image, int lastAddress, const QString &folder);

// Copies the temporary file to target through a save file, so that a failed copy leaves an
// existing target as it was. Returns an empty string, or the message to show: the temporary
// file cannot be read, or the target cannot be written.
QString SaveDataSetCollection(const QString &tempFilePath, const QString &target);

// Replaces bytes.size() bytes at offset of an existing file (the temporary file), through a save
// file. Returns an empty string or the message to show; a range beyond the file is refused.
QString patchFile(const QString &fileName, qint64 offset, const QByteArray &bytes);

struct ReadResult
{
    std::optional<QByteArray> memory; // the whole file
    QString error; // why not, naming the file: cannot be opened or is not a regular file,
                   // empty, shorter than 14 bytes, or too large
};
ReadResult readCollection(const QString &fileName);
// The checks of readCollection on a file's bytes already in memory; fileName names them.
ReadResult collectionFromBytes(QByteArray bytes, const QString &fileName = {});

} // namespace DataSetFile
