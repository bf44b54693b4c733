// The temporary data set file and the collection files: names, lengths, zero fill, refusals,
// and a save-and-reopen round trip through the decoder.

#include "base/appfolders.h"
#include "common/fakeclock.h"
#include "files/datasetfile.h"
#include "logger/loggerdata.h"
#include "logger/memorydecoder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readAll(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A memory of two data sets (3 and 2 readings) as downloaded: up to the next multiple of 32.
QByteArray twoSetMemory()
{
    QByteArray memory(256, '\0');
    memory[0] = 0x04;
    memory[10] = 2;
    memory[31] = 0x05;
    memory += QByteArray::fromHex("A55A0007031510300000010000030200012C012D012E5AA5");
    memory += QByteArray::fromHex("A55A0008123123595900050000020D0003E805785AA5");
    const int lastAddress = int(memory.size()) - 1;
    memory[12] = char(lastAddress >> 8);
    memory[13] = char(lastAddress & 0xFF);
    memory.resize((lastAddress + 1 + 31) / 32 * 32, char(0x77));
    return memory;
}

// A memory with distinct bytes everywhere, so that any misplaced byte shows.
QByteArray patterned(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(1 + i % 251);
    return bytes;
}

} // namespace

class TestDataSetFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tempFolderNaming_data();
    void tempFolderNaming();
    void tempFileLength_data();
    void tempFileLength();
    void tempFileCannotBeWritten();
    void saveAndReopen();
    void longCollectionFile();
    void refusedFiles_data();
    void refusedFiles();
    void failedSaves_data();
    void failedSaves();
    void patchInPlace();
};

void TestDataSetFile::tempFolderNaming_data()
{
    QTest::addColumn<QString>("dataFolder");
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QString>("folder");
    QTest::newRow("data folder") << "/home/u/Documents/Q7316/"
                                 << "/opt/audexa/bin"
                                 << "/home/u/Documents/Q7316/temp/";
    QTest::newRow("no data folder") << ""
                                    << "/opt/audexa/bin"
                                    << "/opt/audexa/bin/temp/";
}

void TestDataSetFile::tempFolderNaming()
{
    QFETCH(QString, dataFolder);
    QFETCH(QString, programFolder);
    QFETCH(QString, folder);
    AppFolders folders;
    folders.DataFolder = dataFolder;
    folders.programFolder = programFolder;
    QCOMPARE(folders.tempFolder(), folder);
    QCOMPARE(DataSetFile::tempFile(folders.tempFolder()), folder + "DataSetsTemp.tmp");
}

void TestDataSetFile::tempFileLength_data()
{
    QTest::addColumn<int>("imageSize");
    QTest::addColumn<int>("lastAddress");
    QTest::addColumn<int>("length");
    // 0x1234 + 257 = 4917 bytes: addresses 0 to 0x1234 + 256.
    QTest::newRow("as downloaded") << 4672 << 0x1234 << 4917;
    QTest::newRow("image ends at lastAddress") << 4661 << 0x1234 << 4917;
    QTest::newRow("image of exactly the length") << 4917 << 0x1234 << 4917;
    QTest::newRow("longer image") << 6000 << 0x1234 << 4917;
    QTest::newRow("lastAddress 0") << 32 << 0 << 257;
    QTest::newRow("negative lastAddress taken as 0") << 32 << -5 << 257;
    QTest::newRow("empty image") << 0 << 100 << 357;
}

void TestDataSetFile::tempFileLength()
{
    QFETCH(int, imageSize);
    QFETCH(int, lastAddress);
    QFETCH(int, length);
    QTemporaryDir dir;
    const QString folder = dir.filePath("temp/");
    QVERIFY(QDir().mkpath(folder));
    // An older, longer file is replaced, not overwritten in part.
    writeFile(folder + "DataSetsTemp.tmp", QByteArray(10000, 'x'));

    const QByteArray image = patterned(imageSize);
    QCOMPARE(DataSetFile::WriteTempDataSetFile(image, lastAddress, folder).status,
             DataSetFile::WriteResult::Written);
    const QByteArray file = readAll(folder + "DataSetsTemp.tmp");
    QCOMPARE(file.size(), qsizetype(length));
    const qsizetype sourced = std::min<qsizetype>(imageSize, length);
    QCOMPARE(file.left(sourced), image.left(sourced));
    QCOMPARE(file.mid(sourced), QByteArray(length - sourced, '\0'));
}

void TestDataSetFile::tempFileCannotBeWritten()
{
    QTemporaryDir dir;
    // The folder cannot be made: the error is its path, nothing is written.
    writeFile(dir.filePath("plain"), "not a folder");
    const QString blocked = dir.filePath("plain/temp/");
    const DataSetFile::WriteResult noFolder
        = DataSetFile::WriteTempDataSetFile(patterned(600), 300, blocked);
    QCOMPARE(noFolder.status, DataSetFile::WriteResult::FolderFailed);
    QCOMPARE(noFolder.error, blocked);
    QCOMPARE(readAll(dir.filePath("plain")), QByteArray("not a folder"));
    // The file cannot be written: the message names it.
    const QString folder = dir.filePath("temp/");
    QVERIFY(QDir().mkpath(folder + "DataSetsTemp.tmp"));
    const DataSetFile::WriteResult noFile
        = DataSetFile::WriteTempDataSetFile(patterned(600), 300, folder);
    QCOMPARE(noFile.status, DataSetFile::WriteResult::WriteFailed);
    QVERIFY2(noFile.error.startsWith("Cannot create file \"" + folder + "DataSetsTemp.tmp\""),
             qPrintable(noFile.error));
}

void TestDataSetFile::saveAndReopen()
{
    const FakeClock clock;
    const QByteArray memory = twoSetMemory();
    const int lastAddress = *DataSetFile::lastAddressOf(memory);
    LoggerData downloaded;
    QCOMPARE(MemoryDecoder::DecodeLoggerMemory(memory, lastAddress, clock, downloaded), 0);
    QCOMPARE(downloaded.setCount(), 2);

    QTemporaryDir dir;
    const QString folder = dir.filePath("data/temp/");
    QCOMPARE(DataSetFile::WriteTempDataSetFile(memory, lastAddress, folder).status,
             DataSetFile::WriteResult::Written);
    const QString temp = folder + "DataSetsTemp.tmp";
    const QString saved = dir.filePath("survey.rec");
    writeFile(saved, "an older collection");
    QCOMPARE(DataSetFile::SaveDataSetCollection(temp, saved), QString());
    const QByteArray savedBytes = readAll(saved);
    QCOMPARE(savedBytes, readAll(temp));
    QCOMPARE(savedBytes.size(), qsizetype(lastAddress + 257));

    const DataSetFile::ReadResult read = DataSetFile::readCollection(saved);
    QVERIFY2(read.memory, qPrintable(read.error));
    QCOMPARE(DataSetFile::lastAddressOf(*read.memory), std::optional<int>(lastAddress));
    LoggerData reopened;
    QCOMPARE(MemoryDecoder::DecodeLoggerMemory(*read.memory, lastAddress, clock, reopened), 0);
    QVERIFY(reopened == downloaded);

    QVERIFY(QFile::remove(temp));
    QCOMPARE(DataSetFile::WriteTempDataSetFile(*read.memory, lastAddress, folder).status,
             DataSetFile::WriteResult::Written);
    QCOMPARE(readAll(temp), savedBytes);
}

void TestDataSetFile::longCollectionFile()
{
    QByteArray memory = twoSetMemory();
    const int lastAddress = *DataSetFile::lastAddressOf(memory);
    memory = memory.left(lastAddress + 1) + patterned(256 + 1000);
    QTemporaryDir dir;
    writeFile(dir.filePath("long.rec"), memory);

    const DataSetFile::ReadResult read = DataSetFile::readCollection(dir.filePath("long.rec"));
    QVERIFY(read.memory);
    QCOMPARE(*read.memory, memory);
    const QString folder = dir.filePath("temp/");
    QCOMPARE(DataSetFile::WriteTempDataSetFile(*read.memory, lastAddress, folder).status,
             DataSetFile::WriteResult::Written);
    QCOMPARE(readAll(folder + "DataSetsTemp.tmp"), memory.left(lastAddress + 257));
}

void TestDataSetFile::refusedFiles_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("error");
    QTest::newRow("empty") << 0 << "The file \"%1\" is empty.";
    QTest::newRow("1 byte") << 1 << "The file \"%1\" is too short to be a data set collection.";
    QTest::newRow("13 bytes") << 13 << "The file \"%1\" is too short to be a data set collection.";
    QTest::newRow("14 bytes") << 14 << "";
    QTest::newRow("largest") << DataSetFile::MaximumCollectionSize << "";
    QTest::newRow("too large") << DataSetFile::MaximumCollectionSize + 1
                               << "The file \"%1\" is too large to be a data set collection.";
}

void TestDataSetFile::refusedFiles()
{
    QFETCH(int, size);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString name = dir.filePath("file.rec");
    writeFile(name, patterned(std::min(size, 64)));
    QVERIFY(QFile::resize(name, size));

    const DataSetFile::ReadResult read = DataSetFile::readCollection(name);
    QCOMPARE(read.error, error.isEmpty() ? error : error.arg(name));
    QCOMPARE(bool(read.memory), error.isEmpty());
    if (read.memory) {
        QCOMPARE(read.memory->size(), qsizetype(size));
        QCOMPARE(DataSetFile::lastAddressOf(*read.memory),
                 std::optional<int>(12 << 16 | 13 << 8 | 14));
    }
    QCOMPARE(DataSetFile::lastAddressOf(patterned(13)), std::nullopt);

    const DataSetFile::ReadResult missing = DataSetFile::readCollection(dir.filePath("none.rec"));
    QVERIFY(!missing.memory);
    QVERIFY(missing.error.startsWith("Cannot open file"));
}

void TestDataSetFile::failedSaves_data()
{
    QTest::addColumn<QString>("source"); // "file", "missing" or "folder"
    QTest::addColumn<QString>("target"); // under the test's folder
    QTest::addColumn<QString>("error"); // how the message starts, with %1 the target
    QTest::newRow("no temporary file")
        << "missing"
        << "survey.rec"
        << "Cannot save \"%1\": the downloaded data sets cannot be read.";
    QTest::newRow("a folder in its place")
        << "folder"
        << "survey.rec"
        << "Cannot save \"%1\": the downloaded data sets cannot be read.";
    QTest::newRow("target folder missing") << "file"
                                           << "no/such/folder/survey.rec"
                                           << "Cannot create file \"%1\".";
    QTest::newRow("target is a folder") << "file"
                                        << "folder.rec"
                                        << "Cannot create file \"%1\".";
}

void TestDataSetFile::failedSaves()
{
    QFETCH(QString, source);
    QFETCH(QString, target);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString temp = dir.filePath("temp/DataSetsTemp.tmp");
    QVERIFY(QDir().mkpath(dir.filePath("temp")));
    if (source == "file")
        writeFile(temp, twoSetMemory());
    else if (source == "folder")
        QVERIFY(QDir().mkpath(temp));
    QVERIFY(QDir().mkpath(dir.filePath("folder.rec")));
    // A good earlier collection under the chosen name stays as it was.
    const QString good = dir.filePath("survey.rec");
    writeFile(good, "a good collection");
    const QString name = dir.filePath(target);
    const QString message = DataSetFile::SaveDataSetCollection(temp, name);
    QVERIFY2(message.startsWith(error.arg(name)), qPrintable(message));
    QCOMPARE(readAll(good), QByteArray("a good collection"));
}

void TestDataSetFile::patchInPlace()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("DataSetsTemp.tmp");
    writeFile(file, QByteArray(20, 'a'));
    QCOMPARE(DataSetFile::patchFile(file, 3, "xyz"), QString());
    QCOMPARE(readAll(file), QByteArray("aaaxyz") + QByteArray(14, 'a'));
    QVERIFY(!DataSetFile::patchFile(file, 18, "xyz").isEmpty()); // beyond the end: refused
    QVERIFY(!DataSetFile::patchFile(dir.filePath("none"), 0, "x").isEmpty());
    QCOMPARE(readAll(file).size(), 20);
}

QTEST_GUILESS_MAIN(TestDataSetFile)
#include "tst_datasetfile.moc"
