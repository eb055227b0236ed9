#pragma once

#include <QObject>
#include <QString>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "weather/Air.h"

namespace orvanrx {

class Logbook;

// The program's weather samples: kept in the season logbook (as `orvanrx-cli weather add`
// keeps them), read back for the status bar.
//
// Samples are written on a thread of the store's own, so the GUI thread (and the receiver's
// 30 ms tick on it) never waits on the disk, not even while another program holds the
// logbook's write lock for seconds: Add only queues the sample and returns. Stored comes back
// on the store's thread for each sample, SamplesChanged after every one that went in.
//
// The thread also opens the connection Samples reads through (opening takes the write lock
// for a moment, to create or upgrade the schema). In WAL mode a reader never waits on a
// writer, so Samples stays on the caller's thread. A logbook that cannot be opened is tried
// again at the next Add.
class WeatherStore final : public QObject {
    Q_OBJECT
public:
    explicit WeatherStore(QString logbookPath, QObject* parent = nullptr);
    // Stores what is queued (each store waits at most the logbook's busy time-out), then ends
    // the thread. Stored is not told for what is stored while the store goes.
    ~WeatherStore() override;
    WeatherStore(const WeatherStore&) = delete;
    WeatherStore& operator=(const WeatherStore&) = delete;

    // Queues the sample (one of the same moment already stored is replaced) and returns its
    // ticket, the one Stored names. Never waits on the disk.
    std::uint64_t Add(const air::WeatherSample& sample);
    // The samples from `since` to `until` (local times as text), by time; none while the
    // logbook is not open (yet) or cannot be read.
    std::vector<air::WeatherSample> Samples(const QString& since, const QString& until);

    const QString& LogbookPath() const { return path_; }

Q_SIGNALS:
    // The sample of `ticket` is in the logbook (ok), or not, with the reason in `error`.
    void Stored(std::uint64_t ticket, bool ok, const QString& error);
    // A sample went in, or the logbook has just been opened for reading.
    void SamplesChanged();

private:
    struct Job {
        std::uint64_t ticket = 0;
        air::WeatherSample sample;
    };
    void Run();
    // Opens the writer's connection and the reader's when missing; the reason the writer's
    // cannot be opened, empty when it is.
    QString OpenOnThread(std::unique_ptr<Logbook>& writer);
    void Tell(std::uint64_t ticket, bool ok, const QString& error, bool changed);

    QString path_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> queue_;
    std::uint64_t lastTicket_ = 0;
    bool stopping_ = false;
    // Opened on the store's thread, then used only on the caller's (under mutex_ to hand over).
    std::unique_ptr<Logbook> reader_;
    std::thread thread_;
};

}  // namespace orvanrx
