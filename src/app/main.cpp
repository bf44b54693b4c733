#include "app/ui/tfrmabout.h"
#include "app/ui/tfrmmain.h"
#include "base/version.h"
#include "base/appfolders.h"
#include "base/clock.h"
#include "base/ui/prompts.h"
#include "graph/realtimerecorder.h"
#include "graph/ui/realtimecontroller.h"
#include "leq/ui/leqcontroller.h"
#include "leq/ui/tfrmleq.h"
#include "meter/hidmeterusb.h"
#include "meter/simulatedmeter.h"
#include "meter/ui/setupcommands.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QWindow>

#include <algorithm>
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

// The program's options. Parsed twice: once before the window system is opened, so that --help
// and --version print without a display, then by the application with Qt's own options removed.
struct ProgramOptions
{
    QCommandLineParser parser;
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption simulate {
        QStringLiteral("simulate-meter"),
        QStringLiteral("Run on a simulated meter instead of the USB device.")
    };
    const QCommandLineOption fault {
        QStringLiteral("simulate-fault"),
        QStringLiteral("With --simulate-meter, a fault of the simulated meter, to see the "
                       "program's messages: %1. May be given more than once.")
            .arg(SimulatedMeterFaults::names().join(QStringLiteral(", "))),
        QStringLiteral("name")
    };
    const QCommandLineOption service {
        QStringLiteral("service"),
        QStringLiteral("Service work: Data Logger > Setup also reads and writes single EEPROM "
                       "bytes of the meter, where it keeps its calibration.")
    };
    // For measuring start-up time and memory from outside the process.
    const QCommandLineOption quitAfter { QStringLiteral("quit-after"),
                                         QStringLiteral("Quit <ms> milliseconds after start-up."),
                                         QStringLiteral("ms") };
    const QCommandLineOption record {
        QStringLiteral("record"),
        QStringLiteral("Start a real-time recording of <points> points (at most 10000000) at the "
                       "saved sampling rate as soon as the meter answers, for unattended surveys."),
        QStringLiteral("points")
    };

    const QCommandLineOption leq {
        QStringLiteral("leq"),
        QStringLiteral("Start an LEQ measurement of <seconds> (10, 60, 300, 600, 900, 1800, "
                       "3600, 28800 or 86400) as soon as the meter answers."),
        QStringLiteral("seconds")
    };

    ProgramOptions() { parser.addOptions({ simulate, fault, service, quitAfter, record, leq }); }

    // What --help says above the options, with where the user's guide is: so that one can see
    // whether an installed program finds it. Needs the application, for the program's folder.
    void describe()
    {
        const QString guide = AppFolders::fromSystem().helpFilePath();
        parser.setApplicationDescription(
            QStringLiteral("Audexa: live reading, graphs and data logger of the Q7316 sound level "
                           "meter.\nUser's guide: %1%2")
                .arg(QDir::toNativeSeparators(guide),
                     QFileInfo::exists(guide) ? QString() : QStringLiteral(" (missing)")));
    }

    // True when the arguments ask only for a text (--help or --version) and hold nothing the
    // parser does not know: unknown ones may be Qt's own, which only the application removes.
    // --help-all lists the window system's options too, so it is left to the application.
    bool printsOnly(int argc, char *argv[])
    {
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments.append(QString::fromLocal8Bit(argv[i]));
        return parser.parse(arguments) && (parser.isSet(help) || parser.isSet(version));
    }
};

void nameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("Audexa"));
    // No display name: Qt would add it to every caption ("Q7316 - [LEQ] \u2014 Q7316" when a
    // window is maximised), and each window's caption is already the whole caption.
    QCoreApplication::setOrganizationName(QStringLiteral("KV519"));
    QCoreApplication::setApplicationVersion(QLatin1String(AudexaVersion));
}

} // namespace

int main(int argc, char *argv[])
{
    ProgramOptions options;
    if (options.printsOnly(argc, argv)) {
        QCoreApplication text(argc, argv);
        nameApplication();
        options.describe();
        options.parser.process(text); // prints the help or the version, and exits
        return 0;
    }

    Application app(argc, argv);
    nameApplication();
    QApplication::setDesktopFileName(QLatin1String(AudexaDesktopId));
    options.describe();
    const QCommandLineParser &parser = options.parser;
    options.parser.process(app);
    int recordPoints = 0;
    if (parser.isSet(options.record)) {
        bool ok = false;
        recordPoints = parser.value(options.record).toInt(&ok);
        if (!ok || recordPoints <= 0 || recordPoints > RealTimeRecorder::MaxPoints) {
            std::fprintf(stderr,
                         "audexa: --record needs a number of points from 1 to %d, not \"%s\"\n",
                         RealTimeRecorder::MaxPoints, qPrintable(parser.value(options.record)));
            return 2;
        }
    }
    int leqSeconds = 0;
    if (parser.isSet(options.leq)) {
        leqSeconds = parser.value(options.leq).toInt();
        if (std::find(TfrmLEQ::DurationSeconds.begin(), TfrmLEQ::DurationSeconds.end(), leqSeconds)
            == TfrmLEQ::DurationSeconds.end()) {
            std::fprintf(stderr,
                         "audexa: --leq needs one of the LEQ window's durations in "
                         "seconds, not \"%s\"\n",
                         qPrintable(parser.value(options.leq)));
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
    if (parser.isSet(options.simulate)) {
        auto meter = std::make_unique<SimulatedMeter>(
            clock, static_cast<quint32>(clock.now().toMSecsSinceEpoch()));
        // Like a meter whose clock has drifted, until Data Logger > Setup sets it.
        meter->setClockOffsetSeconds(-97);
        for (const QString &name : parser.values(options.fault))
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
    window.setup().setServiceWork(parser.isSet(options.service));
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
    if (leqSeconds > 0) {
        auto *waiting = new QTimer(&window);
        QObject::connect(waiting, &QTimer::timeout, &window, [&window, waiting, leqSeconds] {
            if (window.leq().measureUnattended(leqSeconds))
                waiting->deleteLater();
        });
        waiting->start(200);
    }
    if (parser.isSet(options.quitAfter))
        QTimer::singleShot(parser.value(options.quitAfter).toInt(), &app, &QCoreApplication::quit);
    return app.exec();
}
