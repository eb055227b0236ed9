#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <optional>

#include "decoding/RunTables.h"
#include "receiver/StatusIndicators.h"
#include "shell/PollLoop.h"

namespace orvanrx::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Standard output and error of the headless program.
struct Console {
    QTextStream out{stdout};
    QTextStream err{stderr};
};

// Parses a subcommand's arguments (args[0] is the subcommand). Gives the exit code when the
// program should stop here: 0 after --help, 2 (usage on stderr) for unknown options or a
// wrong number of positional arguments.
std::optional<int> ParseArguments(QCommandLineParser& parser, const QStringList& args,
                                  int positionalCount, Console& console);

// Prints one line per race whose rows were written or rewritten.
class RacePrinter final : public PollObserver {
public:
    RacePrinter(Console& console, bool quiet) : console_(console), quiet_(quiet) {}
    void Attach(const RunTables& tables) { tables_ = &tables; }
    void RunTablesChanged() override;
    int RacesPrinted() const { return printed_; }

private:
    Console& console_;
    bool quiet_;
    const RunTables* tables_ = nullptr;
    int printed_ = 0;
};

// The status bar in words: prints when the receiver is opened or lost and when the channel
// changes. Silent when `quiet`.
class ConsoleIndicators final : public StatusIndicators {
public:
    ConsoleIndicators(Console& console, bool quiet) : console_(console), quiet_(quiet) {}
    void SetDevicePanelsActive(bool active) override;
    void SetChannelCaption(const QString& caption) override;

private:
    Console& console_;
    bool quiet_;
    bool active_ = false;
    QString caption_;
};

}  // namespace orvanrx::cli
