// The worst tick of a long day with the season logbook on: as BM_RaceLogReloadTickAt10000Races
// (GuiTickBench.cpp), the poll loop's news going through the logbook's feed, whose writer
// stores every rewrite on its own thread.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <memory>

#include "GuiBench.h"
#include "gui/ChildWindows.h"
#include "gui/frmMain.h"
#include "gui/frmRaceLog.h"
#include "logbook/LogbookWriter.h"
#include "settings/SettingsStore.h"
#include "shell/LogbookFeed.h"
#include "shell/Station.h"
#include "shell/StationForwarders.h"
#include "sim/RaceDayGenerator.h"
#include "sim/SimulatedXpress.h"

namespace orvanrx {
namespace {

struct Desktop {
    explicit Desktop(bool logbook)
        : settings(dir.filePath(QStringLiteral("OrvanRX.ini"))),
          sim(std::vector<trace::Step>{}),
          writer(logbook ? std::make_unique<LogbookWriter>(LogbookWriter::Setup{
                               dir.filePath(QStringLiteral("logbook.sqlite")), QString(), {}})
                         : nullptr),
          feed(logbook ? std::make_unique<LogbookFeed>(forwarders.observer, *writer) : nullptr),
          station(Station::Setup{sim, settings, forwarders.indicators,
                                 feed ? static_cast<PollObserver&>(*feed) : forwarders.observer,
                                 SystemClock(), sim.Clock()}),
          window(station, forwarders, settings) {
        if (feed) {
            feed->Attach(
                station.Tables(), [this] { return dir.filePath(QStringLiteral("day.csv")); },
                [] { return 1; });
        }
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
    std::unique_ptr<LogbookWriter> writer;
    std::unique_ptr<LogbookFeed> feed;
    Station station;
    frmMain window;
};

void Tick(benchmark::State& state, bool logbook) {
    Desktop desktop(logbook);
    RunTables& tables = desktop.station.Tables();
    const std::vector<RunRecord> day = bench::LongDay(10000);
    for (const RunRecord& race : day) {
        bench::StoreRace(tables, race);
    }
    desktop.window.Windows().RaceLog()->AllCategories();
    QCoreApplication::processEvents();
    PollObserver& observer = desktop.feed ? static_cast<PollObserver&>(*desktop.feed)
                                          : static_cast<PollObserver&>(desktop.forwarders.observer);
    RunRecord last = day.back();
    int n = 0;
    for (auto _ : state) {
        last.marginL = QString::number(++n);
        tables.StoreRun(last);
        observer.RunTablesChanged();
        observer.DataReplyStored();
        QCoreApplication::processEvents();
    }
    if (desktop.writer) {
        desktop.writer->Flush();
        state.counters["stored"] = desktop.writer->StoredCount();
    }
}

void BM_RaceLogReloadTickAt10000RacesWithoutLogbook(benchmark::State& state) {
    Tick(state, false);
}
BENCHMARK(BM_RaceLogReloadTickAt10000RacesWithoutLogbook)->Unit(benchmark::kMillisecond);

void BM_RaceLogReloadTickAt10000RacesWithLogbook(benchmark::State& state) {
    Tick(state, true);
}
BENCHMARK(BM_RaceLogReloadTickAt10000RacesWithLogbook)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvanrx

int main(int argc, char** argv) {
    return orvanrx::bench::RunWidgetBenchmarks(argc, argv);
}
