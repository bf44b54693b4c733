#include "common/mainwindowrig.h"

#include "base/appfolders.h"

#include <QDir>
#include <QTest>

MainWindowRig::MainWindowRig(const Options &options)
    : MainWindowRig(std::make_unique<QTemporaryDir>(), nullptr, options)
{
}

MainWindowRig::MainWindowRig(QTemporaryDir &folder, const Options &options)
    : MainWindowRig(nullptr, &folder, options)
{
}

MainWindowRig::MainWindowRig(std::unique_ptr<QTemporaryDir> ownDir, QTemporaryDir *folder,
                             const Options &options)
    : m_ownDir(std::move(ownDir))
    , dir(folder ? *folder : *m_ownDir)
    , meter(clock, options.seed)
    , settings(dir.filePath("settings.ini"), QSettings::IniFormat)
{
    AppFolders folders;
    folders.documentsFolder = dir.filePath("Documents");
    folders.programFolder = dir.filePath("program");
    folders.userDataFolder = dir.filePath("user");
    QDir().mkpath(folders.documentsFolder);
    if (options.makeProgramFolder)
        QDir().mkpath(folders.programFolder);

    MeterUsb *transport = &meter;
    if (options.recordCalls)
        transport = &usb.emplace(meter);
    window = std::make_unique<TfrmMain>(*transport, clock, prompts, settings, folders);
    if (options.size.isValid())
        window->resize(options.size);
    if (options.show)
        window->show();
    if (options.stopMainTimer)
        window->MainTimer.stop();
}

void MainWindowRig::connect()
{
    window->MainTimerTimer();
    QVERIFY(window->state().Connected);
}

void MainWindowRig::connectAndPoll()
{
    connect();
    ticks(1);
}

void MainWindowRig::ticks(int n)
{
    for (int i = 0; i < n; ++i)
        window->MainTimerTimer();
}
