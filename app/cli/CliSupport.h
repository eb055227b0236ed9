#pragma once

#include <QString>
#include <QTextStream>
#include <optional>

#include "decoding/RunTables.h"
#include "racelog/RaceLogFile.h"
#include "receiver/StatusIndicators.h"
#include "shell/PollLoop.h"

namespace orvanrx::cli {

// Standard output and error of the headless program.
struct Console {
    QTextStream out{stdout};
    QTextStream err{stderr};
};

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
// changes (nothing of that when `quiet`). The status text always comes out, on stderr: a
// warning line when race-log saves start failing ("orvanrx-cli: warning: Race log not saved:
// FILE: REASON"), and one when they work again ("orvanrx-cli: Race log saved again: FILE").
class ConsoleIndicators final : public StatusIndicators {
public:
    ConsoleIndicators(Console& console, bool quiet) : console_(console), quiet_(quiet) {}
    void SetDevicePanelsActive(bool active) override;
    void SetChannelCaption(const QString& caption) override;
    void SetStatusText(const QString& text) override;
    // The race-log file the "saved again" line names.
    void SetLogFileName(const QString& path) { logFileName_ = path; }

private:
    Console& console_;
    bool quiet_;
    bool active_ = false;
    QString caption_;
    QString statusText_;
    QString logFileName_;
};

// Reads the race-log file at `path` into `tables`. When that fails, prints why on stderr
// ("PATH: no such file.", or the race-log import message) and gives the exit code, 2.
std::optional<int> LoadRaceLogFile(const QString& path, RunTables& tables, Console& console);

// The closing line about the race log on stdout: where it was saved, or that there was none.
// A failed save says nothing more here: its warning is on stderr already.
void PrintSaveOutcome(const RaceLogSaveResult& saved, const QString& logFileName, Console& console);

}  // namespace orvanrx::cli
