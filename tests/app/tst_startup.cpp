// The program as a shell or a package check starts it: --help and --version print and end
// without a display, and Qt's own options still reach the application.

#include "base/version.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

namespace {

struct Run
{
    QString out;
    QString err;
    int status = -1;
};

// Runs the built program where there is no display: no X or Wayland server, and no platform
// chosen, so that a window system started too early fails.
Run runAudexa(const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
        environment.remove(QLatin1String(name));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(AUDEXA_PATH), arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return { QString::fromUtf8(process.readAllStandardOutput()),
             QString::fromUtf8(process.readAllStandardError()), process.exitCode() };
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void withoutDisplay_data();
    void withoutDisplay();
};

void TestStartup::withoutDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("outContains");
    QTest::addColumn<QString>("errContains");

    const QString version = QStringLiteral("Audexa %1\n").arg(QLatin1String(AudexaVersion));
    QTest::newRow("--version") << QStringList { "--version" } << 0 << version << "";
    QTest::newRow("-v") << QStringList { "-v" } << 0 << version << "";
    QTest::newRow("--help") << QStringList { "--help" } << 0 << "--simulate-meter"
                            << "";
    // The build copies the user's guide beside the program.
    const QString guide = QFileInfo(QStringLiteral(AUDEXA_PATH)).dir().filePath("Q7316Help.htm");
    QTest::newRow("--help finds the guide")
        << QStringList { "--help" } << 0 << QStringLiteral("User's guide: %1\n").arg(guide) << "";
    QTest::newRow("-h after an option")
        << QStringList { "--simulate-meter", "-h" } << 0 << "--version"
        << "";
    // Qt's option is unknown to the program's parser: the application takes it off first.
    QTest::newRow("Qt's -platform, then --version")
        << QStringList { "-platform", "offscreen", "--version" } << 0 << version << "";
    // The program's options are read again by the application.
    QTest::newRow("unknown fault") << QStringList { "-platform", "offscreen", "--simulate-meter",
                                                    "--simulate-fault", "nosuch" }
                                   << 2 << ""
                                   << "no simulated fault \"nosuch\"";
    // Past what a chart can hold in memory: refused before any window opens.
    QTest::newRow("--record past the bound")
        << QStringList { "-platform", "offscreen", "--record", "10000001" } << 2 << ""
        << "--record needs a number of points from 1 to 10000000, not \"10000001\"";
    QTest::newRow("unknown option")
        << QStringList { "-platform", "offscreen", "--no-such-option" } << 1 << ""
        << "no-such-option";
}

void TestStartup::withoutDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, outContains);
    QFETCH(QString, errContains);
    const Run run = runAudexa(arguments);
    QVERIFY2(run.out.contains(outContains), qPrintable(run.out));
    QVERIFY2(run.err.contains(errContains), qPrintable(run.err));
    QCOMPARE(run.status, status);
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
