#include "weatherlink/WeatherStore.h"

#include <QDir>

#include "logbook/Logbook.h"

namespace orvanrx {

WeatherStore::WeatherStore(QString logbookPath, QObject* parent)
    : QObject(parent), path_(std::move(logbookPath)) {
    thread_ = std::thread([this] { Run(); });
}

WeatherStore::~WeatherStore() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
    // What the thread told after this point is dropped with the object's posted events.
}

std::uint64_t WeatherStore::Add(const air::WeatherSample& sample) {
    std::uint64_t ticket = 0;
    {
        const std::lock_guard lock(mutex_);
        ticket = ++lastTicket_;
        queue_.push_back({ticket, sample});
    }
    wake_.notify_one();
    return ticket;
}

std::vector<air::WeatherSample> WeatherStore::Samples(const QString& since, const QString& until) {
    Logbook* reader = nullptr;
    {
        const std::lock_guard lock(mutex_);
        reader = reader_.get();
    }
    // Only the caller's thread reads through it; the store's thread only ever sets it once.
    return reader != nullptr ? reader->Weather(since, until) : std::vector<air::WeatherSample>{};
}

void WeatherStore::Tell(std::uint64_t ticket, bool ok, const QString& error, bool changed) {
    QMetaObject::invokeMethod(
        this,
        [this, ticket, ok, error, changed] {
            if (ticket != 0) {
                Q_EMIT Stored(ticket, ok, error);
            }
            if (changed) {
                Q_EMIT SamplesChanged();
            }
        },
        Qt::QueuedConnection);
}

QString WeatherStore::OpenOnThread(std::unique_ptr<Logbook>& writer) {
    if (!writer) {
        Logbook::OpenResult opened = Logbook::Open(path_);
        if (!opened.logbook) {
            return QDir::toNativeSeparators(path_) + QStringLiteral(": ") + opened.error;
        }
        writer = std::move(opened.logbook);
    }
    bool haveReader = false;
    {
        const std::lock_guard lock(mutex_);
        haveReader = reader_ != nullptr;
    }
    if (!haveReader) {
        // When only this one fails, the samples still go in; it is tried again next time.
        Logbook::OpenResult opened = Logbook::Open(path_);
        if (opened.logbook) {
            {
                const std::lock_guard lock(mutex_);
                reader_ = std::move(opened.logbook);
            }
            Tell(0, true, {}, true);  // the samples can be read now
        }
    }
    return {};
}

void WeatherStore::Run() {
    std::unique_ptr<Logbook> writer;
    OpenOnThread(writer);  // at once, so the samples can be read soon; failing is told at Add
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) {
            break;  // stopping with nothing left
        }
        const Job job = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        QString error = OpenOnThread(writer);
        if (error.isEmpty() && !writer->AddWeather({job.sample})) {
            error = QDir::toNativeSeparators(path_) + QStringLiteral(": ") + writer->ErrorText();
        }
        Tell(job.ticket, error.isEmpty(), error, error.isEmpty());
        lock.lock();
    }
}

}  // namespace orvanrx
