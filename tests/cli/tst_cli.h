// audexa-cli's test, one class over two files: the program's outputs, failures and exit statuses
// (tst_cli.cpp), and what it exports: text, pictures, reports and figures (tst_cliexports.cpp).
// Running the built program and writing collections are here.

#pragma once

#include "chart/chartblock.h"
#include "chart/chartmodel.h"
#include "files/graphfile.h"
#include "meter/simulatedloggermemory.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

struct Run
{
    QString out;
    QString err;
    int status = -1;
};

// How a run's output is hindered: standard output on a full device, or files limited to a size.
struct Hindrance
{
    bool fullStandardOutput = false;
    qint64 fileSizeLimit = 0; // bytes, 0 for none
};

inline Run runCli(const QStringList &arguments, const QString &locale = QStringLiteral("C.UTF-8"),
                  Hindrance hindrance = {})
{
    // Where the widgets' platform wants a runtime folder of its own.
    static const QTemporaryDir runtime;
    QProcess process;
    if (hindrance.fullStandardOutput)
        process.setStandardOutputFile(QStringLiteral("/dev/full"));
    if (hindrance.fileSizeLimit > 0)
        process.setChildProcessModifier([limit = hindrance.fileSizeLimit] {
            // The file size limit stands in for a disk that fills.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit small { rlim_t(limit), rlim_t(limit) };
            setrlimit(RLIMIT_FSIZE, &small);
        });
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), locale);
    environment.insert(QStringLiteral("LANG"), locale);
    // Times are wall-clock times; a zone with summer time shows that none moves with it.
    environment.insert(QStringLiteral("TZ"), QStringLiteral("Europe/Berlin"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(AUDEXA_CLI_PATH), arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return { QString::fromUtf8(process.readAllStandardOutput()),
             QString::fromUtf8(process.readAllStandardError()), process.exitCode() };
}

// The worked example: one data set of three readings, 30.0 to 30.2 dB from 10:30:00 on
// 15 March 2007, then a second set of two readings at 5 s across a new year, FAST, C weighting,
// range 30-130. Written as a collection: lastAddress + 257 bytes.
inline QByteArray collection(int sets = 2)
{
    QByteArray memory(256, '\0');
    memory[10] = char(sets);
    memory += QByteArray::fromHex("A55A0007031510300000010000030200012C012D012E5AA5");
    if (sets == 2)
        memory += QByteArray::fromHex("A55A0008123123595900050000020D0003E805785AA5");
    const int lastAddress = int(memory.size()) - 1;
    memory[12] = char(lastAddress >> 8);
    memory[13] = char(lastAddress & 0xFF);
    memory.resize(lastAddress + 257, '\0');
    return memory;
}

class TestCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void output_data();
    void output();
    void failures_data();
    void failures();
    void unwrittenOutput_data();
    void unwrittenOutput();
    void namesAsGiven_data();
    void namesAsGiven();
    void help();
    void exportText_data();
    void exportText();
    void workbook_data();
    void workbook();
    void pictures_data();
    void pictures();
    void figures_data();
    void figures();
    void reports_data();
    void reports();
    void clockFigures_data();
    void clockFigures();
    void sameOutputInEveryLocale();
    void simulatedMetersMemory();

private:
    QString write(const QString &name, const QByteArray &bytes);
    // The arguments with every file name (a name with a dot) in the test's folder.
    QStringList inFolder(QStringList arguments) const;
    QTemporaryDir m_dir;
};
