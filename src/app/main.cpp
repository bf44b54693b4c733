#include "app/ui/tfrmabout.h"
#include "app/ui/tfrmmain.h"
#include "app/version.h"
#include "base/appfolders.h"
#include "base/clock.h"
#include "base/ui/prompts.h"
#include "graph/ui/realtimecontroller.h"
#include "meter/hidmeterusb.h"
#include "meter/simulatedmeter.h"
#include "meter/ui/setupcommands.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <exception>
#include <memory>

namespace {

// Shows an error that escaped an event handler in the standard error box instead of ending
// the program.
class Application : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception &error) {
            QMessageBox::critical(nullptr, QString::fromLatin1(Prompts::Caption),
                                  QString::fromLocal8Bit(error.what()));
        } catch (...) {
            QMessageBox::critical(nullptr, QString::fromLatin1(Prompts::Caption),
                                  QStringLiteral("Unknown error"));
        }
        return false;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Audexa"));
    // No display name: Qt would add it to every caption ("Q7316 - [LEQ] \u2014 Q7316" when a
    // window is maximised), and each window's caption is already the whole caption.
    QApplication::setOrganizationName(QStringLiteral("KV519"));
    QApplication::setApplicationVersion(QLatin1String(AudexaVersion));
    QApplication::setDesktopFileName(QStringLiteral("audexa"));

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral(
        "Audexa: live reading, graphs and data logger of the Q7316 sound level meter."));
    options.addHelpOption();
    options.addVersionOption();
    const QCommandLineOption simulate(
        QStringLiteral("simulate-meter"),
        QStringLiteral("Run on a simulated meter instead of the USB device."));
    options.addOption(simulate);
    const QCommandLineOption fault(
        QStringLiteral("simulate-fault"),
        QStringLiteral("With --simulate-meter, a fault of the simulated meter, to see the "
                       "program's messages: %1. May be given more than once.")
            .arg(SimulatedMeterFaults::names().join(QStringLiteral(", "))),
        QStringLiteral("name"));
    options.addOption(fault);
    const QCommandLineOption service(
        QStringLiteral("service"),
        QStringLiteral("Service work: Data Logger > Setup also reads and writes single EEPROM "
                       "bytes of the meter, where it keeps its calibration."));
    options.addOption(service);
    // For measuring start-up time and memory from outside the process.
    const QCommandLineOption quitAfter(QStringLiteral("quit-after"),
                                       QStringLiteral("Quit <ms> milliseconds after start-up."),
                                       QStringLiteral("ms"));
    options.addOption(quitAfter);
    const QCommandLineOption record(
        QStringLiteral("record"),
        QStringLiteral("Start a real-time recording of <points> points at the saved sampling rate "
                       "as soon as the meter answers, for unattended surveys."),
        QStringLiteral("points"));
    options.addOption(record);
    options.process(app);
    int recordPoints = 0;
    if (options.isSet(record)) {
        bool ok = false;
        recordPoints = options.value(record).toInt(&ok);
        if (!ok || recordPoints <= 0) {
            std::fprintf(stderr, "audexa: --record needs a number of points from 1, not \"%s\"\n",
                         qPrintable(options.value(record)));
            return 2;
        }
    }

    // The splash screen: no title bar, and painted before start-up goes on. A window manager
    // maps a new window a little later, so the events run until it is on screen (at most
    // half a second).
    TfrmAbout splash;
    splash.setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    splash.hideOkButton();
    splash.setStatusText(QStringLiteral("Loading..."));
    splash.show();
    QElapsedTimer mapping;
    mapping.start();
    while (!(splash.windowHandle() && splash.windowHandle()->isExposed())
           && mapping.elapsed() < 500)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    splash.repaint();
    QApplication::processEvents();

    SystemClock clock;
    std::unique_ptr<MeterUsb> usb;
    if (options.isSet(simulate)) {
        auto meter = std::make_unique<SimulatedMeter>(
            clock, static_cast<quint32>(clock.now().toMSecsSinceEpoch()));
        // Like a meter whose clock has drifted, until Data Logger > Setup sets it.
        meter->setClockOffsetSeconds(-97);
        for (const QString &name : options.values(fault))
            if (!meter->faults().set(name)) {
                std::fprintf(stderr, "audexa: no simulated fault \"%s\"; the faults are: %s\n",
                             qPrintable(name),
                             qPrintable(SimulatedMeterFaults::names().join(QStringLiteral(", "))));
                return 2;
            }
        usb = std::move(meter);
    } else
        usb = std::make_unique<HidMeterUsb>();

    QtPrompts prompts;
    QSettings settings; // organisation "KV519", the program's settings key
    TfrmMain window(*usb, clock, prompts, settings, AppFolders::fromSystem());
    prompts.setParent(&window);
    window.setSplashScreen(&splash);
    window.setup().setServiceWork(options.isSet(service));
    // Without a window manager (a bare X server) maximising does nothing: fill the screen.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window.setGeometry(screen->availableGeometry());
    window.showMaximized();
    if (recordPoints > 0) {
        // Waits for the meter, then starts once.
        auto *waiting = new QTimer(&window);
        QObject::connect(waiting, &QTimer::timeout, &window, [&window, waiting, recordPoints] {
            if (window.realTime().recordUnattended(recordPoints))
                waiting->deleteLater();
        });
        waiting->start(200);
    }
    if (options.isSet(quitAfter))
        QTimer::singleShot(options.value(quitAfter).toInt(), &app, &QCoreApplication::quit);
    return app.exec();
}
