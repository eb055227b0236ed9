#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "logbook/Logbook.h"

// Race-log files into the logbook: each file read as the open command reads it (LoadRaceLog),
// its races stored with the file as their source. A file is in wholly or not at all: files
// share a transaction, and when the logbook refuses one, the others are stored again each in
// a transaction of its own.
namespace orvanrx {

struct ImportReport {
    int filesRead = 0;
    int races = 0;       // races read from the files
    int inserted = 0;    // new in the logbook
    int updated = 0;     // stored races completed by a fuller copy
    int duplicates = 0;  // already there (also: unchanged)
    int notRuns = 0;     // pairs without a single value
    // "FILE: reason" for every file that is not in: missing, unreadable, not a race log, or
    // the logbook refused it.
    QStringList skipped;
};

// The race-log files named: files as they are, folders by their *.csv files (not their
// sub-folders), in order of name. A path that does not exist is kept, so the import names it.
QStringList RaceLogFilesIn(const QStringList& paths);

// Imports the files; `track` names the track of their races when the logbook does not know it
// yet (empty: left unknown). `progress(done, total)` is called after each file.
ImportReport ImportRaceLogs(Logbook& logbook, const QStringList& files, const QString& track,
                            const std::function<void(int, int)>& progress = {});

}  // namespace orvanrx
