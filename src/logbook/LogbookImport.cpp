#include "logbook/LogbookImport.h"

#include <QDir>
#include <QFileInfo>

#include "racelog/RaceLogFile.h"

namespace orvanrx {

using enum RunColumn;

namespace {

// A file LoadRaceLog reads may still be some other text that happens to split into rows of
// 21 items. A race log's Lane cells are L, R or empty, and its GeneralID cells numbers or
// empty.
bool LooksLikeRaceLog(const RunTable& table) {
    for (int r = 0; r <= table.RightRow(); ++r) {
        const RunRow& row = *table.Row(r);
        const QString& lane = row[Lane];
        if (!lane.isEmpty() && lane != QLatin1String("L") && lane != QLatin1String("R")) {
            return false;
        }
        bool number = true;
        if (!row[GeneralID].isEmpty()) {
            row[GeneralID].trimmed().toInt(&number);
        }
        if (!number) {
            return false;
        }
    }
    return true;
}

}  // namespace

QStringList RaceLogFilesIn(const QStringList& paths) {
    QStringList files;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            const QFileInfoList entries = QDir(path).entryInfoList(
                {QStringLiteral("*.csv"), QStringLiteral("*.CSV")}, QDir::Files, QDir::Name);
            for (const QFileInfo& entry : entries) {
                files.append(entry.absoluteFilePath());
            }
        } else {
            files.append(info.absoluteFilePath());
        }
    }
    files.removeDuplicates();
    return files;
}

ImportReport ImportRaceLogs(Logbook& logbook, const QStringList& files, const QString& track,
                            const std::function<void(int, int)>& progress) {
    ImportReport report;
    const int total = static_cast<int>(files.size());
    int done = 0;
    for (const QString& file : files) {
        RunTables tables;
        const RaceLogLoadResult loaded = LoadRaceLog(file, tables);
        const RunTable& table = tables.AllRunsTable();
        const QString name = QDir::toNativeSeparators(file);
        if (loaded.outcome == RaceLogLoadOutcome::NoFile) {
            report.skipped.append(name + QStringLiteral(": no such file"));
        } else if (loaded.outcome == RaceLogLoadOutcome::Failed || !LooksLikeRaceLog(table)) {
            report.skipped.append(name + QStringLiteral(": not a race-log file"));
        } else if (!logbook.BeginBatch()) {
            report.skipped.append(name + QStringLiteral(": ") + logbook.ErrorText());
        } else {
            ImportReport counts;
            bool failed = false;
            const QString source = QFileInfo(file).absoluteFilePath();
            for (int left = 0; left + 1 <= table.RightRow() && !failed; left += 2) {
                ++counts.races;
                const RaceOrigin origin{source, left / 2, track};
                switch (logbook.StoreRace(origin, *table.Row(left), *table.Row(left + 1))) {
                    case StoreOutcome::Inserted:
                        ++counts.inserted;
                        break;
                    case StoreOutcome::Updated:
                        ++counts.updated;
                        break;
                    case StoreOutcome::Unchanged:
                    case StoreOutcome::Duplicate:
                        ++counts.duplicates;
                        break;
                    case StoreOutcome::NotARun:
                        ++counts.notRuns;
                        break;
                    case StoreOutcome::Failed:
                        failed = true;
                        break;
                }
            }
            if (failed) {
                const QString why = logbook.ErrorText();
                logbook.RollbackBatch();
                report.skipped.append(name + QStringLiteral(": ") + why);
            } else if (!logbook.CommitBatch()) {
                report.skipped.append(name + QStringLiteral(": ") + logbook.ErrorText());
            } else {
                ++report.filesRead;
                report.races += counts.races;
                report.inserted += counts.inserted;
                report.updated += counts.updated;
                report.duplicates += counts.duplicates;
                report.notRuns += counts.notRuns;
                if (!track.isEmpty()) {
                    logbook.NameTrack({source}, track);
                }
            }
        }
        if (progress) {
            progress(++done, total);
        }
    }
    return report;
}

}  // namespace orvanrx
