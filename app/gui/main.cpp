// orvanrx: the desktop program.

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QMessageBox>
#include <QTextStream>
#include <cmath>
#include <memory>

#include "gui/ChildWindows.h"
#include "gui/SingleInstance.h"
#include "gui/ToolTable.h"
#include "gui/WeatherDesk.h"
#include "gui/frmMain.h"
#include "gui/frmPitView.h"
#include "logbook/Logbook.h"
#include "logbook/LogbookWriter.h"
#include "logbook/TrackNames.h"
#include "pitview/PitViewKey.h"
#include "pitview/PitViewService.h"
#include "print/PrintFonts.h"
#include "receiver/LibusbXpress.h"
#include "receiver/Receiver.h"
#include "settings/SettingsStore.h"
#include "shell/DataFolder.h"
#include "shell/LogbookFeed.h"
#include "shell/Station.h"
#include "shell/StationForwarders.h"
#include "shell/TerminationSignals.h"
#include "sim/DemoRaceDay.h"
#include "sim/SimulatedXpress.h"
#include "support/Support.h"
#include "trace/TraceFile.h"

namespace {

using namespace orvanrx;

constexpr int kExitUsage = 2;

// True when a receiver can be opened now (it is closed again at once).
bool ReceiverAttached(UsbXpress& usb) {
    StatusIndicators none;
    Receiver probe(usb, none, SteadyMilliseconds());
    const bool open = probe.OpenDevice();
    probe.CloseDevice();
    return open;
}

// A replay `speed` times faster than the 30 ms tick: so many poll cycles per timeout, at an
// interval the timer can keep (a few milliseconds at least).
struct ReplayPace {
    int cycles = 1;
    int intervalMs = PollLoop::kIntervalMs;
};

ReplayPace PaceFor(double speed) {
    ReplayPace pace;
    pace.cycles = std::max(1, static_cast<int>(std::ceil(speed / 10.0)));
    pace.intervalMs =
        std::max(1, static_cast<int>(std::lround(PollLoop::kIntervalMs * pace.cycles / speed)));
    return pace;
}

int UsageError(const QString& message) {
    QTextStream(stderr) << "orvanrx: " << message << '\n';
    return kExitUsage;
}

// The program's options. --help and --version answer on the terminal without a display.
struct Options {
    QCommandLineOption demo{
        QStringLiteral("demo"),
        QStringLiteral("Without a receiver attached, play an endless generated race day on a "
                       "simulated receiver, in real time.")};
    QCommandLineOption replay{
        QStringLiteral("replay"),
        QStringLiteral("Play the receiver trace TRACE through a simulated receiver."),
        QStringLiteral("TRACE")};
    QCommandLineOption speed{
        QStringLiteral("speed"),
        QStringLiteral("Play the trace N times faster than real time (default 1)."),
        QStringLiteral("N"), QStringLiteral("1")};
    QCommandLineOption pitView{
        QStringLiteral("pit-view"),
        QStringLiteral("Serve the pit view for phones on PORT (default 8400) for this start, "
                       "whatever Tools > Pit View... keeps."),
        QStringLiteral("PORT")};

    explicit Options(QCommandLineParser& parser) {
        parser.setApplicationDescription(QStringLiteral(
            "OrvanRX shows the races the track's timing system broadcasts, as the ORVAN01 USB "
            "Receiver picks them up: the race being run as a time slip, the day's race log, and "
            "the receiver's status."));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOptions({demo, replay, speed, pitView});
    }
};

void NameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("orvanrx"));
    QCoreApplication::setApplicationVersion(AppVersionText().trimmed());
}

// True when the command line asks only for the help or the version text.
bool AsksForHelpOrVersion(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "-h" || arg == "--help" || arg == "--help-all" || arg == "-?" || arg == "-v" ||
            arg == "--version") {
            return true;
        }
    }
    return false;
}

// "--pit-view" may come without its port: the default is put in for the parser.
QStringList WithPitViewPort(const QStringList& args) {
    QStringList out;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i) != QStringLiteral("--pit-view")) {
            out.append(args.at(i));
            continue;
        }
        bool number = false;
        args.value(i + 1).toUInt(&number);
        out.append(QStringLiteral("--pit-view=") +
                   (number ? args.at(++i) : QString::number(kDefaultPitViewPort)));
    }
    return out;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (AsksForHelpOrVersion(argc, argv)) {
        QCoreApplication terminal(argc, argv);
        NameApplication();
        QCommandLineParser parser;
        const Options options(parser);
        parser.process(terminal);  // prints the text and ends the program
    }
    TerminationSignals::Block();
    QApplication app(argc, argv);
    NameApplication();
    // No application display name: the desktop would append it to every caption
    // ("OrvanRX - About — OrvanRX"), and the captions already name the program.
    QApplication::setDesktopFileName(QStringLiteral("orvanrx"));
    UseFaceStandIns();
    // The desktop's theme icon when the program is installed, else the built-in pictures.
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/orvanrx-%1.png").arg(side), QSize(side, side));
    }
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("orvanrx"), icon));

    QCommandLineParser parser;
    const Options options(parser);
    parser.process(WithPitViewPort(QCoreApplication::arguments()));
    const QCommandLineOption& demoOption = options.demo;
    const QCommandLineOption& replayOption = options.replay;
    const QCommandLineOption& speedOption = options.speed;

    bool speedOk = false;
    const double speed = parser.value(speedOption).toDouble(&speedOk);
    if (!speedOk || !(speed > 0.0) || speed > 100000.0) {
        return UsageError(QStringLiteral("--speed wants a number above 0, not '%1'.")
                              .arg(parser.value(speedOption)));
    }
    if (parser.isSet(speedOption) && !parser.isSet(replayOption)) {
        return UsageError(QStringLiteral("--speed goes with --replay."));
    }
    quint16 pitViewPort = 0;
    if (parser.isSet(options.pitView) &&
        (!ParsePitViewPort(parser.value(options.pitView), pitViewPort) || pitViewPort == 0)) {
        return UsageError(QStringLiteral("--pit-view wants a port from 1 to 65535, not '%1'.")
                              .arg(parser.value(options.pitView)));
    }
    if (parser.isSet(demoOption) && parser.isSet(replayOption)) {
        return UsageError(QStringLiteral("--demo and --replay do not go together."));
    }
    std::vector<trace::Step> replaySteps;
    if (parser.isSet(replayOption)) {
        TraceReadResult trace = ReadTraceFile(parser.value(replayOption));
        if (!trace.Ok()) {
            return UsageError(QString::fromStdString(trace.error));
        }
        replaySteps = std::move(trace.steps);
    }

    // One copy per user; a second one ends here, before the receiver or the settings (also
    // when it is told to end while its message is up).
    TerminationSignals termination;
    SingleInstance instance;
    if (!instance.Acquire()) {
        ShowPreviousInstanceMessage(termination);
        return 0;
    }

    LibusbXpress realReceiver;
    std::unique_ptr<SimulatedXpress> simulated;
    std::unique_ptr<DemoRaceDay> demo;
    if (parser.isSet(replayOption)) {
        simulated = std::make_unique<SimulatedXpress>(std::move(replaySteps));
    } else if (parser.isSet(demoOption) && !ReceiverAttached(realReceiver)) {
        demo = std::make_unique<DemoRaceDay>(
            static_cast<std::uint32_t>(QDateTime::currentSecsSinceEpoch()));
        simulated = std::make_unique<SimulatedXpress>(demo->NextDay());
    }
    UsbXpress& usb = simulated ? static_cast<UsbXpress&>(*simulated) : realReceiver;

    const SettingsStore settings = SettingsStore::ForCurrentUser();
    // The station first, on forwarders the main window then points at its status bar and its
    // child windows: nothing in the window is half built when the station needs it. Every race
    // also goes into the season logbook, on the writer's own thread (which, on the first start,
    // imports the race logs already in the data folder).
    StationForwarders forwarders;
    // The pit view hears the poll loop's news (after the logbook feed) and passes it on to
    // the windows.
    PitViewService pitView(forwarders.observer, settings);
    const QString dataFolder = GetDataFolder(DataFolderBase(), QString::fromLatin1(kDataSubFolder));
    std::unique_ptr<LogbookWriter> logbookWriter;
    std::unique_ptr<LogbookFeed> logbookFeed;
    if (dataFolder != QLatin1String(kFolderNotValid)) {
        logbookWriter = std::make_unique<LogbookWriter>(
            LogbookWriter::Setup{LogbookPath(dataFolder), dataFolder,
                                 [&settings](int venue) { return TrackNameOf(settings, venue); }});
        logbookFeed = std::make_unique<LogbookFeed>(pitView.Observer(), *logbookWriter);
    }
    Station station(
        Station::Setup{usb, settings, forwarders.indicators,
                       logbookFeed ? static_cast<PollObserver&>(*logbookFeed) : pitView.Observer(),
                       SystemClock(), simulated ? simulated->Clock() : SteadyMilliseconds()});
    if (logbookFeed) {
        logbookFeed->Attach(station);
    }
    frmMain window(station, forwarders, settings);
    window.SetCommand(QStringLiteral("miPitView"), [&] {
        frmPitView dialog(pitView, settings, &window);
        dialog.exec();
    });
    if (logbookWriter) {
        window.Windows().SetLogbookPath(LogbookPath(dataFolder));
    }
    if (demo) {
        window.SetAfterCycle([&](TickOutcome) { demo->TopUp(*simulated); });
        window.ShowSimulatedReceiver(QStringLiteral("Demo"));
    }
    if (parser.isSet(replayOption)) {
        window.ShowSimulatedReceiver(QStringLiteral("Replay"));
        const ReplayPace pace = PaceFor(speed);
        window.SetCyclesPerTimeout(pace.cycles);
        window.tmrMain().setInterval(pace.intervalMs);
    }

    // Logout, shutdown or Ctrl-C: the same orderly end as closing the window.
    QObject::connect(&termination, &TerminationSignals::Received, &window, [&window](int) {
        // An open dialog closes first (as Cancel would), so its own event loop ends.
        for (int i = 0; i < 10 && QApplication::activeModalWidget() != nullptr; ++i) {
            QApplication::activeModalWidget()->hide();
        }
        QMetaObject::invokeMethod(&window, &QWidget::close, Qt::QueuedConnection);
    });

    window.Load(DataFolderBase());
    // The weather: the air panel, Tools > Weather... and the fetching, on the logbook.
    std::unique_ptr<WeatherDesk> weather;
    if (logbookWriter) {
        weather = std::make_unique<WeatherDesk>(
            WeatherDesk::Parts{window.StatusBar(), settings, LogbookPath(dataFolder),
                               [&station] { return static_cast<int>(station.CurrentVenue()); }});
        window.SetCommand(QLatin1String(tool::miWeather), [&] { weather->ShowDialog(&window); });
    }
    pitView.Attach(station.Tables());
    // The option turns the pit view on for this start (it is the racer's answer to listening
    // on the network); otherwise it runs when the dialog left it on.
    if (parser.isSet(options.pitView) || ReadPitViewEnabled(settings)) {
        const quint16 port =
            parser.isSet(options.pitView) ? pitViewPort : ReadPitViewPort(settings);
        if (pitView.Start(port)) {
            QTextStream(stdout) << "Pit view: " << pitView.Address() << '\n';
        } else {
            QTextStream(stderr) << "orvanrx: pit view: cannot listen on port " << port << ": "
                                << pitView.ErrorString() << '\n';
        }
    }
    window.show();
    return QApplication::exec();
}
