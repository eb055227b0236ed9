#pragma once

#include <QString>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "decoding/RunTables.h"
#include "logbook/Logbook.h"

// Stores races in the logbook on a thread of its own, so the 30 ms tick never waits on the
// disk: Store only queues the race (two shared rows, no copy of their texts) and returns. The
// thread takes everything queued at once, keeps only the latest rewrite of each race and
// stores them in one transaction.
namespace orvanrx {

class LogbookWriter {
public:
    struct Setup {
        QString path;  // the logbook file
        // When the logbook file is new: the race-log files already there are imported first
        // (the data folder's). Empty: nothing.
        QString importFolder;
        // The track's name for a venue byte (called on the writer's thread); empty: unknown.
        std::function<QString(int venue)> trackOf;
    };

    explicit LogbookWriter(Setup setup);
    // Stores what is queued, then ends the thread.
    ~LogbookWriter();
    LogbookWriter(const LogbookWriter&) = delete;
    LogbookWriter& operator=(const LogbookWriter&) = delete;

    // Queues the race in rows (2 × pair, 2 × pair + 1) of `source` (an absolute path), heard
    // at `venue`. Never waits on the disk.
    void Store(const QString& source, int pair, int venue, std::shared_ptr<const RunRow> left,
               std::shared_ptr<const RunRow> right);

    // Waits until everything queued so far is stored (or has failed).
    void Flush();

    // Why the logbook could not be opened or the last store failed; empty while all is well.
    QString ErrorText() const;
    // Races stored (inserted, updated or found already there) since the start.
    int StoredCount() const;

private:
    struct Job {
        QString source;
        int pair = 0;
        int venue = 0;
        std::shared_ptr<const RunRow> left;
        std::shared_ptr<const RunRow> right;
    };
    void Run();
    void StoreJobs(Logbook& logbook, std::deque<Job>& jobs);

    Setup setup_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Job> queue_;
    bool stopping_ = false;
    bool busy_ = false;
    QString error_;
    int stored_ = 0;
    std::thread thread_;
};

}  // namespace orvanrx
