#include "CliSupport.h"

#include "receiver/Receiver.h"
#include "shell/RaceText.h"

namespace orvanrx::cli {

std::optional<int> ParseArguments(QCommandLineParser& parser, const QStringList& args,
                                  int positionalCount, Console& console) {
    const QCommandLineOption help = parser.addHelpOption();
    if (!parser.parse(args)) {
        console.err << parser.errorText() << "\n\n" << parser.helpText();
        return kExitUsage;
    }
    if (parser.isSet(help)) {
        console.out << parser.helpText();
        return kExitOk;
    }
    if (parser.positionalArguments().size() != positionalCount) {
        console.err << "Expected " << positionalCount << " argument(s), got "
                    << parser.positionalArguments().size() << ".\n\n"
                    << parser.helpText();
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
    if (quiet_) {
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
    if (quiet_ || caption == caption_) {
        return;
    }
    caption_ = caption;
    console_.out << caption << '\n';
    console_.out.flush();
}

}  // namespace orvanrx::cli
