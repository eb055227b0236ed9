#include <QCoreApplication>
#include <QDir>
#include <QTimer>

#include "Commands.h"
#include "PitViewCommand.h"
#include "receiver/LibusbXpress.h"
#include "settings/SettingsStore.h"
#include "shell/DataFolder.h"
#include "shell/Station.h"
#include "shell/TerminationSignals.h"
#include "trace/TraceRecorder.h"
#include "trace/TraceWriter.h"

namespace orvanrx::cli {

namespace {

// Says "Searching for receiver..." whenever the loop starts searching, and once per search
// when a receiver is attached that this user may not open.
class SearchReporter {
public:
    SearchReporter(Console& console, const UsbXpress& usb) : console_(console), usb_(usb) {}

    void After(TickOutcome outcome) {
        const bool searching = outcome == TickOutcome::Searching;
        if (searching && !searching_) {
            console_.out << "Searching for receiver...\n";
            deniedReported_ = false;
        }
        if (searching && usb_.ReceiverAccessDenied() && !deniedReported_) {
            console_.out << "A receiver is attached, but this user may not open it. Install "
                            "packaging/70-orvanrx-receiver.rules and plug it in again; an "
                            "account not logged in at the seat also joins the group plugdev "
                            "(see README).\n";
            deniedReported_ = true;
        }
        if (searching != searching_) {
            console_.out.flush();
        }
        searching_ = searching;
    }

private:
    Console& console_;
    const UsbXpress& usb_;
    bool searching_ = false;
    bool deniedReported_ = false;
};

}  // namespace

int RunLog(const LogOptions& options, Console& console) {
    const bool record = options.record;
    const bool quiet = options.quiet;
    const SettingsStore settings = SettingsStore::ForCurrentUser();
    LibusbXpress usb;
    // With `record`, every call goes through the recorder, which writes what the receiver
    // says to the trace file as it happens.
    TraceFileWriter traceWriter;
    std::unique_ptr<RecordingXpress> recorder;
    if (record) {
        const QString& tracePath = options.trace;
        if (!traceWriter.Open(tracePath)) {
            console.err << traceWriter.ErrorString() << '\n';
            return kExitFailure;
        }
        recorder = std::make_unique<RecordingXpress>(usb, traceWriter.Sink());
        console.out << "Recording receiver trace: " << QDir::toNativeSeparators(tracePath) << '\n';
    }
    UsbXpress& device = recorder ? static_cast<UsbXpress&>(*recorder) : usb;
    ConsoleIndicators indicators(console, false);
    RacePrinter printer(console, quiet);
    const std::unique_ptr<PitViewService> pitView = MakePitView(options.pitView, printer, settings);
    PollObserver& observer = pitView ? pitView->Observer() : static_cast<PollObserver&>(printer);
    Station station(Station::Setup{device, settings, indicators, observer, SystemClock(),
                                   SteadyMilliseconds()});
    printer.Attach(station.Tables());
    SearchReporter searchReporter(console, usb);

    const QString logFile = !options.logFile.isEmpty()
                                ? options.logFile
                                : StartLogFileName(DataFolderBase(), station.Now());
    console.out << "Race log: " << QDir::toNativeSeparators(logFile) << '\n';
    indicators.SetLogFileName(logFile);
    station.Start(logFile);
    if (pitView && !StartPitView(*pitView, options.pitView, station.Tables(), console)) {
        station.Stop();
        return kExitFailure;
    }

    QTimer tmrMain;
    tmrMain.setInterval(PollLoop::kIntervalMs);
    QObject::connect(&tmrMain, &QTimer::timeout,
                     [&] { searchReporter.After(station.Loop().RunPollCycle()); });
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::Received, [&](int) {
        tmrMain.stop();
        QCoreApplication::quit();
    });
    tmrMain.start();
    QCoreApplication::exec();

    const RaceLogSaveResult saved = station.Stop();
    if (recorder) {
        recorder->Finish();
        traceWriter.Close();
        if (!traceWriter.Ok()) {
            console.err << traceWriter.ErrorString() << '\n';
        }
    }
    PrintSaveOutcome(saved, station.LogFileName(), console);
    return saved.outcome == RaceLogSaveOutcome::Failed ? kExitFailure : kExitOk;
}

}  // namespace orvanrx::cli
