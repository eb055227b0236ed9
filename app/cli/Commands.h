#pragma once

#include "Arguments.h"
#include "CliSupport.h"

// The subcommands of orvanrx-cli. Each runs with the options ParseCommandLine gave and gives
// the program's exit code.
namespace orvanrx::cli {

int RunReplay(const ReplayOptions& options, Console& console);
int RunLog(const LogOptions& options, Console& console);
int RunSimulate(const SimulateOptions& options, Console& console);
int RunSettings(const SettingsOptions& options, Console& console);
int RunStats(const StatsOptions& options, Console& console);
// Needs a QGuiApplication (fonts for the PDF pages and the Name column's width).
int RunExport(const ExportOptions& options, Console& console);
int RunPitView(const PitViewOptions& options, Console& console);

}  // namespace orvanrx::cli
