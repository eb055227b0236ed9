#include "logbook/LogbookWriter.h"

#include <QDir>
#include <QHash>

#include "logbook/LogbookImport.h"

namespace orvanrx {

using enum RunColumn;

LogbookWriter::LogbookWriter(Setup setup) : setup_(std::move(setup)) {
    thread_ = std::thread([this] { Run(); });
}

LogbookWriter::~LogbookWriter() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void LogbookWriter::Store(const QString& source, int pair, int venue,
                          std::shared_ptr<const RunRow> left, std::shared_ptr<const RunRow> right) {
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back({source, pair, venue, std::move(left), std::move(right)});
    }
    wake_.notify_one();
}

void LogbookWriter::Flush() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return queue_.empty() && !busy_; });
}

QString LogbookWriter::ErrorText() const {
    const std::lock_guard lock(mutex_);
    return error_;
}

int LogbookWriter::StoredCount() const {
    const std::lock_guard lock(mutex_);
    return stored_;
}

void LogbookWriter::Run() {
    std::unique_lock lock(mutex_);
    busy_ = true;
    lock.unlock();
    Logbook::OpenResult opened = Logbook::Open(setup_.path);
    if (opened.logbook && opened.created && !setup_.importFolder.isEmpty()) {
        // Everything before this start: the data folder's race logs (the file this start
        // writes is not there yet, or holds nothing the queue does not bring again).
        ImportRaceLogs(*opened.logbook, RaceLogFilesIn({setup_.importFolder}), QString());
    }
    lock.lock();
    if (!opened.logbook) {
        error_ = QDir::toNativeSeparators(setup_.path) + QStringLiteral(": ") + opened.error;
    }
    for (;;) {
        busy_ = false;
        idle_.notify_all();
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) {
            break;  // stopping with nothing left
        }
        std::deque<Job> jobs;
        jobs.swap(queue_);
        busy_ = true;
        lock.unlock();
        if (opened.logbook) {
            StoreJobs(*opened.logbook, jobs);
        }
        jobs.clear();  // the rows are let go off the lock
        lock.lock();
    }
    busy_ = false;
    idle_.notify_all();
}

void LogbookWriter::StoreJobs(Logbook& logbook, std::deque<Job>& jobs) {
    // Only the latest rewrite of each race counts.
    QHash<QString, std::size_t> latest;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        latest.insert(jobs[i].source + u'\n' + QString::number(jobs[i].pair) + u'\n' +
                          (*jobs[i].left)[DateTime],
                      i);
    }
    QHash<int, QString> tracks;
    int stored = 0;
    QString error;
    if (!logbook.BeginBatch()) {
        error = logbook.ErrorText();
    } else {
        bool failed = false;
        for (std::size_t i = 0; i < jobs.size() && !failed; ++i) {
            const Job& job = jobs[i];
            if (latest.value(job.source + u'\n' + QString::number(job.pair) + u'\n' +
                             (*job.left)[DateTime]) != i) {
                continue;
            }
            if (!tracks.contains(job.venue)) {
                tracks.insert(job.venue, setup_.trackOf ? setup_.trackOf(job.venue) : QString());
            }
            const StoreOutcome outcome = logbook.StoreRace(
                RaceOrigin{job.source, job.pair, tracks.value(job.venue)}, *job.left, *job.right);
            failed = outcome == StoreOutcome::Failed;
            stored += (outcome == StoreOutcome::NotARun || failed) ? 0 : 1;
        }
        if (failed) {
            error = logbook.ErrorText();
            logbook.RollbackBatch();
            stored = 0;
        } else if (!logbook.CommitBatch()) {
            error = logbook.ErrorText();
            stored = 0;
        }
    }
    const std::lock_guard lock(mutex_);
    stored_ += stored;
    if (!error.isEmpty()) {
        error_ = QDir::toNativeSeparators(logbook.Path()) + QStringLiteral(": ") + error;
    }
}

}  // namespace orvanrx
