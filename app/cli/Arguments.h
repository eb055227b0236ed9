#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

#include "export/LogExport.h"
#include "sim/RaceDayGenerator.h"

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
    int tickMs = 30;  // with the pit view: the ticks' pace, 1..1000 ms
};

// log [--log FILE] [--quiet] [--pit-view [PORT] [--listen ADDRESS]];
// record TRACE [--log FILE] [--quiet]
struct LogOptions {
    bool record = false;
    QString trace;  // record only
    QString logFile;
    bool quiet = false;
    PitViewStart pitView;
};

// pit-view key [--new]
struct PitViewOptions {
    bool renew = false;
};

// simulate [--races N] [--seed S] [--noise P] [--venue-change], checked: races 0..10000,
// noise a number from 0 to 0.9.
struct SimulateOptions {
    RaceDayOptions day;
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
struct StatsOptions {
    QString log;
    QString car;  // empty: every car
    QString vs;   // with car: the other car of a head-to-head table
    bool csv = false;
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
                                SettingsOptions, StatsOptions, ExportOptions, PitViewOptions>;

// `arguments` as main() has them: [0] is the program, [1] the command.
Invocation ParseCommandLine(const QStringList& arguments);

}  // namespace orvanrx::cli
