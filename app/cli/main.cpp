// orvanrx-cli: the receive path of OrvanRX without windows.

#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <memory>

#ifdef __GLIBC__
#include <malloc.h>
#endif

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

// Qt Gui looks up the user's runtime folder, which a script or a service often runs without;
// Qt's fallback serves, so its warning about the missing folder is left out. Every other
// message goes to stderr as usual.
void WithoutRuntimeDirWarning(QtMsgType type, const QMessageLogContext& context,
                              const QString& message) {
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) {
        return;
    }
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

}  // namespace

int main(int argc, char* argv[]) {
    orvanrx::TerminationSignals::Block();
    // export lays out text with real fonts and so needs Qt Gui; without a display it draws
    // offscreen. Every other command runs on Qt Core alone.
    const bool exporting = argc > 1 && std::strcmp(argv[1], "export") == 0;
    if (exporting) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        qInstallMessageHandler(WithoutRuntimeDirWarning);
#ifdef __GLIBC__
        // The PDF writer grows a buffer for every page and frees it again, hundreds of times
        // for a long log; glibc would hand each one back to the system and fault it in anew.
        // Freed memory is kept instead (the process ends right after the export).
        mallopt(M_MMAP_THRESHOLD, 64 << 20);
        mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
    }
    const std::unique_ptr<QCoreApplication> app =
        exporting ? std::make_unique<QGuiApplication>(argc, argv)
                  : std::make_unique<QCoreApplication>(argc, argv);
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
                                 [&](const StatsOptions& o) { return RunStats(o, console); },
                                 [&](const ExportOptions& o) { return RunExport(o, console); },
                                 [&](const PitViewOptions& o) { return RunPitView(o, console); }},
                      ParseCommandLine(QCoreApplication::arguments()));
}
