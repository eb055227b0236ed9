#include "logbook/LogbookImport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <memory>
#include <vector>

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

namespace {

// An import stores the files it reads within about this long in one transaction: a commit
// writes out every page the transaction changed, and the indexes' pages are changed again by
// every file. Another program's write waits for the commit, well within its busy time-out.
constexpr qint64 kBatchMs = 1000;

// A race-log file read and checked, waiting in the open transaction.
struct ReadFile {
    QString name;    // as the report names it
    QString source;  // the absolute path the races keep
    RunTables tables;
};

void Add(ImportReport& total, const ImportReport& counts) {
    total.filesRead += counts.filesRead;
    total.races += counts.races;
    total.inserted += counts.inserted;
    total.updated += counts.updated;
    total.duplicates += counts.duplicates;
    total.notRuns += counts.notRuns;
}

// Stores a file's races in the open transaction, with `track` named; false when the logbook
// refused one.
bool StoreFile(Logbook& logbook, const ReadFile& file, const QString& track, ImportReport& counts) {
    const RunTable& table = file.tables.AllRunsTable();
    for (int left = 0; left + 1 <= table.RightRow(); left += 2) {
        ++counts.races;
        const RaceOrigin origin{file.source, left / 2, track};
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
                return false;
        }
    }
    // Events the naming leaves without races go at the commit.
    if (!track.isEmpty() && !logbook.NameTrack({file.source}, track)) {
        return false;
    }
    counts.filesRead = 1;
    return true;
}

}  // namespace

ImportReport ImportRaceLogs(Logbook& logbook, const QStringList& files, const QString& track,
                            const std::function<void(int, int)>& progress) {
    ImportReport report;
    logbook.SetBulkCache(true);
    const auto skip = [&report](const QString& name, const QString& why) {
        report.skipped.append(name + QStringLiteral(": ") + why);
    };
    // One file in a transaction of its own: in wholly or not at all.
    const auto storeAlone = [&](const ReadFile& file) {
        ImportReport counts;
        if (!logbook.BeginBatch()) {
            skip(file.name, logbook.ErrorText());
        } else if (!StoreFile(logbook, file, track, counts)) {
            const QString why = logbook.ErrorText();
            logbook.RollbackBatch();
            skip(file.name, why);
        } else if (!logbook.CommitBatch()) {
            skip(file.name, logbook.ErrorText());
        } else {
            Add(report, counts);
        }
    };

    // The files in the open transaction and their counts. When the logbook refuses a file or
    // the commit, the transaction goes back and each of its files is stored again on its own,
    // so only a file the logbook refuses by itself stays out.
    std::vector<std::unique_ptr<ReadFile>> pending;
    ImportReport pendingCounts;
    QElapsedTimer batchTime;
    const auto storeEachAlone = [&] {
        for (const auto& file : pending) {
            storeAlone(*file);
        }
        pending.clear();
        pendingCounts = {};
    };
    const auto commit = [&] {
        if (pending.empty()) {
            return;
        }
        if (logbook.CommitBatch()) {
            Add(report, pendingCounts);
            pending.clear();
            pendingCounts = {};
        } else {
            storeEachAlone();
        }
    };

    const int total = static_cast<int>(files.size());
    int done = 0;
    for (const QString& path : files) {
        auto file = std::make_unique<ReadFile>();
        file->name = QDir::toNativeSeparators(path);
        const RaceLogLoadResult loaded = LoadRaceLog(path, file->tables);
        if (loaded.outcome == RaceLogLoadOutcome::NoFile) {
            skip(file->name, QStringLiteral("no such file"));
        } else if (loaded.outcome == RaceLogLoadOutcome::Failed ||
                   !LooksLikeRaceLog(file->tables.AllRunsTable())) {
            skip(file->name, QStringLiteral("not a race-log file"));
        } else if (pending.empty() && !logbook.BeginBatch()) {
            skip(file->name, logbook.ErrorText());
        } else {
            if (pending.empty()) {
                batchTime.start();
            }
            file->source = QFileInfo(path).absoluteFilePath();
            ImportReport counts;
            if (StoreFile(logbook, *file, track, counts)) {
                Add(pendingCounts, counts);
                pending.push_back(std::move(file));
                if (batchTime.elapsed() >= kBatchMs) {
                    commit();
                }
            } else {
                logbook.RollbackBatch();
                storeEachAlone();
                storeAlone(*file);
            }
        }
        if (progress) {
            progress(++done, total);
        }
    }
    commit();
    logbook.SetBulkCache(false);
    return report;
}

}  // namespace orvanrx
