#pragma once

#include <QString>
#include <memory>

#include "CliSupport.h"
#include "logbook/Logbook.h"
#include "logbook/LogbookWriter.h"
#include "settings/SettingsStore.h"
#include "shell/LogbookFeed.h"
#include "shell/Station.h"

// The season logbook in the headless program.
namespace orvanrx::cli {

// The logbook file: `option` when given, else logbook.sqlite in the data folder.
QString LogbookFileOf(const QString& option);

// Opens the logbook for a command; prints why on stderr when it cannot be opened.
std::unique_ptr<Logbook> OpenLogbookFor(const QString& option, Console& console);

// The receive-path commands (replay, log, record) store every race in the logbook as it is
// written: the writer (its own thread; on the first start it imports the data folder's race
// logs) and the feed between the poll loop and the command's own observer.
class LiveLogbook {
public:
    // Nothing is stored when `off`.
    LiveLogbook(const QString& option, bool off, const SettingsStore& settings, PollObserver& next);
    // The observer to give the station: the feed, or `next` itself when off.
    PollObserver& Observer();
    void Attach(const Station& station);
    // Waits for the writer and prints a warning when storing failed.
    void Finish(Console& console);

private:
    PollObserver& next_;
    std::unique_ptr<LogbookWriter> writer_;
    std::unique_ptr<LogbookFeed> feed_;
};

}  // namespace orvanrx::cli
