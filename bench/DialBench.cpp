// The next dial-in, back-tested over a generated season: for every clean run of every car
// (its fourth run on), the prediction from the car's earlier runs only and the air at the
// run's time, beside the mean of the car's last three clean runs (blind to the air) and the
// noise floor (each run's own scatter: how far it lands from what the car would run in that
// air, which no prediction can know). Figures as counters, in seconds.
#include <benchmark/benchmark.h>

#include <cmath>
#include <map>

#include "sim/AirSeason.h"
#include "weather/DialPrediction.h"

namespace {

using namespace orvanrx;

struct Errors {
    double predicted = 0.0;
    double lastThree = 0.0;
    double noise = 0.0;
    double withinSpread = 0.0;
    int count = 0;
};

Errors BackTest(const AirSeason& season) {
    const air::WeatherTimeline timeline(season.weather);
    std::map<int, std::vector<air::PredictorRun>> history;
    Errors e;
    for (const SeasonRun& run : season.runs) {
        const auto seconds = *air::SecondsOf(run.time);
        std::vector<air::PredictorRun>& runs = history[run.car];
        if (!run.aborted && !run.redLight() && runs.size() >= 3) {
            const auto airAt = timeline.At(seconds);
            const air::DialPrediction p = air::PredictEt(runs, seconds, airAt);
            const air::DialPrediction blind = air::PredictEt(runs, seconds, std::nullopt);
            if (p.et && blind.et) {
                e.predicted += std::abs(*p.et - run.et);
                e.lastThree += std::abs(*blind.et - run.et);
                e.noise += std::abs(run.et - run.expectedEt);
                e.withinSpread += p.spread && std::abs(*p.et - run.et) <= *p.spread ? 1.0 : 0.0;
                ++e.count;
            }
        }
        runs.push_back({seconds, run.et, run.rt, timeline.At(seconds)});
    }
    return e;
}

void BM_DialBackTest(benchmark::State& state) {
    AirSeasonOptions options;
    options.cars = static_cast<int>(state.range(0));
    options.events = 10;
    options.seed = 7;
    const AirSeason season = GenerateAirSeason(options);
    Errors e;
    for (auto _ : state) {
        e = BackTest(season);
        benchmark::DoNotOptimize(e);
    }
    const double n = e.count;
    state.counters["runs"] = n;
    state.counters["mae_predicted"] = e.predicted / n;
    state.counters["mae_last_three"] = e.lastThree / n;
    state.counters["mae_noise_floor"] = e.noise / n;
    state.counters["vs_last_three"] = e.predicted / e.lastThree;
    state.counters["vs_noise_floor"] = e.predicted / e.noise;
    state.counters["within_spread"] = e.withinSpread / n;
    state.counters["predictions_per_s"] =
        benchmark::Counter(2.0 * n, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_DialBackTest)->Arg(300)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
