// orvanrx-cli: the receive path of OrvanRX without windows.

#include <QCoreApplication>

#include "Commands.h"
#include "shell/TerminationSignals.h"
#include "support/Support.h"

namespace {

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

}  // namespace

int main(int argc, char* argv[]) {
    orvanrx::TerminationSignals::Block();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvanrx-cli"));
    QCoreApplication::setApplicationVersion(orvanrx::AppVersionText().trimmed());

    using namespace orvanrx::cli;
    Console console;
    return std::visit(Overloaded{[&](const EarlyExit& exit) {
                                     console.out << exit.out;
                                     console.err << exit.err;
                                     return exit.code;
                                 },
                                 [&](const ReplayOptions& o) { return RunReplay(o, console); },
                                 [&](const LogOptions& o) { return RunLog(o, console); },
                                 [&](const SimulateOptions& o) { return RunSimulate(o, console); },
                                 [&](const SettingsOptions& o) { return RunSettings(o, console); },
                                 [&](const StatsOptions& o) { return RunStats(o, console); }},
                      ParseCommandLine(QCoreApplication::arguments()));
}
