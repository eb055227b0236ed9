#include "CliSupport.h"

#include <QCoreApplication>
#include <utility>

#include "receiver/Receiver.h"
#include "shell/RaceText.h"

namespace orvanrx::cli {

namespace {

// The parser's help names the program by the path it was started with; the usage line of a
// subcommand reads better as "orvanrx-cli <command>".
QString HelpText(const QCommandLineParser& parser, const QString& command) {
    QString text = parser.helpText();
    const qsizetype lineEnd = text.indexOf(u'\n');
    const QString usage = QStringLiteral("Usage: ") + QCoreApplication::arguments().value(0);
    if (text.startsWith(usage) && (lineEnd < 0 || usage.size() <= lineEnd)) {
        text.replace(0, usage.size(), QStringLiteral("Usage: orvanrx-cli ") + command);
    }
    return text;
}

}  // namespace

std::optional<int> ParseArguments(QCommandLineParser& parser, const QStringList& args,
                                  int positionalCount, Console& console) {
    const QCommandLineOption help = parser.addHelpOption();
    const QString command = args.value(0);
    if (!parser.parse(args)) {
        console.err << parser.errorText() << "\n\n" << HelpText(parser, command);
        return kExitUsage;
    }
    if (parser.isSet(help)) {
        console.out << HelpText(parser, command);
        return kExitOk;
    }
    if (parser.positionalArguments().size() != positionalCount) {
        console.err << "Expected " << positionalCount << " argument(s), got "
                    << parser.positionalArguments().size() << ".\n\n"
                    << HelpText(parser, command);
        return kExitUsage;
    }
    return std::nullopt;
}

void RacePrinter::RunTablesChanged() {
    ++printed_;
    if (quiet_ || !tables_) {
        return;
    }
    const RunTable& all = tables_->AllRunsTable();
    console_.out << RaceLine(all, all.LeftRow()) << '\n';
    console_.out.flush();
}

void ConsoleIndicators::SetDevicePanelsActive(bool active) {
    const bool wasActive = std::exchange(active_, active);
    if (quiet_ || active == wasActive) {
        return;
    }
    if (active) {
        console_.out << "Receiver opened: " << kReceiverProductText << '\n';
    } else {
        console_.out << "Receiver closed.\n";
    }
    console_.out.flush();
}

void ConsoleIndicators::SetChannelCaption(const QString& caption) {
    // Only a receiver that is open has a channel worth reporting.
    if (quiet_ || !active_ || caption == caption_) {
        return;
    }
    caption_ = caption;
    console_.out << caption << '\n';
    console_.out.flush();
}

}  // namespace orvanrx::cli
