#pragma once

#include <QByteArray>
#include <QLatin1String>
#include <QString>

#include "decoding/RunTables.h"
#include "settings/SettingsStore.h"

namespace orvanrx {

// The race log on disk: a CSV text file, one line per row of AllRunsTable (two per race,
// left lane first), no header. Each line holds the 21 columns in table order; GeneralID and
// Bump..overund are bare, DateTime..Lane and win are in double quotes:
//
//   0,"2026-12-04 18:53:12","SUPER PRO","SP","1234","JOHN DOE","L",,9.50,0.512,...,0.0456,,"W"
//
// Lines end with CR LF. Cells are written as they stand, as 8-bit Latin-1 text (a character
// outside Latin-1 is written as "?"), except that a double quote inside a quoted cell is
// written doubled (JOE "BIG, RED" DOE as "JOE ""BIG, RED"" DOE") and read back as one; a log
// without quotes in its cells is written exactly as it always was.

// The caption and text of the message shown when a file cannot be imported.
inline constexpr QLatin1String kRaceLogImportCaption{"OrvanRX - Race Log Import"};
QString RaceLogImportErrorText();

// The file's bytes for rows 0..RightRow() of the table; empty for an empty table.
QByteArray RaceLogFileBytes(const RunTable& table);

enum class RaceLogSaveOutcome {
    Saved,          // the file holds the log
    NothingToSave,  // the log is empty: no file was created or touched
    Failed,         // the file could not be written: an earlier file stays as it was
};

struct RaceLogSaveResult {
    RaceLogSaveOutcome outcome = RaceLogSaveOutcome::NothingToSave;
    // Why it failed, in the system's words ("No space left on device"); empty otherwise.
    QString reason;
    explicit operator bool() const { return outcome == RaceLogSaveOutcome::Saved; }
};

// Writes AllRunsTable to path. The new file is written completely beside the old one and
// then takes its place, so a crash, a full disk or a pulled stick never leaves a truncated
// log; on any failure the old file stays as it was. After a successful write the path is
// stored as "LogFile" under "SOFTWARE\OrvanRX\LogFile\". Nothing is changed when the table
// is empty or the write failed; a failure gives its reason.
RaceLogSaveResult SaveRaceLog(const QString& path, const RunTables& tables,
                              const SettingsStore& settings);

// What the racer is told while saves fail: "Race log not saved: FILE: REASON", FILE with the
// system's separators.
QString RaceLogNotSavedText(const QString& path, const QString& reason);

enum class RaceLogLoadOutcome {
    NoFile,  // nothing at path: the tables are unchanged
    Loaded,  // AllRunsTable holds the file's races
    Failed,  // unreadable, or the file ends inside a race: the tables are reset
};

struct RaceLogLoadResult {
    RaceLogLoadOutcome outcome = RaceLogLoadOutcome::NoFile;
    // RaceLogImportErrorText() when Failed, else empty.
    QString errorText;
};

// Replaces the race log with the file at path (ResetRunTables first, then the file's rows
// into AllRunsTable). Rows are read with RaceLogItemReader, 21 items per row, a race at a
// time, until the end of the file or a race whose right row has an empty Category. Such a
// race ends the load and is dropped, unless it is the first race, which stays. A file that
// runs out inside a race (an odd number of lines, say) fails.
RaceLogLoadResult LoadRaceLog(const QString& path, RunTables& tables);

}  // namespace orvanrx
