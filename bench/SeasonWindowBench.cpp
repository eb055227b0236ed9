// The statistics window's questions to the season logbook, as its reader thread answers them:
// a car's season (query, figures, next dial-in, ET against the air) and every car's figures,
// over a generated season whose ETs follow the air.

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "logbook/SeasonReader.h"
#include "sim/AirSeason.h"

namespace orvanrx {
namespace {

// About 100,000 races: 1,000 cars at 40 events, with the weather of every day.
struct AirLogbook {
    AirLogbook() {
        AirSeasonOptions options;
        options.cars = 1000;
        options.events = 40;
        options.runsPerCar = 5;
        const AirSeason season = GenerateAirSeason(options);
        Logbook::OpenResult opened = Logbook::Open(dir.filePath(QStringLiteral("air.sqlite")));
        logbook = std::move(opened.logbook);
        logbook->BeginBatch();
        int pair = 0;
        QHash<QString, int> runs;
        for (const SeasonRace& race : SeasonRaces(season)) {
            const auto track =
                static_cast<std::size_t>(season.eventTrack[static_cast<std::size_t>(race.event)]);
            logbook->StoreRace({QStringLiteral("bench"), pair++, season.tracks[track].name},
                               race.left, race.right);
            ++runs[race.left[RunColumn::Car].trimmed()];
            ++runs[race.right[RunColumn::Car].trimmed()];
        }
        logbook->CommitBatch();
        logbook->AddWeather(season.weather);
        races = pair;
        for (auto it = runs.cbegin(); it != runs.cend(); ++it) {
            if (!it.key().isEmpty() && it.value() > runs.value(busiestCar)) {
                busiestCar = it.key();
            }
        }
        lastDay = season.eventDay.back();
    }
    QTemporaryDir dir;
    std::unique_ptr<Logbook> logbook;
    int races = 0;
    QString busiestCar;
    QString lastDay;
};

AirLogbook& TheLogbook() {
    static AirLogbook book;
    return book;
}

SeasonQuery CarQuery(const AirLogbook& book) {
    SeasonQuery query;
    query.season = true;
    query.car = book.busiestCar;
    query.selection.until = book.lastDay;
    // The next dial-in just after the season's last race, as the window has it from the answer
    // with every car's figures.
    query.at = MomentAfter(book.logbook->SelectRaces(query.selection), book.lastDay);
    return query;
}

// The chosen car: its runs and figures over the season, its next dial-in and its ETs against
// the air (what the window asks whenever a car is chosen; the reader keeps the weather).
void BM_SeasonWindowCar(benchmark::State& state) {
    AirLogbook& book = TheLogbook();
    const SeasonQuery query = CarQuery(book);
    const air::WeatherTimeline timeline(book.logbook->Weather());
    SeasonAnswer answer;
    for (auto _ : state) {
        answer = AnswerSeasonQuery(*book.logbook, query, timeline);
        benchmark::DoNotOptimize(answer.dialIn.prediction.et);
    }
    state.counters["races"] = book.races;
    state.counters["runs"] = answer.car.figures.runs;
    state.counters["points"] = static_cast<double>(answer.air.points.size());
    state.counters["air"] = answer.dialIn.prediction.usedAir ? 1 : 0;
}
BENCHMARK(BM_SeasonWindowCar)->Unit(benchmark::kMillisecond);

// Only the next dial-in (the race log as the source), the weather read each time.
void BM_SeasonWindowDialInOnly(benchmark::State& state) {
    AirLogbook& book = TheLogbook();
    const QString at = CarQuery(book).at;
    for (auto _ : state) {
        benchmark::DoNotOptimize(PredictCarEt(*book.logbook, book.busiestCar, at).prediction.et);
    }
}
BENCHMARK(BM_SeasonWindowDialInOnly)->Unit(benchmark::kMillisecond);

// Every car's figures over the whole season and the car's (a new choice of races).
void BM_SeasonWindowAllCars(benchmark::State& state) {
    AirLogbook& book = TheLogbook();
    SeasonQuery query = CarQuery(book);
    query.allCars = true;
    for (auto _ : state) {
        benchmark::DoNotOptimize(AnswerSeasonQuery(*book.logbook, query).cars->size());
    }
}
BENCHMARK(BM_SeasonWindowAllCars)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvanrx
