#include "logbook/SeasonReader.h"

#include <chrono>
#include <memory>

namespace orvanrx {

SeasonAnswer AnswerSeasonQuery(Logbook& logbook, const SeasonQuery& query) {
    return AnswerSeasonQuery(logbook, query, air::WeatherTimeline(logbook.Weather()));
}

SeasonAnswer AnswerSeasonQuery(Logbook& logbook, const SeasonQuery& query,
                               const air::WeatherTimeline& timeline) {
    const auto start = std::chrono::steady_clock::now();
    SeasonAnswer answer;
    answer.serial = query.serial;
    answer.season = query.season;
    answer.at = query.at;
    const bool fromRaces = query.at.isEmpty() && !query.selection.until.isEmpty();
    if (query.season && query.allCars) {
        const RunTable races = logbook.SelectRaces(query.selection);
        answer.races = races.RowCount() / 2;
        answer.cars = ComputeCarFigures(races);
        answer.tracks = logbook.Tracks();
        if (fromRaces) {
            answer.at = MomentAfter(races, query.selection.until);
        }
    } else if (fromRaces) {
        answer.at = query.selection.until + QStringLiteral(" 23:59:59");
    }
    const QString car = query.car.trimmed();
    if (!car.isEmpty()) {
        if (query.season) {
            answer.car = ReadCarSeason(logbook, query.selection, car);
            if (!query.against.trimmed().isEmpty()) {
                answer.meeting = SeasonHeadToHead(logbook, query.selection, car, query.against);
            }
        }
        answer.air = EtAgainstAirOf(query.season ? answer.car.runs : query.logRuns, timeline);
        answer.dialIn = PredictCarEt(logbook, car, answer.at, timeline);
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
    air::WeatherTimeline timeline;
    std::optional<std::chrono::steady_clock::time_point> weatherRead;
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
            const auto now = std::chrono::steady_clock::now();
            if (query.allCars || !weatherRead ||
                now - *weatherRead > std::chrono::seconds(kWeatherKeptSeconds)) {
                timeline = air::WeatherTimeline(logbook->Weather());
                weatherRead = now;
            }
            answer = AnswerSeasonQuery(*logbook, query, timeline);
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
