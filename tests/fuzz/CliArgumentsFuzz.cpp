// orvanrx-cli's command line: the input is the argument list, arguments separated by NUL
// bytes, each decoded as the system's 8-bit text the way main() gets them. ParseCommandLine
// must give either a command's options or an early exit, and:
//   - an early exit is help or version (exit 0, text for stdout, none for stderr) or a usage
//     error (exit 2, a reason for stderr, none for stdout);
//   - simulate's options are within what the generator takes (races 0..10000, noise 0..0.9);
//   - settings get has no value and no --dword;
//   - export's format is the one its output file's name asks for.

#include <QCoreApplication>

#include "Arguments.h"
#include "FuzzSupport.h"

// The parser's help text names the program from QCoreApplication's arguments, so the process
// needs its one application object, as orvanrx-cli has. It lives for the whole run.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication* const app = new QCoreApplication(*argc, *argv);
    (void)app;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvanrx::cli;
    QStringList arguments{QStringLiteral("orvanrx-cli")};
    for (const QByteArray& piece : orvanrx::fuzz::Bytes(data, size).split('\0')) {
        arguments.push_back(QString::fromLocal8Bit(piece));
    }
    const Invocation invocation = ParseCommandLine(arguments);
    if (const auto* exit = std::get_if<EarlyExit>(&invocation)) {
        FUZZ_CHECK(exit->code == kExitOk || exit->code == kExitUsage);
        if (exit->code == kExitOk) {
            FUZZ_CHECK(!exit->out.isEmpty() && exit->err.isEmpty());
        } else {
            FUZZ_CHECK(exit->out.isEmpty() && !exit->err.isEmpty());
        }
    } else if (const auto* simulate = std::get_if<SimulateOptions>(&invocation)) {
        FUZZ_CHECK(simulate->day.races >= 0 && simulate->day.races <= 10000);
        FUZZ_CHECK(simulate->day.noise >= 0.0 && simulate->day.noise <= 0.9);
    } else if (const auto* settings = std::get_if<SettingsOptions>(&invocation)) {
        FUZZ_CHECK(settings->set || (settings->value.isEmpty() && !settings->dword));
    } else if (const auto* exported = std::get_if<ExportOptions>(&invocation)) {
        FUZZ_CHECK(orvanrx::ExportFormatOf(exported->out) == exported->format);
    }
    return 0;
}
