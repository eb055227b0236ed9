#pragma once

#include <QString>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "analysis/HeadToHead.h"
#include "logbook/CarAir.h"
#include "logbook/SeasonStats.h"

// What the statistics window reads from the season logbook, read on a thread of its own so
// the window (and the 30 ms tick on its thread) never waits on the database.
namespace orvanrx {

struct SeasonQuery {
    std::uint64_t serial = 0;
    // The figures, the runs and the head-to-head from the logbook's chosen races; otherwise
    // only the prediction and the air of `logRuns` (the race log's runs of the car).
    bool season = false;
    bool allCars = false;  // every car's figures as well (the choice of races changed)
    RaceSelection selection;
    QString car;      // the chosen car; empty: none
    QString against;  // season: the car's opponent for the head-to-head; empty: none
    std::vector<CarRun> logRuns;
    // The moment of the next dial-in, "yyyy-MM-dd HH:mm:ss"; empty (a season with a last day):
    // with allCars MomentAfter the chosen races, else the end of the last day.
    QString at;
};

struct SeasonAnswer {
    std::uint64_t serial = 0;
    QString error;  // the logbook could not be opened
    bool season = false;
    std::optional<int> races;                     // with allCars
    std::optional<QStringList> tracks;            // with allCars: the logbook's tracks
    std::optional<std::vector<CarFigures>> cars;  // with allCars
    CarSeason car;                                // season: the chosen car's runs and figures
    HeadToHead meeting;                           // season, with an opponent
    QString at;                                   // the moment of the next dial-in
    CarDialIn dialIn;                             // with a car
    EtAgainstAir air;                             // with a car
    double milliseconds = 0.0;                    // how long the answer took
};

// The answer to a query, on the caller's thread, with the logbook's weather as `timeline`.
SeasonAnswer AnswerSeasonQuery(Logbook& logbook, const SeasonQuery& query,
                               const air::WeatherTimeline& timeline);
SeasonAnswer AnswerSeasonQuery(Logbook& logbook, const SeasonQuery& query);

// Answers queries on its own thread with its own connection to the logbook at `path` (opened
// at the first query). Only the latest query waiting is answered: one asked while another is
// read replaces any still waiting. `answered` is called on the reader's thread. The weather is
// read again for a query of every car's figures and when it was read more than
// kWeatherKeptSeconds ago.
class SeasonReader {
public:
    static constexpr int kWeatherKeptSeconds = 30;

    SeasonReader(QString path, std::function<void(SeasonAnswer)> answered);
    // Waits for the query being read, drops those waiting, ends the thread.
    ~SeasonReader();
    SeasonReader(const SeasonReader&) = delete;
    SeasonReader& operator=(const SeasonReader&) = delete;

    void Ask(SeasonQuery query);
    // Waits until every query asked so far is answered (tests).
    void Flush();

private:
    void Run();

    QString path_;
    std::function<void(SeasonAnswer)> answered_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::optional<SeasonQuery> waiting_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace orvanrx
