#include "logbook/SeasonReader.h"

#include <chrono>
#include <memory>

namespace orvanrx {

SeasonAnswer AnswerSeasonQuery(Logbook& logbook, const SeasonQuery& query) {
    const auto start = std::chrono::steady_clock::now();
    SeasonAnswer answer;
    answer.serial = query.serial;
    answer.season = query.season;
    if (query.season && query.allCars) {
        const RunTable races = logbook.SelectRaces(query.selection);
        answer.races = races.RowCount() / 2;
        answer.cars = ComputeCarFigures(races);
        answer.tracks = logbook.Tracks();
    }
    const QString car = query.car.trimmed();
    if (!car.isEmpty()) {
        const air::WeatherTimeline timeline(logbook.Weather());
        if (query.season) {
            answer.car = ReadCarSeason(logbook, query.selection, car);
            if (!query.against.trimmed().isEmpty()) {
                answer.meeting = SeasonHeadToHead(logbook, query.selection, car, query.against);
            }
        }
        answer.air = EtAgainstAirOf(query.season ? answer.car.runs : query.logRuns, timeline);
        const QString at = query.at.isEmpty() ? MomentAfter(logbook, query.selection) : query.at;
        answer.dialIn = PredictCarEt(logbook, car, at, timeline);
    }
    answer.milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return answer;
}

SeasonReader::SeasonReader(QString path, std::function<void(SeasonAnswer)> answered)
    : path_(std::move(path)), answered_(std::move(answered)) {
    thread_ = std::thread([this] { Run(); });
}

SeasonReader::~SeasonReader() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        waiting_.reset();
    }
    wake_.notify_all();
    thread_.join();
}

void SeasonReader::Ask(SeasonQuery query) {
    {
        const std::lock_guard lock(mutex_);
        waiting_ = std::move(query);
    }
    wake_.notify_one();
}

void SeasonReader::Flush() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !waiting_ && !busy_; });
}

void SeasonReader::Run() {
    std::unique_ptr<Logbook> logbook;
    QString error;
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || waiting_; });
        if (stopping_) {
            break;
        }
        SeasonQuery query = std::move(*waiting_);
        waiting_.reset();
        busy_ = true;
        lock.unlock();
        if (!logbook) {
            Logbook::OpenResult opened = Logbook::Open(path_);
            logbook = std::move(opened.logbook);
            error = opened.error;
        }
        SeasonAnswer answer;
        if (logbook) {
            answer = AnswerSeasonQuery(*logbook, query);
        } else {
            answer.serial = query.serial;
            answer.season = query.season;
            answer.error = error;
        }
        answered_(std::move(answer));
        lock.lock();
        busy_ = false;
        idle_.notify_all();
    }
    busy_ = false;
    idle_.notify_all();
}

}  // namespace orvanrx
