#include "CliSupport.h"

#include <QDir>
#include <utility>

#include "Arguments.h"
#include "receiver/Receiver.h"
#include "shell/RaceText.h"

namespace orvanrx::cli {

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

void ConsoleIndicators::SetStatusText(const QString& text) {
    const QString previous = std::exchange(statusText_, text);
    if (text == previous) {
        return;
    }
    if (!text.isEmpty()) {
        console_.err << "orvanrx-cli: warning: " << text << '\n';
    } else {
        console_.err << "orvanrx-cli: Race log saved again: "
                     << QDir::toNativeSeparators(logFileName_) << '\n';
    }
    console_.err.flush();
}

void PrintSaveOutcome(const RaceLogSaveResult& saved, const QString& logFileName,
                      Console& console) {
    if (saved.outcome == RaceLogSaveOutcome::Saved) {
        console.out << "Race log: " << QDir::toNativeSeparators(logFileName) << '\n';
    } else if (saved.outcome == RaceLogSaveOutcome::NothingToSave) {
        console.out << "No races logged; no race log written.\n";
    }
    console.out.flush();
}

std::optional<int> LoadRaceLogFile(const QString& path, RunTables& tables, Console& console) {
    const RaceLogLoadResult load = LoadRaceLog(path, tables);
    if (load.outcome == RaceLogLoadOutcome::NoFile) {
        console.err << path << ": no such file.\n";
        return kExitUsage;
    }
    if (load.outcome == RaceLogLoadOutcome::Failed) {
        console.err << QString(load.errorText).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                    << '\n';
        return kExitUsage;
    }
    return std::nullopt;
}

}  // namespace orvanrx::cli
