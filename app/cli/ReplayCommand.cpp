#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <QTimer>

#include "Commands.h"
#include "PitViewCommand.h"
#include "decoding/TimeSlipText.h"
#include "settings/SettingsStore.h"
#include "shell/DataFolder.h"
#include "shell/Replay.h"
#include "shell/TerminationSignals.h"
#include "trace/TraceFile.h"

namespace orvanrx::cli {

namespace {

// "line N: reason" from the trace reader becomes "TRACE:N: reason".
QString TraceError(const QString& path, const std::string& error) {
    const QString text = QString::fromStdString(error);
    const QRegularExpression lineError(QStringLiteral("^line (\\d+): (.*)$"));
    const auto match = lineError.match(text);
    if (match.hasMatch()) {
        return path + u':' + match.captured(1) + QStringLiteral(": ") + match.captured(2);
    }
    return path + QStringLiteral(": ") + text;
}

bool WriteFile(const QString& path, const QByteArray& bytes, Console& console) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        console.err << "Cannot write " << path << ": " << file.errorString() << '\n';
        return false;
    }
    return true;
}

// The replay with the pit view: ticks at the given pace from the event loop, so that the
// server answers phones between them; after the trace the pit view keeps serving until
// Ctrl-C or SIGTERM.
ReplayStats RunPacedReplay(Station& station, const SimulatedXpress& sim, int tickMs,
                           Console& console) {
    ReplayStats stats;
    int searching = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(tickMs);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (sim.TraceExhausted() || stats.receiverNeverFound) {
            return;
        }
        const TickOutcome outcome = station.Loop().RunPollCycle();
        ++stats.ticks;
        stats.dataReplies += outcome == TickOutcome::DataStored ? 1 : 0;
        searching = outcome == TickOutcome::Searching ? searching + 1 : 0;
        stats.receiverNeverFound = searching >= kReplaySearchLimitTicks;
        if (sim.TraceExhausted() || stats.receiverNeverFound) {
            tick.stop();
            console.out << "Trace replayed; the pit view serves on until Ctrl-C.\n";
            console.out.flush();
        }
    });
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::Received, [&](int) {
        tick.stop();
        QCoreApplication::quit();
    });
    tick.start();
    QCoreApplication::exec();
    return stats;
}

}  // namespace

int RunReplay(const ReplayOptions& options, Console& console) {
    const QString& tracePath = options.trace;
    TraceReadResult trace = ReadTraceFile(tracePath);
    if (!trace.Ok()) {
        console.err << TraceError(tracePath, trace.error) << '\n';
        return kExitUsage;
    }

    const bool quiet = options.quiet;
    const SettingsStore settings = SettingsStore::ForCurrentUser();
    SimulatedXpress sim(std::move(trace.steps));
    ConsoleIndicators indicators(console, true);
    RacePrinter printer(console, quiet);
    const std::unique_ptr<PitViewService> pitView = MakePitView(options.pitView, printer, settings);
    PollObserver& observer = pitView ? pitView->Observer() : static_cast<PollObserver&>(printer);
    Station station(
        Station::Setup{sim, settings, indicators, observer, SystemClock(), sim.Clock()});
    printer.Attach(station.Tables());

    const QString logFile = !options.logFile.isEmpty()
                                ? options.logFile
                                : StartLogFileName(DataFolderBase(), station.Now());
    indicators.SetLogFileName(logFile);
    station.Start(logFile);
    if (pitView && !StartPitView(*pitView, options.pitView, station.Tables(), console)) {
        station.Stop();
        return kExitFailure;
    }
    const ReplayStats stats = pitView ? RunPacedReplay(station, sim, options.tickMs, console)
                                      : RunUntilTraceEnds(station, sim);
    const RaceLogSaveResult saved = station.Stop();

    int exitCode = kExitOk;
    if (!options.imageFile.isEmpty()) {
        const auto bytes = station.Buffer().Bytes();
        const QByteArray image(reinterpret_cast<const char*>(bytes.data()),
                               static_cast<qsizetype>(bytes.size()));
        exitCode = WriteFile(options.imageFile, image, console) ? exitCode : kExitFailure;
    }
    if (!options.timeSlipFile.isEmpty()) {
        const QString slip = TimeSlipText(station.Buffer()).value_or(QString());
        exitCode =
            WriteFile(options.timeSlipFile, slip.toLatin1(), console) ? exitCode : kExitFailure;
    }

    if (stats.receiverNeverFound) {
        console.err << "The receiver of the trace never appeared; replay stopped after "
                    << stats.ticks << " ticks.\n";
        exitCode = kExitFailure;
    }
    console.out << stats.ticks << " ticks, " << stats.dataReplies << " data replies, "
                << printer.RacesPrinted() << " race updates.\n";
    PrintSaveOutcome(saved, station.LogFileName(), console);
    return saved.outcome == RaceLogSaveOutcome::Failed ? kExitFailure : exitCode;
}

}  // namespace orvanrx::cli
