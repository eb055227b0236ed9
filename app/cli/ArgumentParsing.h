#pragma once

// What the parsers of orvanrx-cli's commands share, and the season's parsers kept in
// SeasonArguments.cpp (stats, logbook, weather, predict).

#include <QCommandLineParser>
#include <QStringList>
#include <optional>

#include "Arguments.h"

namespace orvanrx::cli {

// The command's help, its usage line naming "orvanrx-cli <command>".
QString HelpText(const QCommandLineParser& parser, const QString& command);
// A usage error: exit code 2 with `reason` on stderr.
EarlyExit Usage(const QString& reason);
// Parses a subcommand's arguments (args[0] is the subcommand; -1 positional arguments: any
// number, checked by the caller); the early exit when there is one.
std::optional<EarlyExit> Parse(QCommandLineParser& parser, const QStringList& args,
                               int positionalCount);
QCommandLineOption FileOption(const char* name, const char* description);

Invocation ParseStats(const QStringList& args);
Invocation ParseLogbook(const QStringList& args);
Invocation ParseWeather(const QStringList& args);
Invocation ParsePredict(const QStringList& args);

}  // namespace orvanrx::cli
