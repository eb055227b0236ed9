// The next dial-in, back-tested over a generated season (300 cars, ten events at tracks of
// three heights, noise, lifts and red lights): for every clean run of every car (its fourth run
// on), the prediction from the car's earlier runs only and the air at the run's time, beside
// the mean of the car's last three clean runs (blind to the air) and the noise floor (each
// run's own scatter: how far it lands from what the car would run in that air, which no
// prediction can know). Figures as counters, in seconds, side by side:
//   height_ft   -1 every track, else the track of that height;
//   dial_ins    1 the runs a racer dials in for (eliminations, after the event's time
//               trials), 0 every run, time trials too (a car's first pass at a height new to
//               it included, which nothing in its history can foretell: `mae_first_at_height`).
#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <set>

#include "sim/AirSeason.h"
#include "weather/DialPrediction.h"

namespace {

using namespace orvanrx;

struct Scored {
    int track = 0;
    bool timeTrial = false;
    bool firstAtHeight = false;  // the car's first run at this track's height
    double predicted = 0.0;      // absolute errors, seconds
    double lastThree = 0.0;
    double noise = 0.0;
    bool withinSpread = false;
};

std::vector<Scored> BackTest(const AirSeason& season) {
    const air::WeatherTimeline timeline(season.weather);
    std::map<int, std::vector<air::PredictorRun>> history;
    std::map<int, std::set<int>> heights;  // the tracks each car has run at
    std::vector<Scored> scored;
    for (const SeasonRun& run : season.runs) {
        const auto seconds = *air::SecondsOf(run.time);
        std::vector<air::PredictorRun>& runs = history[run.car];
        const int track = season.eventTrack[static_cast<std::size_t>(run.event)];
        if (!run.aborted && !run.redLight() && runs.size() >= 3) {
            const air::DialPrediction p = air::PredictEt(runs, seconds, timeline.At(seconds));
            const air::DialPrediction blind = air::PredictEt(runs, seconds, std::nullopt);
            if (p.et && blind.et) {
                scored.push_back({track, run.timeTrial, !heights[run.car].contains(track),
                                  std::abs(*p.et - run.et), std::abs(*blind.et - run.et),
                                  std::abs(run.et - run.expectedEt),
                                  p.spread && std::abs(*p.et - run.et) <= *p.spread});
            }
        }
        runs.push_back({seconds, run.et, run.rt, timeline.At(seconds)});
        heights[run.car].insert(track);
    }
    return scored;
}

void BM_DialBackTest(benchmark::State& state) {
    AirSeasonOptions options;
    options.cars = 300;
    options.events = 10;
    options.seed = 7;
    const AirSeason season = GenerateAirSeason(options);
    const double heightFt = static_cast<double>(state.range(0));
    const bool dialIns = state.range(1) != 0;
    std::vector<Scored> scored;
    for (auto _ : state) {
        scored = BackTest(season);
        benchmark::DoNotOptimize(scored);
    }
    double predicted = 0.0;
    double lastThree = 0.0;
    double noise = 0.0;
    double within = 0.0;
    double first = 0.0;
    double firstCount = 0.0;
    double n = 0.0;
    for (const Scored& s : scored) {
        if ((heightFt >= 0.0 &&
             season.tracks[static_cast<std::size_t>(s.track)].elevationFt != heightFt) ||
            (dialIns && s.timeTrial)) {
            continue;
        }
        predicted += s.predicted;
        lastThree += s.lastThree;
        noise += s.noise;
        within += s.withinSpread ? 1.0 : 0.0;
        if (s.firstAtHeight) {
            first += s.predicted;
            ++firstCount;
        }
        ++n;
    }
    state.counters["runs"] = n;
    state.counters["mae_predicted"] = predicted / n;
    state.counters["mae_last_three"] = lastThree / n;
    state.counters["mae_noise_floor"] = noise / n;
    state.counters["vs_last_three"] = predicted / lastThree;
    state.counters["vs_noise_floor"] = predicted / noise;
    state.counters["within_spread"] = within / n;
    // Each scored run asks for two predictions: with the air and blind to it.
    state.counters["predictions_per_s"] = benchmark::Counter(
        2.0 * static_cast<double>(scored.size()), benchmark::Counter::kIsIterationInvariantRate);
    if (firstCount > 0.0) {
        state.counters["mae_first_at_height"] = first / firstCount;
        state.counters["first_at_height_runs"] = firstCount;
    }
}
BENCHMARK(BM_DialBackTest)
    ->ArgNames({"height_ft", "dial_ins"})
    ->ArgsProduct({{-1, 40, 2700, 5800}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
