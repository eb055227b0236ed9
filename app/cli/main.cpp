// orvanrx-cli: the receive path of OrvanRX without windows.

#include <QCoreApplication>

#include "Commands.h"
#include "shell/TerminationSignals.h"
#include "support/Support.h"

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
    "\n"
    "'orvanrx-cli <command> --help' describes a command's options.\n";

}  // namespace

int main(int argc, char* argv[]) {
    orvanrx::TerminationSignals::Block();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvanrx-cli"));
    QCoreApplication::setApplicationVersion(orvanrx::AppVersionText().trimmed());

    orvanrx::cli::Console console;
    const QStringList args = QCoreApplication::arguments();
    const QString command = args.value(1);
    const QStringList commandArgs = args.mid(1);
    using namespace orvanrx::cli;
    if (command == QStringLiteral("replay")) {
        return ReplayCommand(commandArgs, console);
    }
    if (command == QStringLiteral("log")) {
        return LogCommand(commandArgs, console, false);
    }
    if (command == QStringLiteral("record")) {
        return LogCommand(commandArgs, console, true);
    }
    if (command == QStringLiteral("simulate")) {
        return SimulateCommand(commandArgs, console);
    }
    if (command == QStringLiteral("settings")) {
        return SettingsCommand(commandArgs, console);
    }
    if (command == QStringLiteral("stats")) {
        return StatsCommand(commandArgs, console);
    }
    if (command == QStringLiteral("--help") || command == QStringLiteral("-h")) {
        console.out << kUsage;
        return kExitOk;
    }
    if (command == QStringLiteral("--version")) {
        console.out << "orvanrx-cli" << orvanrx::AppVersionText() << '\n';
        return kExitOk;
    }
    console.err << (command.isEmpty() ? QStringLiteral("No command given.\n\n")
                                      : QStringLiteral("Unknown command '%1'.\n\n").arg(command))
                << kUsage;
    return kExitUsage;
}
