#include <QCommandLineParser>

#include "Commands.h"
#include "sim/RaceDayGenerator.h"
#include "sim/TraceFile.h"

namespace orvanrx::cli {

int SimulateCommand(const QStringList& args, Console& console) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Prints a generated race day at the strip as a receiver trace."));
    const QCommandLineOption racesOption(QStringLiteral("races"),
                                         QStringLiteral("Number of races (default 10)."),
                                         QStringLiteral("N"), QStringLiteral("10"));
    const QCommandLineOption seedOption(QStringLiteral("seed"),
                                        QStringLiteral("Random seed (default 1)."),
                                        QStringLiteral("S"), QStringLiteral("1"));
    const QCommandLineOption noiseOption(
        QStringLiteral("noise"),
        QStringLiteral("Chance (0 to 0.9) that a reply is corrupted by the radio (default 0)."),
        QStringLiteral("P"), QStringLiteral("0"));
    const QCommandLineOption venueOption(QStringLiteral("venue-change"),
                                         QStringLiteral("Change the venue once during the day."));
    parser.addOptions({racesOption, seedOption, noiseOption, venueOption});
    if (const auto exit = ParseArguments(parser, args, 0, console)) {
        return *exit;
    }

    bool racesOk = false;
    bool seedOk = false;
    bool noiseOk = false;
    RaceDayOptions options;
    options.races = parser.value(racesOption).toInt(&racesOk);
    options.seed = parser.value(seedOption).toUInt(&seedOk);
    options.noise = parser.value(noiseOption).toDouble(&noiseOk);
    options.venueChange = parser.isSet(venueOption);
    if (!racesOk || options.races < 0 || options.races > 10000) {
        console.err << "--races takes a whole number from 0 to 10000.\n";
        return kExitUsage;
    }
    if (!seedOk) {
        console.err << "--seed takes a whole number from 0 to 4294967295.\n";
        return kExitUsage;
    }
    if (!noiseOk || options.noise < 0.0 || options.noise > 0.9) {
        console.err << "--noise takes a number from 0 to 0.9.\n";
        return kExitUsage;
    }

    const RaceDay day = GenerateRaceDay(options);
    console.out << QString::fromStdString(FormatTrace(day.steps));
    return kExitOk;
}

}  // namespace orvanrx::cli
