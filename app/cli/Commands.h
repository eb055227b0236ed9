#pragma once

#include <QStringList>

#include "CliSupport.h"

// The subcommands of orvanrx-cli. Each takes its arguments (args[0] is the subcommand's
// name) and gives the program's exit code.
namespace orvanrx::cli {

int ReplayCommand(const QStringList& args, Console& console);
int LogCommand(const QStringList& args, Console& console, bool record);
int SimulateCommand(const QStringList& args, Console& console);
int SettingsCommand(const QStringList& args, Console& console);
int StatsCommand(const QStringList& args, Console& console);

}  // namespace orvanrx::cli
