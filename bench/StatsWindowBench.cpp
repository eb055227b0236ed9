// The statistics window with 10,000 races in the log (offscreen): its refresh when a new race
// is stored, with the repaint that follows, for a chosen car that is not in the race and for
// one that is (its runs and charts then follow too); and the whole tick of the desktop program
// with the race log, the time slip and the statistics open.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include "GuiBench.h"
#include "gui/ChildWindows.h"
#include "gui/frmMain.h"
#include "gui/frmRaceLog.h"
#include "gui/frmStats.h"
#include "settings/SettingsStore.h"
#include "shell/Station.h"
#include "shell/StationForwarders.h"
#include "sim/SimulatedXpress.h"

namespace orvanrx {
namespace {

constexpr int kRaces = 10000;

using bench::StoreRace;

// The next race after the long day: cars that ran before, so their figures change; `chosen`
// in the right lane when given (the left lane's car differs from race to race, so each is a
// new race).
RunRecord NextRace(const std::vector<RunRecord>& day, int n, const QString& chosen) {
    RunRecord race = day[static_cast<std::size_t>(n % kRaces)];
    race.CarR = chosen.isEmpty() ? race.CarR : chosen;
    race.et1320L = QStringLiteral("9.%1").arg(n % 1000, 3, 10, QLatin1Char('0'));
    return race;
}

// The window alone in an MDI area, the day logged, a car on show that races in every new race
// or in none.
void BM_StatsRefreshOnNewRace(benchmark::State& state, bool chosenRaces) {
    QTemporaryDir dir;
    const SettingsStore settings(dir.filePath(QStringLiteral("OrvanRX.ini")));
    RunTables tables;
    const std::vector<RunRecord> day = bench::LongDay(kRaces);
    for (const RunRecord& race : day) {
        StoreRace(tables, race);
    }
    QMdiArea area;
    area.resize(1600, 1000);
    area.show();
    auto* stats = new frmStats(tables, settings);
    QMdiSubWindow* frame = area.addSubWindow(stats);
    stats->Load(*frame, 0x808080, {});
    frame->showMaximized();
    const QString chosen = day[5].CarL;
    stats->ChooseCar(chosen);
    QCoreApplication::processEvents();
    int n = 0;
    for (auto _ : state) {
        StoreRace(tables, NextRace(day, ++n, chosenRaces ? chosen : QString()));
        stats->UpdateDisplay();
        QCoreApplication::processEvents();
    }
    state.counters["cars"] = stats->Cars().rowCount();
    state.counters["runsShown"] = stats->Runs().rowCount();
}

BENCHMARK_CAPTURE(BM_StatsRefreshOnNewRace, OtherCars, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StatsRefreshOnNewRace, ChosenCar, true)->Unit(benchmark::kMillisecond);

// The desktop program's worst tick with the statistics open: a race completes, the race log
// (all categories) reloads, the statistics and the My Car watch follow, the time slip redraws,
// then the repaint.
void BM_TickWithStatsOpenAt10000Races(benchmark::State& state) {
    QTemporaryDir dir;
    const SettingsStore settings(dir.filePath(QStringLiteral("OrvanRX.ini")));
    SimulatedXpress sim(std::vector<trace::Step>{});
    StationForwarders forwarders;
    Station station(Station::Setup{sim, settings, forwarders.indicators, forwarders.observer,
                                   SystemClock(), sim.Clock()});
    frmMain window(station, forwarders, settings);
    window.Load(dir.filePath(QStringLiteral("data")));
    window.tmrMain().stop();
    window.resize(1600, 1000);
    window.show();
    RunTables& tables = station.Tables();
    const std::vector<RunRecord> day = bench::LongDay(kRaces);
    for (const RunRecord& race : day) {
        StoreRace(tables, race);
    }
    window.Windows().RaceLog()->AllCategories();
    window.Windows().ShowTimeSlip();
    window.Windows().ShowStats();
    window.Windows().Stats()->ChooseCar(day[5].CarL);
    QCoreApplication::processEvents();
    int n = 0;
    for (auto _ : state) {
        StoreRace(tables, NextRace(day, ++n, day[5].CarL));
        forwarders.observer.RunTablesChanged();
        forwarders.observer.DataReplyStored();
        QCoreApplication::processEvents();
    }
    window.Unload();
}
BENCHMARK(BM_TickWithStatsOpenAt10000Races)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvanrx

int main(int argc, char** argv) {
    return orvanrx::bench::RunWidgetBenchmarks(argc, argv);
}
