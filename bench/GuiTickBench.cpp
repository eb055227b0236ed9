// The 30 ms tick with the desktop program's windows open (offscreen): one data-reply tick
// through the main window's observer and status bar, with the time slip redrawing, with and
// without the repaint that follows it in the event loop.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <memory>

#include "GuiBench.h"
#include "gui/ChildWindows.h"
#include "gui/frmMain.h"
#include "gui/frmRaceLog.h"
#include "settings/SettingsStore.h"
#include "shell/Station.h"
#include "shell/StationForwarders.h"
#include "sim/RaceDayGenerator.h"
#include "sim/SimulatedXpress.h"

namespace orvanrx {
namespace {

// A generated day's data replies only, so that every tick is a data-reply tick.
std::vector<trace::Step> DataReplies() {
    std::vector<trace::Step> replies;
    for (const trace::Step& step : GenerateRaceDay({200, 1, 0.0, false}).steps) {
        if (std::holds_alternative<trace::Reply>(step)) {
            replies.push_back(step);
        }
    }
    return replies;
}

// The main window loaded on a station over the simulated receiver, its timer stopped so that
// the benchmark drives the ticks, the race log (as at start) and the time slip open.
struct Desktop {
    explicit Desktop(const std::vector<trace::Step>& steps)
        : settings(dir.filePath(QStringLiteral("OrvanRX.ini"))),
          sim(steps),
          station(Station::Setup{sim, settings, forwarders.indicators, forwarders.observer,
                                 SystemClock(), sim.Clock()}),
          window(station, forwarders, settings) {
        window.Load(dir.filePath(QStringLiteral("data")));
        window.tmrMain().stop();
        window.resize(1600, 1000);
        window.show();
        window.Windows().ShowTimeSlip();
        QCoreApplication::processEvents();
    }
    ~Desktop() { window.Unload(); }

    QTemporaryDir dir;
    SettingsStore settings;
    SimulatedXpress sim;
    StationForwarders forwarders;
    Station station;
    frmMain window;
};

void RunTicks(benchmark::State& state, bool repaint) {
    const std::vector<trace::Step> replies = DataReplies();
    auto desktop = std::make_unique<Desktop>(replies);
    std::size_t used = 1;  // the first tick opened the receiver
    for (auto _ : state) {
        if (used == replies.size()) {
            state.PauseTiming();
            desktop = std::make_unique<Desktop>(replies);
            used = 1;
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(desktop->station.Loop().RunPollCycle());
        if (repaint) {
            QCoreApplication::processEvents();
        }
        ++used;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_GuiDataReplyTick(benchmark::State& state) {
    RunTicks(state, false);
}
BENCHMARK(BM_GuiDataReplyTick)->Unit(benchmark::kMicrosecond);

void BM_GuiDataReplyTickAndRepaint(benchmark::State& state) {
    RunTicks(state, true);
}
BENCHMARK(BM_GuiDataReplyTickAndRepaint)->Unit(benchmark::kMicrosecond);

// The worst tick of a long day: 10,000 races in the log, the race log open in all-categories
// mode, the time slip open, and a data reply that completes a race, so the run tables change,
// the race log reloads the whole table and the time slip redraws; then the repaint.
void BM_RaceLogReloadTickAt10000Races(benchmark::State& state) {
    const std::vector<trace::Step> replies = DataReplies();
    Desktop desktop(replies);
    RunTables& tables = desktop.station.Tables();
    const std::vector<RunRecord> day = bench::LongDay(10000);
    for (const RunRecord& race : day) {
        bench::StoreRace(tables, race);
    }
    desktop.window.Windows().RaceLog()->AllCategories();
    QCoreApplication::processEvents();
    RunRecord last = day.back();
    int n = 0;
    for (auto _ : state) {
        last.marginL = QString::number(++n);
        tables.StoreRun(last);
        desktop.forwarders.observer.RunTablesChanged();
        desktop.forwarders.observer.DataReplyStored();
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = static_cast<double>(tables.AllRunsTable().RowCount());
}
BENCHMARK(BM_RaceLogReloadTickAt10000Races)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvanrx

int main(int argc, char** argv) {
    return orvanrx::bench::RunWidgetBenchmarks(argc, argv);
}
