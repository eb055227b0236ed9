#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

#include "export/LogExport.h"
#include "sim/RaceDayGenerator.h"
#include "weather/Air.h"

// The command line of orvanrx-cli, parsed apart from running it: ParseCommandLine only reads
// its arguments and touches nothing else (no file, device or setting), so it can be tested and
// fuzzed on its own.
namespace orvanrx::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// The pit view for one run: --pit-view [PORT] (8400 when no port is given; 0 takes any free
// port) and --listen ADDRESS (every address when not given).
struct PitViewStart {
    std::optional<quint16> port;
    QString listen;
};

// replay TRACE [--log FILE] [--image FILE] [--timeslip FILE] [--quiet]
//              [--pit-view [PORT] [--listen ADDRESS] [--tick-ms N]]
struct ReplayOptions {
    QString trace;
    QString logFile;  // empty: this start's file in the data folder
    QString imageFile;
    QString timeSlipFile;
    bool quiet = false;
    PitViewStart pitView;
    int tickMs = 30;         // with the pit view: the ticks' pace, 1..1000 ms
    QString logbook;         // empty: the logbook in the data folder
    bool noLogbook = false;  // --no-logbook: store nothing in a logbook
};

// log [--log FILE] [--quiet] [--pit-view [PORT] [--listen ADDRESS]];
// record TRACE [--log FILE] [--quiet]
struct LogOptions {
    bool record = false;
    QString trace;  // record only
    QString logFile;
    bool quiet = false;
    PitViewStart pitView;
    QString logbook;
    bool noLogbook = false;
};

// pit-view key [--new]
struct PitViewOptions {
    bool renew = false;
};

// simulate [--races N] [--seed S] [--noise P] [--venue-change], checked: races 0..10000,
// noise a number from 0 to 0.9.
// simulate --weather FILE [--logbook FILE] [--cars N] [--events N] [--seed S]: a season of
// days at three tracks whose ETs follow the air; the races go into the logbook, the weather
// station's samples into FILE.
struct SimulateOptions {
    RaceDayOptions day;
    QString weatherFile;  // not empty: a season rather than a day's trace
    QString logbook;
    int cars = 40;
    int events = 6;
};

// settings get KEY NAME; settings set KEY NAME VALUE [--dword]
struct SettingsOptions {
    bool set = false;
    QString key;
    QString name;
    QString value;
    bool dword = false;
};

// stats LOG [--car N [--vs M]] [--csv]
// stats --logbook [FILE] [--track T] [--since D] [--until D] [--eliminations] [--car N [--vs M]]
struct StatsOptions {
    QString log;
    QString car;  // empty: every car
    QString vs;   // with car: the other car of a head-to-head table
    bool csv = false;
    bool season = false;  // --logbook: the races of the logbook rather than one log
    QString logbook;      // with season: the logbook file (empty: the data folder's)
    QString track;        // with season: only this track
    QString since;        // with season: first day, YYYY-MM-DD
    QString until;        // with season: last day, YYYY-MM-DD
    bool eliminations = false;
};

// logbook import PATH... [--track NAME]; logbook export FILE.csv; logbook backup FILE; each
// with [--logbook FILE].
struct LogbookOptions {
    enum class Action { Import, Export, Backup };
    Action action = Action::Import;
    QStringList paths;  // import: files and folders; export, backup: the file to write
    QString track;
    QString logbook;  // empty: the logbook in the data folder
};

// weather add (--temp-f F | --temp-c C) (--humidity H | --dew-point-f D | --dew-point-c D)
//   (--baro-inhg P | --baro-hpa P) [--track-temp-f T | --track-temp-c T] [--time TIME];
// weather import FILE.csv; each with [--logbook FILE].
struct WeatherOptions {
    enum class Action { Add, Import };
    Action action = Action::Add;
    air::WeatherSample sample;  // add: the time empty when it is now
    QString file;               // import
    QString logbook;
};

// predict --car N [--at "YYYY-MM-DD HH:MM:SS"] [--csv] [--logbook FILE]
struct PredictOptions {
    QString car;
    QString at;  // empty: now
    bool csv = false;
    QString logbook;
};

// export LOG OUT: the format from OUT's extension.
struct ExportOptions {
    QString log;
    QString out;
    ExportFormat format = ExportFormat::Xml;
};

// The program ends without running a command: help or version (exit 0, text for stdout), or
// a usage error (exit 2, the reason and the usage for stderr).
struct EarlyExit {
    int code = kExitOk;
    QString out;
    QString err;
};

using Invocation = std::variant<EarlyExit, ReplayOptions, LogOptions, SimulateOptions,
                                SettingsOptions, StatsOptions, ExportOptions, PitViewOptions,
                                LogbookOptions, WeatherOptions, PredictOptions>;

// `arguments` as main() has them: [0] is the program, [1] the command.
Invocation ParseCommandLine(const QStringList& arguments);

}  // namespace orvanrx::cli
