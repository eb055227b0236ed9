// The statistics of a race log of 10,000 generated races (20,000 rows): the figures of every
// car from scratch, kept up to date race by race, one car's runs and figures, two cars head
// to head, and the table text of every car.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

#include "GeneratedLog.h"
#include "analysis/CarFiguresTracker.h"
#include "analysis/CarStats.h"
#include "analysis/HeadToHead.h"
#include "analysis/StatsTables.h"
#include "racelog/RaceLogFile.h"
#include "sim/RaceDayGenerator.h"

namespace orvanrx {
namespace {

constexpr int kRaces = 10000;

// The same log written to its file and read back, as a log opened from disk is held: the
// cells of each row lie together in memory.
RunTables LoadedLog() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.csv"));
    QFile file(path);
    RunTables tables;
    if (file.open(QIODevice::WriteOnly) &&
        file.write(RaceLogFileBytes(bench::GeneratedLog(kRaces).AllRunsTable())) > 0) {
        file.close();
        LoadRaceLog(path, tables);
    }
    return tables;
}

// The car with the most runs and the opponent it met most often.
std::pair<QString, QString> BusiestPair(const RunTable& log) {
    const std::vector<CarFigures> cars = ComputeCarFigures(log);
    const CarFigures& busiest = *std::max_element(
        cars.begin(), cars.end(), [](const auto& a, const auto& b) { return a.runs < b.runs; });
    QHash<QString, int> met;
    for (const CarRun& run : ReadCarRuns(log, busiest.car)) {
        ++met[run.opponent];
    }
    QString opponent;
    for (auto it = met.cbegin(); it != met.cend(); ++it) {
        if (!it.key().isEmpty() && (opponent.isEmpty() || it.value() > met.value(opponent))) {
            opponent = it.key();
        }
    }
    return {busiest.car, opponent};
}

void ComputeEveryCar(benchmark::State& state, const RunTable& log) {
    if (log.RowCount() != 2 * kRaces) {
        state.SkipWithError("the log does not hold every race");
        return;
    }
    std::size_t cars = 0;
    for (auto _ : state) {
        const std::vector<CarFigures> figures = ComputeCarFigures(log);
        cars = figures.size();
        benchmark::DoNotOptimize(figures.data());
    }
    state.counters["cars"] = static_cast<double>(cars);
}

// Every car of a log opened from its file.
void BM_ComputeCarFigures(benchmark::State& state) {
    const RunTables tables = LoadedLog();
    ComputeEveryCar(state, tables.AllRunsTable());
}
BENCHMARK(BM_ComputeCarFigures)->Unit(benchmark::kMillisecond);

// Every car of a log as the live session built it race by race, its cells scattered over
// the heap among everything else the session allocated.
void BM_ComputeCarFiguresLive(benchmark::State& state) {
    const RunTables tables = bench::GeneratedLog(kRaces);
    ComputeEveryCar(state, tables.AllRunsTable());
}
BENCHMARK(BM_ComputeCarFiguresLive)->Unit(benchmark::kMillisecond);

// The window's update when a log of 10,000 races is opened: the tracker starts from nothing.
void BM_TrackerFirstUpdate(benchmark::State& state) {
    const RunTables tables = LoadedLog();
    for (auto _ : state) {
        CarFiguresTracker tracker;
        tracker.Update(tables.AllRunsTable());
        benchmark::DoNotOptimize(tracker.Figures().data());
    }
}
BENCHMARK(BM_TrackerFirstUpdate)->Unit(benchmark::kMillisecond);

// The window's update on a tick that rewrote the latest race of a live log of 10,000 races.
void BM_TrackerUpdateLatestRace(benchmark::State& state) {
    RunTables tables = bench::GeneratedLog(kRaces);
    CarFiguresTracker tracker;
    tracker.Update(tables.AllRunsTable());
    const RunRecord finished = tables.LastRun();
    RunRecord staged = finished;
    staged.et1320L = staged.mph1320L = QString();
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        tables.StoreRun(flip ? staged : finished);
        tracker.Update(tables.AllRunsTable());
        benchmark::DoNotOptimize(tracker.Figures().data());
    }
}
BENCHMARK(BM_TrackerUpdateLatestRace)->Unit(benchmark::kMillisecond);

// The window's update on a tick that added a new race to a live log of 10,000 races and more.
void BM_TrackerUpdateNewRace(benchmark::State& state) {
    RunTables tables = bench::GeneratedLog(kRaces);
    CarFiguresTracker tracker;
    tracker.Update(tables.AllRunsTable());
    const std::vector<RunRecord> next = GenerateRaceDay({500, 9, 0.0, false}).races;
    std::size_t i = 0;
    for (auto _ : state) {
        tables.StoreRun(next[i++ % next.size()]);
        tracker.Update(tables.AllRunsTable());
        benchmark::DoNotOptimize(tracker.Figures().data());
    }
}
BENCHMARK(BM_TrackerUpdateNewRace)->Unit(benchmark::kMillisecond)->Iterations(500);

void BM_ComputeOneCar(benchmark::State& state) {
    const RunTables tables = bench::GeneratedLog(kRaces);
    const RunTable& log = tables.AllRunsTable();
    const QString car = BusiestPair(log).first;
    std::size_t runs = 0;
    for (auto _ : state) {
        const std::vector<CarRun> carRuns = ReadCarRuns(log, car);
        const CarFigures figures = SummarizeRuns(car, carRuns);
        runs = carRuns.size();
        benchmark::DoNotOptimize(figures.et.mean);
    }
    state.counters["runs"] = static_cast<double>(runs);
}
BENCHMARK(BM_ComputeOneCar)->Unit(benchmark::kMillisecond);

void BM_HeadToHead(benchmark::State& state) {
    const RunTables tables = bench::GeneratedLog(kRaces);
    const RunTable& log = tables.AllRunsTable();
    const auto [carA, carB] = BusiestPair(log);
    std::size_t races = 0;
    for (auto _ : state) {
        const HeadToHead meeting = ComputeHeadToHead(log, carA, carB);
        races = meeting.races.size();
        benchmark::DoNotOptimize(races);
    }
    state.counters["races"] = static_cast<double>(races);
}
BENCHMARK(BM_HeadToHead)->Unit(benchmark::kMillisecond);

// The figures of every car as the text of the command line's table.
void BM_CarsTable(benchmark::State& state) {
    const std::vector<CarFigures> cars =
        ComputeCarFigures(bench::GeneratedLog(kRaces).AllRunsTable());
    for (auto _ : state) {
        const TextTable table = CarsTable(cars);
        benchmark::DoNotOptimize(table.rows.data());
    }
}
BENCHMARK(BM_CarsTable)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvanrx
