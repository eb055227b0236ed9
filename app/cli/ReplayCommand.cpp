#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "Commands.h"
#include "decoding/TimeSlipText.h"
#include "settings/SettingsStore.h"
#include "shell/DataFolder.h"
#include "shell/Replay.h"
#include "sim/TraceFile.h"

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

}  // namespace

int ReplayCommand(const QStringList& args, Console& console) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Replays a receiver trace through the whole receive path, as a start of the program "
        "would: settings restored, poll ticks back to back until the trace ends, then the "
        "race log saved and the receive memory kept for the next start."));
    parser.addPositionalArgument(QStringLiteral("TRACE"), QStringLiteral("The receiver trace."));
    const QCommandLineOption logOption(QStringLiteral("log"),
                                       QStringLiteral("Write the race log to FILE."),
                                       QStringLiteral("FILE"));
    const QCommandLineOption imageOption(
        QStringLiteral("image"), QStringLiteral("Write the final 32769-byte mirror to FILE."),
        QStringLiteral("FILE"));
    const QCommandLineOption slipOption(QStringLiteral("timeslip"),
                                        QStringLiteral("Write the final time slip to FILE."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption quietOption(QStringLiteral("quiet"),
                                         QStringLiteral("Print no race lines."));
    parser.addOptions({logOption, imageOption, slipOption, quietOption});
    if (const auto exit = ParseArguments(parser, args, 1, console)) {
        return *exit;
    }

    const QString tracePath = parser.positionalArguments().constFirst();
    TraceReadResult trace = ReadTraceFile(tracePath);
    if (!trace.Ok()) {
        console.err << TraceError(tracePath, trace.error) << '\n';
        return kExitUsage;
    }

    const bool quiet = parser.isSet(quietOption);
    const SettingsStore settings = SettingsStore::ForCurrentUser();
    SimulatedXpress sim(std::move(trace.steps));
    ConsoleIndicators indicators(console, true);
    RacePrinter printer(console, quiet);
    Station station(Station::Setup{sim, settings, indicators, printer, SystemClock(), sim.Clock()});
    printer.Attach(station.Tables());

    const QString logFile =
        parser.isSet(logOption)
            ? parser.value(logOption)
            : RaceLogFileName(GetDataFolder(DataFolderBase(), QStringLiteral("/OrvanRX")),
                              QCoreApplication::applicationDirPath(), QDateTime::currentDateTime());
    station.Start(logFile);
    const ReplayStats stats = RunUntilTraceEnds(station, sim);
    const bool saved = station.Stop();

    int exitCode = kExitOk;
    if (parser.isSet(imageOption)) {
        const auto bytes = station.Buffer().Bytes();
        const QByteArray image(reinterpret_cast<const char*>(bytes.data()),
                               static_cast<qsizetype>(bytes.size()));
        exitCode = WriteFile(parser.value(imageOption), image, console) ? exitCode : kExitFailure;
    }
    if (parser.isSet(slipOption)) {
        const QString slip = TimeSlipText(station.Buffer()).value_or(QString());
        exitCode =
            WriteFile(parser.value(slipOption), slip.toLatin1(), console) ? exitCode : kExitFailure;
    }

    if (stats.receiverNeverFound) {
        console.err << "The receiver of the trace never appeared; replay stopped after "
                    << stats.ticks << " ticks.\n";
        exitCode = kExitFailure;
    }
    console.out << stats.ticks << " ticks, " << stats.dataReplies << " data replies, "
                << printer.RacesPrinted() << " race updates.\n";
    if (saved) {
        console.out << "Race log: " << QDir::toNativeSeparators(station.LogFileName()) << '\n';
    } else {
        console.out << "No races logged; no race log written.\n";
    }
    return exitCode;
}

}  // namespace orvanrx::cli
