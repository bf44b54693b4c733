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

// "temp" under the data folder, or under the program's folder when the data folder is empty;
// ends with a separator.
QString tempFolder(const QString &dataFolder, const QString &programFolder);
QString tempFile(const QString &dataFolder, const QString &programFolder);

// lastAddress from bytes 11-13 (big-endian 24 bits); nothing for fewer than 14 bytes.
std::optional<int> lastAddressOf(const QByteArray &memory);

// Writes lastAddress + 257 bytes of image (bytes beyond the image are zero) to the temporary
// file in folder (the temporary folder, created when missing). lastAddress is a 24-bit address:
// a value outside 0 to 0xFFFFFF is taken as the nearest of the two. Returns an empty string, or the
// folder's path when the temporary folder cannot be created (nothing is written). A file that
// cannot be written is skipped without a message.
QString WriteTempDataSetFile(const QByteArray &image, int lastAddress, const QString &folder);

// Copies the temporary file to target, overwriting it; false when there is no temporary file
// or the copy failed.
bool SaveDataSetCollection(const QString &tempFilePath, const QString &target);

struct ReadResult
{
    std::optional<QByteArray> memory; // the whole file
    QString error; // why not: cannot be opened, empty, shorter than 14 bytes, or too large
};
ReadResult readCollection(const QString &fileName);

} // namespace DataSetFile
