// The season logbook: importing a season of race-log files, and a car's season query with its
// figures.

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "GeneratedLog.h"
#include "logbook/LogbookImport.h"
#include "logbook/SeasonStats.h"
#include "racelog/RaceLogFile.h"

namespace orvanrx {
namespace {

constexpr int kFiles = 100;
constexpr int kRacesPerFile = 1000;

// A season: 100,000 generated races written as 100 race-log files of 1,000 races, a start
// each (as the program leaves them in the data folder).
struct Season {
    Season() {
        const RunTables log = bench::GeneratedLog(kFiles * kRacesPerFile);
        const RunTable& all = log.AllRunsTable();
        for (int f = 0; f < kFiles; ++f) {
            RunTable part;
            for (int race = 0; race < kRacesPerFile; ++race) {
                const int row = 2 * (f * kRacesPerFile + race);
                part.OpenNextPair();
                *part.MutableRow(part.LeftRow()) = *all.Row(row);
                *part.MutableRow(part.RightRow()) = *all.Row(row + 1);
            }
            const QString path =
                dir.filePath(QStringLiteral("logs/%1.csv").arg(f, 3, 10, QLatin1Char('0')));
            QDir().mkpath(dir.filePath(QStringLiteral("logs")));
            QFile file(path);
            file.open(QIODevice::WriteOnly);
            file.write(RaceLogFileBytes(part));
            files.append(path);
        }
        // The car a racer looks up: the one with the most runs.
        QHash<QString, int> runs;
        for (int r = 0; r < all.RowCount(); ++r) {
            ++runs[all.Cell(r, Car).trimmed()];
        }
        for (auto it = runs.cbegin(); it != runs.cend(); ++it) {
            if (!it.key().isEmpty() && it.value() > runs.value(busiestCar)) {
                busiestCar = it.key();
            }
        }
    }
    QTemporaryDir dir;
    QStringList files;
    QString busiestCar;
};

Season& TheSeason() {
    static Season season;
    return season;
}

void BM_ImportSeason(benchmark::State& state) {
    Season& season = TheSeason();
    int n = 0;
    for (auto _ : state) {
        const QString path = season.dir.filePath(QStringLiteral("import%1.sqlite").arg(n++));
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
