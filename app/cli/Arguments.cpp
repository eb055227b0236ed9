#include "Arguments.h"

#include "ArgumentParsing.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <cmath>
#include <optional>

#include <QHostAddress>

#include "pitview/PitViewKey.h"
#include "support/Support.h"

namespace orvanrx::cli {

namespace {

constexpr char kUsage[] =
    "Usage: orvanrx-cli <command> [options]\n"
    "\n"
    "Commands:\n"
    "  replay TRACE   replay a receiver trace through the receive path\n"
    "  log            log races from the attached receiver until Ctrl-C\n"
    "  record TRACE   like log, and record what the receiver says as a trace\n"
    "  simulate       print a generated race-day trace\n"
    "  settings       read or write a value of the settings store\n"
    "  stats LOG      statistics of a race log: per car, one car, head to head\n"
    "  export LOG OUT write a race log as XML, HTML, a workbook or PDF pages\n"
    "  pit-view key   print the pit view's access key ('--new' makes a new one)\n"
    "  logbook        import race logs into the season logbook, export it, back it up\n"
    "  weather        add a weather sample to the logbook, or import a station's log\n"
    "  predict        a car's next 1/4-mile ET, corrected to the air\n"
    "\n"
    "'orvanrx-cli <command> --help' describes a command's options.\n";

}  // namespace

// The parser's help names the program by the path it was started with; the usage line of a
// subcommand reads better as "orvanrx-cli <command>".
QString HelpText(const QCommandLineParser& parser, const QString& command) {
    QString text = parser.helpText();
    const qsizetype lineEnd = text.indexOf(u'\n');
    const QString usage = QStringLiteral("Usage: ") + QCoreApplication::arguments().value(0);
    if (text.startsWith(usage) && (lineEnd < 0 || usage.size() <= lineEnd)) {
        text.replace(0, usage.size(), QStringLiteral("Usage: orvanrx-cli ") + command);
    }
    return text;
}

EarlyExit Usage(const QString& reason) {
    return {kExitUsage, {}, reason};
}

// Parses a subcommand's arguments (args[0] is the subcommand; -1 positional arguments: any
// number, checked by the caller). Gives the early exit when
// there is one: help, an unknown option, a wrong number of positional arguments.
std::optional<EarlyExit> Parse(QCommandLineParser& parser, const QStringList& args,
                               int positionalCount) {
    const QCommandLineOption help = parser.addHelpOption();
    const QString command = args.value(0);
    if (!parser.parse(args)) {
        return Usage(parser.errorText() + QStringLiteral("\n\n") + HelpText(parser, command));
    }
    if (parser.isSet(help)) {
        return EarlyExit{kExitOk, HelpText(parser, command), {}};
    }
    if (positionalCount >= 0 && parser.positionalArguments().size() != positionalCount) {
        return Usage(QStringLiteral("Expected %1 argument(s), got %2.\n\n")
                         .arg(positionalCount)
                         .arg(parser.positionalArguments().size()) +
                     HelpText(parser, command));
    }
    return std::nullopt;
}

QCommandLineOption FileOption(const char* name, const char* description) {
    return QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(description),
                              QStringLiteral("FILE"));
}

namespace {

// "--pit-view" takes an optional port: "--pit-view 8500" and "--pit-view=8500" give that
// port, a bare "--pit-view" the default. The parser knows only options with a value, so a
// bare one is given the default here.
QStringList WithPitViewPort(const QStringList& args) {
    QStringList out;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QStringLiteral("--pit-view")) {
            const QString next = args.value(i + 1);
            bool number = false;
            next.toUInt(&number);
            if (number) {
                out.append(QStringLiteral("--pit-view=") + next);
                ++i;
            } else {
                out.append(QStringLiteral("--pit-view=%1").arg(kDefaultPitViewPort));
            }
            continue;
        }
        out.append(arg);
    }
    return out;
}

QList<QCommandLineOption> PitViewOptionsList() {
    return {QCommandLineOption(QStringLiteral("pit-view"),
                               QStringLiteral("Serve the pit view for phones on PORT (default "
                                              "8400; 0 takes any free port)."),
                               QStringLiteral("PORT")),
            QCommandLineOption(QStringLiteral("listen"),
                               QStringLiteral("With --pit-view: listen on ADDRESS only "
                                              "(default: every address)."),
                               QStringLiteral("ADDRESS"))};
}

// The pit view options once parsed; a usage error when the port or address is not one.
std::optional<EarlyExit> ReadPitViewStart(const QCommandLineParser& parser, PitViewStart& start) {
    if (parser.isSet(QStringLiteral("pit-view"))) {
        quint16 port = 0;
        if (!ParsePitViewPort(parser.value(QStringLiteral("pit-view")), port)) {
            return Usage(QStringLiteral("--pit-view takes a port from 0 to 65535.\n"));
        }
        start.port = port;
    }
    start.listen = parser.value(QStringLiteral("listen"));
    if (!start.listen.isEmpty()) {
        if (!start.port) {
            return Usage(QStringLiteral("--listen goes with --pit-view.\n"));
        }
        if (QHostAddress(start.listen).isNull()) {
            return Usage(QStringLiteral("--listen takes an IP address.\n"));
        }
    }
    return std::nullopt;
}

QCommandLineOption LogbookOption() {
    return FileOption("logbook",
                      "Store the races in the logbook FILE (default: logbook.sqlite in the data "
                      "folder).");
}

QCommandLineOption NoLogbookOption() {
    return QCommandLineOption(QStringLiteral("no-logbook"),
                              QStringLiteral("Store the races in no logbook."));
}

Invocation ParseReplay(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Replays a receiver trace through the whole receive path, as a start of the program "
        "would: settings restored, poll ticks back to back until the trace ends, then the "
        "race log saved and the receive memory kept for the next start."));
    parser.addPositionalArgument(QStringLiteral("TRACE"), QStringLiteral("The receiver trace."));
    const QCommandLineOption log = FileOption("log", "Write the race log to FILE.");
    const QCommandLineOption image =
        FileOption("image", "Write the final 32769-byte mirror to FILE.");
    const QCommandLineOption slip = FileOption("timeslip", "Write the final time slip to FILE.");
    const QCommandLineOption quiet(QStringLiteral("quiet"), QStringLiteral("Print no race lines."));
    const QCommandLineOption tickMs(
        QStringLiteral("tick-ms"),
        QStringLiteral("With --pit-view: one tick every N ms (1 to 1000, default 30); the pit "
                       "view keeps serving after the trace until Ctrl-C."),
        QStringLiteral("N"), QStringLiteral("30"));
    const QCommandLineOption logbook = LogbookOption();
    const QCommandLineOption noLogbook = NoLogbookOption();
    parser.addOptions({log, image, slip, quiet, tickMs, logbook, noLogbook});
    parser.addOptions(PitViewOptionsList());
    if (auto exit = Parse(parser, WithPitViewPort(args), 1)) {
        return *exit;
    }
    ReplayOptions options{parser.positionalArguments().constFirst(),
                          parser.value(log),
                          parser.value(image),
                          parser.value(slip),
                          parser.isSet(quiet),
                          {},
                          30,
                          parser.value(logbook),
                          parser.isSet(noLogbook)};
    if (auto exit = ReadPitViewStart(parser, options.pitView)) {
        return *exit;
    }
    bool tickOk = false;
    options.tickMs = parser.value(tickMs).toInt(&tickOk);
    if (!tickOk || options.tickMs < 1 || options.tickMs > 1000) {
        return Usage(QStringLiteral("--tick-ms takes a whole number from 1 to 1000.\n"));
    }
    return options;
}

Invocation ParseLog(const QStringList& args, bool record) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        record ? QStringLiteral("Logs races from the attached receiver, like 'log', and also "
                                "records what the receiver says as a trace for 'replay'.")
               : QStringLiteral("Logs races from the attached receiver until Ctrl-C or "
                                "SIGTERM, then saves the race log and the receive memory."));
    if (record) {
        parser.addPositionalArgument(QStringLiteral("TRACE"),
                                     QStringLiteral("The receiver trace to write."));
    }
    const QCommandLineOption log = FileOption("log", "Write the race log to FILE.");
    const QCommandLineOption quiet(QStringLiteral("quiet"), QStringLiteral("Print no race lines."));
    const QCommandLineOption logbook = LogbookOption();
    const QCommandLineOption noLogbook = NoLogbookOption();
    parser.addOptions({log, quiet, logbook, noLogbook});
    if (!record) {
        parser.addOptions(PitViewOptionsList());
    }
    if (auto exit = Parse(parser, record ? args : WithPitViewPort(args), record ? 1 : 0)) {
        return *exit;
    }
    LogOptions options{record,
                       record ? parser.positionalArguments().constFirst() : QString(),
                       parser.value(log),
                       parser.isSet(quiet),
                       {},
                       parser.value(logbook),
                       parser.isSet(noLogbook)};
    if (!record) {
        if (auto exit = ReadPitViewStart(parser, options.pitView)) {
            return *exit;
        }
    }
    return options;
}

Invocation ParseSimulate(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Prints a generated race day at the strip as a receiver trace."));
    const QCommandLineOption races(QStringLiteral("races"),
                                   QStringLiteral("Number of races (default 10)."),
                                   QStringLiteral("N"), QStringLiteral("10"));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Random seed (default 1)."), QStringLiteral("S"),
                                  QStringLiteral("1"));
    const QCommandLineOption noise(
        QStringLiteral("noise"),
        QStringLiteral("Chance (0 to 0.9) that a reply is corrupted by the radio (default 0)."),
        QStringLiteral("P"), QStringLiteral("0"));
    const QCommandLineOption venue(QStringLiteral("venue-change"),
                                   QStringLiteral("Change the venue once during the day."));
    const QCommandLineOption weather = FileOption(
        "weather",
        "Instead of a day's trace, make a season of days at three tracks of different heights "
        "whose ETs follow the air: its races go into the logbook, the weather station's samples "
        "into FILE (a CSV file 'weather import' reads).");
    const QCommandLineOption logbook =
        FileOption("logbook", "With --weather: the logbook FILE (default: the data folder's).");
    const QCommandLineOption cars(QStringLiteral("cars"),
                                  QStringLiteral("With --weather: cars, 2 to 2000 (default 40)."),
                                  QStringLiteral("N"), QStringLiteral("40"));
    const QCommandLineOption events(QStringLiteral("events"),
                                    QStringLiteral("With --weather: events, 1 to 60 (default 6)."),
                                    QStringLiteral("N"), QStringLiteral("6"));
    parser.addOptions({races, seed, noise, venue, weather, logbook, cars, events});
    if (auto exit = Parse(parser, args, 0)) {
        return *exit;
    }

    bool racesOk = false;
    bool seedOk = false;
    bool noiseOk = false;
    SimulateOptions options;
    options.day.races = parser.value(races).toInt(&racesOk);
    options.day.seed = parser.value(seed).toUInt(&seedOk);
    options.day.noise = parser.value(noise).toDouble(&noiseOk);
    options.day.venueChange = parser.isSet(venue);
    if (!racesOk || options.day.races < 0 || options.day.races > 10000) {
        return Usage(QStringLiteral("--races takes a whole number from 0 to 10000.\n"));
    }
    if (!seedOk) {
        return Usage(QStringLiteral("--seed takes a whole number from 0 to 4294967295.\n"));
    }
    // Written so that NaN ("nan" reads as a number) is refused too.
    if (!noiseOk || !(options.day.noise >= 0.0 && options.day.noise <= 0.9)) {
        return Usage(QStringLiteral("--noise takes a number from 0 to 0.9.\n"));
    }
    options.weatherFile = parser.value(weather);
    options.logbook = parser.value(logbook);
    bool carsOk = false;
    bool eventsOk = false;
    options.cars = parser.value(cars).toInt(&carsOk);
    options.events = parser.value(events).toInt(&eventsOk);
    if (options.weatherFile.isEmpty()) {
        for (const QCommandLineOption* o : {&logbook, &cars, &events}) {
            if (parser.isSet(*o)) {
                return Usage(
                    QStringLiteral("--%1 needs --weather.\n").arg(o->names().constFirst()));
            }
        }
    } else if (!carsOk || options.cars < 2 || options.cars > 2000) {
        return Usage(QStringLiteral("--cars takes a whole number from 2 to 2000.\n"));
    } else if (!eventsOk || options.events < 1 || options.events > 60) {
        return Usage(QStringLiteral("--events takes a whole number from 1 to 60.\n"));
    }
    return options;
}

Invocation ParseSettings(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Reads or writes one value of the settings store.\n"
                       "  settings get KEY NAME          prints the value, or \"No Key Value\"\n"
                       "  settings set KEY NAME VALUE    writes a text value (REG_SZ)\n"
                       "KEY is a key path such as 'SOFTWARE\\OrvanRX\\RaceLog\\Fields\\'."));
    parser.addPositionalArgument(QStringLiteral("get|set"), QStringLiteral("What to do."));
    parser.addPositionalArgument(QStringLiteral("KEY"), QStringLiteral("The key path."));
    parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("The value name."));
    parser.addPositionalArgument(QStringLiteral("[VALUE]"), QStringLiteral("For set."));
    const QCommandLineOption dword(QStringLiteral("dword"),
                                   QStringLiteral("Write the value as a number (REG_DWORD)."));
    parser.addOption(dword);

    // get takes 3 positional arguments, set 4.
    const bool isSet = args.size() > 1 && args.at(1) == QStringLiteral("set");
    if (auto exit = Parse(parser, args, isSet ? 4 : 3)) {
        return *exit;
    }
    const QStringList positional = parser.positionalArguments();
    const QString& action = positional.at(0);
    if (action == QStringLiteral("get")) {
        if (parser.isSet(dword)) {
            return Usage(QStringLiteral("--dword goes with set.\n"));
        }
        return SettingsOptions{false, positional.at(1), positional.at(2), {}, false};
    }
    if (action == QStringLiteral("set")) {
        return SettingsOptions{true, positional.at(1), positional.at(2), positional.at(3),
                               parser.isSet(dword)};
    }
    return Usage(QStringLiteral("Unknown settings action '%1': use get or set.\n\n").arg(action) +
                 parser.helpText());
}

Invocation ParseExport(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a race log as the race log window shows it right after opening the file: every "
        "race, newest first, grouped by category, with the window's columns (its defaults and "
        "the field choices kept in the settings). The format follows OUT's extension: .xml, "
        ".html, .xlsx or .pdf (landscape pages, as printed). An existing OUT is replaced."));
    parser.addPositionalArgument(QStringLiteral("LOG"), QStringLiteral("The race-log CSV file."));
    parser.addPositionalArgument(QStringLiteral("OUT"), QStringLiteral("The file to write."));
    if (auto exit = Parse(parser, args, 2)) {
        return *exit;
    }
    const QStringList positional = parser.positionalArguments();
    const std::optional<ExportFormat> format = ExportFormatOf(positional.at(1));
    if (!format) {
        return Usage(positional.at(1) +
                     QStringLiteral(": the name must end in .xml, .html, .xlsx or .pdf.\n"));
    }
    return ExportOptions{positional.at(0), positional.at(1), *format};
}

Invocation ParsePitView(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints the pit view's access key kept in the settings (one is made when there is "
        "none). The page's address is http://HOST:PORT/?key=KEY."));
    parser.addPositionalArgument(QStringLiteral("key"), QStringLiteral("What to print."));
    const QCommandLineOption renew(
        QStringLiteral("new"),
        QStringLiteral("Make and keep a new key first: addresses given out before stop working."));
    parser.addOption(renew);
    if (auto exit = Parse(parser, args, 1)) {
        return *exit;
    }
    if (parser.positionalArguments().constFirst() != QStringLiteral("key")) {
        return Usage(QStringLiteral("Unknown pit-view action '%1': use key.\n")
                         .arg(parser.positionalArguments().constFirst()));
    }
    return PitViewOptions{parser.isSet(renew)};
}

}  // namespace

Invocation ParseCommandLine(const QStringList& arguments) {
    const QString command = arguments.value(1);
    const QStringList args = arguments.mid(1);
    if (command == QStringLiteral("replay")) {
        return ParseReplay(args);
    }
    if (command == QStringLiteral("log") || command == QStringLiteral("record")) {
        return ParseLog(args, command == QStringLiteral("record"));
    }
    if (command == QStringLiteral("simulate")) {
        return ParseSimulate(args);
    }
    if (command == QStringLiteral("settings")) {
        return ParseSettings(args);
    }
    if (command == QStringLiteral("stats")) {
        return ParseStats(args);
    }
    if (command == QStringLiteral("export")) {
        return ParseExport(args);
    }
    if (command == QStringLiteral("pit-view")) {
        return ParsePitView(args);
    }
    if (command == QStringLiteral("logbook")) {
        return ParseLogbook(args);
    }
    if (command == QStringLiteral("weather")) {
        return ParseWeather(args);
    }
    if (command == QStringLiteral("predict")) {
        return ParsePredict(args);
    }
    if (command == QStringLiteral("--help") || command == QStringLiteral("-h")) {
        return EarlyExit{kExitOk, QString::fromLatin1(kUsage), {}};
    }
    if (command == QStringLiteral("--version")) {
        return EarlyExit{kExitOk, QStringLiteral("orvanrx-cli") + AppVersionText() + u'\n', {}};
    }
    return Usage((command.isEmpty() ? QStringLiteral("No command given.\n\n")
                                    : QStringLiteral("Unknown command '%1'.\n\n").arg(command)) +
                 QString::fromLatin1(kUsage));
}

}  // namespace orvanrx::cli
