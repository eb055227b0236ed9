#pragma once

#include <QDateTime>
#include <QString>

#include "support/Clock.h"

namespace orvanrx {

inline constexpr char kFolderNotValid[] = "Folder Not Valid";

// The folder that holds one race-log file per program start: `subFolder` below `base`,
// created (with any missing parents) when it does not exist. "Folder Not Valid" when `base`
// is empty or the folder cannot be created.
QString GetDataFolder(const QString& base, const QString& subFolder);

// The base of the data folder on this system: $XDG_DATA_HOME (default ~/.local/share) on
// Linux, the all-users application-data folder (%ProgramData%) on Windows.
QString DataFolderBase();

// This start's race-log file: the data folder (or, when that is not valid, the program's own
// folder), "/", LogFileStamp(now) and ".csv".
QString RaceLogFileName(const QString& dataFolder, const QString& programFolder,
                        const QDateTime& now);

// The data folder's name below its base.
inline constexpr char kDataSubFolder[] = "/OrvanRX";

// This start's race-log file, as both programs name it: RaceLogFileName of the data folder
// below `dataFolderBase` (GetDataFolder with kDataSubFolder, so created when missing), the
// program's own folder, and the time `now` answers.
QString StartLogFileName(const QString& dataFolderBase, const Clock& now);

}  // namespace orvanrx
