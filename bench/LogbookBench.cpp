// The season logbook: importing a season of race-log files, and a car's season query with its
// figures.

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "logbook/LogbookImport.h"
#include "logbook/SeasonStats.h"
#include "racelog/RaceLogFile.h"
#include "sim/RaceDayGenerator.h"

namespace orvanrx {

using enum RunColumn;
namespace {

constexpr int kFiles = 100;
constexpr int kRacesPerFile = 1000;

// A season: 100,000 generated races written as 100 race-log files of 1,000 races, a start
// each (as the program leaves them in the data folder).
struct Season {
    Season() {
        QDir().mkpath(dir.filePath(QStringLiteral("logs")));
        QHash<QString, int> runs;
        // Ten generated stretches of 10,000 races (the generator's most), a week apart, each
        // cut into ten files.
        for (int part = 0; part < kFiles / 10; ++part) {
            QDateTime now(QDate(2026, 4, 4).addDays(7 * part), QTime(8, 0));
            RunTables log([&now] {
                now = now.addSecs(30);
                return now;
            });
            const RaceDay day = GenerateRaceDay(
                {10 * kRacesPerFile, static_cast<std::uint32_t>(7 + part), 0.0, false});
            for (const RunRecord& race : day.races) {
                log.StoreRun(race);
            }
            const RunTable& all = log.AllRunsTable();
            for (int f = 0; f < 10; ++f) {
                RunTable piece;
                for (int race = 0; race < kRacesPerFile; ++race) {
                    const int row = 2 * (f * kRacesPerFile + race);
                    piece.OpenNextPair();
                    *piece.MutableRow(piece.LeftRow()) = *all.Row(row);
                    *piece.MutableRow(piece.RightRow()) = *all.Row(row + 1);
                    ++runs[all.Cell(row, Car).trimmed()];
                    ++runs[all.Cell(row + 1, Car).trimmed()];
                }
                const QString path = dir.filePath(
                    QStringLiteral("logs/%1.csv").arg(10 * part + f, 3, 10, QLatin1Char('0')));
                QFile file(path);
                file.open(QIODevice::WriteOnly);
                file.write(RaceLogFileBytes(piece));
                files.append(path);
            }
        }
        // The car a racer looks up: the one with the most runs.
        for (auto it = runs.cbegin(); it != runs.cend(); ++it) {
            if (!it.key().isEmpty() && it.value() > runs.value(busiestCar)) {
                busiestCar = it.key();
            }
        }
    }
    QTemporaryDir dir;
    QStringList files;
    QString busiestCar;
    // Every import goes into a new logbook, also over repetitions of the benchmark.
    int imports = 0;
};

Season& TheSeason() {
    static Season season;
    return season;
}

void BM_ImportSeason(benchmark::State& state) {
    Season& season = TheSeason();
    for (auto _ : state) {
        const QString path =
            season.dir.filePath(QStringLiteral("import%1.sqlite").arg(season.imports++));
        Logbook::OpenResult opened = Logbook::Open(path);
        const ImportReport report = ImportRaceLogs(*opened.logbook, season.files, QString());
        if (report.inserted != kFiles * kRacesPerFile) {
            state.SkipWithError("not every race imported");
        }
    }
    state.counters["races"] = kFiles * kRacesPerFile;
}
BENCHMARK(BM_ImportSeason)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_CarSeasonQueryAndFigures(benchmark::State& state) {
    Season& season = TheSeason();
    const QString path = season.dir.filePath(QStringLiteral("query.sqlite"));
    Logbook::OpenResult opened = Logbook::Open(path);
    if (opened.created) {
        ImportRaceLogs(*opened.logbook, season.files, QStringLiteral("BENCH"));
    }
    int runs = 0;
    for (auto _ : state) {
        const CarSeason car = ReadCarSeason(*opened.logbook, {}, season.busiestCar);
        runs = car.figures.runs;
        benchmark::DoNotOptimize(car.figures.et.mean);
    }
    state.counters["runs"] = runs;
}
BENCHMARK(BM_CarSeasonQueryAndFigures)->Unit(benchmark::kMillisecond);

void BM_CarSeasonEliminationsSince(benchmark::State& state) {
    Season& season = TheSeason();
    Logbook::OpenResult opened = Logbook::Open(season.dir.filePath(QStringLiteral("query.sqlite")));
    RaceSelection selection;
    selection.since = QStringLiteral("2026-06-01");
    selection.rounds = RoundChoice::Eliminations;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadCarSeason(*opened.logbook, selection, season.busiestCar));
    }
}
BENCHMARK(BM_CarSeasonEliminationsSince)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvanrx
