#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#include "sim/AirSeason.h"
#include "weather/DialPrediction.h"

namespace orvanrx::air {
namespace {

constexpr std::int64_t kHour = 3600;

PredictorRun Pass(std::int64_t seconds, double et, std::optional<AirReading> air = std::nullopt,
                  double rt = 0.03) {
    return {seconds, et, rt, air};
}

TEST(DialPredictionTest, WithoutAirTheMeanOfTheLastThreeCleanRuns) {
    const std::vector<PredictorRun> runs = {
        Pass(1 * kHour, 10.10),
        Pass(2 * kHour, 10.20),
        Pass(3 * kHour, 10.00),
        Pass(4 * kHour, 12.90),              // a lift
        Pass(5 * kHour, 10.05, {}, -0.020),  // a red-light tip-toe
        Pass(6 * kHour, 10.30),
    };
    const DialPrediction p = PredictEt(runs, 7 * kHour, std::nullopt);
    ASSERT_TRUE(p.et);
    EXPECT_NEAR(*p.et, (10.20 + 10.00 + 10.30) / 3.0, 1e-12);
    EXPECT_NEAR(*p.spread, 0.30, 1e-12);
    EXPECT_EQ(p.runs, 3);
    EXPECT_FALSE(p.usedAir);
    // Air at the moment but none for the runs: still the mean of three.
    EXPECT_FALSE(PredictEt(runs, 7 * kHour, AirReading{25.0, 10.0, 1000.0}).usedAir);
    EXPECT_FALSE(PredictEt({}, 7 * kHour, std::nullopt).et);
    EXPECT_FALSE(PredictEt(runs, 1 * kHour, std::nullopt).et);  // nothing strictly before
    // Two runs too far apart to say which is the car's usual: nothing rather than a guess.
    EXPECT_FALSE(PredictEt({Pass(1 * kHour, 10.0), Pass(2 * kHour, 20.0)}, 3 * kHour,
                           AirReading{25.0, 10.0, 1000.0})
                     .et);
}

TEST(DialPredictionTest, LaterRunsAreNeverSeen) {
    std::vector<PredictorRun> runs;
    for (int i = 0; i < 30; ++i) {
        runs.push_back(Pass(i * kHour, 10.0 + 0.01 * (i % 3),
                            AirReading{15.0 + i % 10, 10.0, 990.0 - 3.0 * (i % 4)}));
    }
    const std::int64_t at = 20 * kHour;
    const AirReading airAt{22.0, 12.0, 985.0};
    const DialPrediction before =
        PredictEt(std::vector<PredictorRun>(runs.begin(), runs.begin() + 20), at, airAt);
    // The same runs with the later ones (and one at the very moment) mixed in, far off.
    std::vector<PredictorRun> mixed = runs;
    for (PredictorRun& r : mixed) {
        if (r.seconds >= at) {
            r.et += 0.5;
        }
    }
    std::swap(mixed.front(), mixed.back());
    const DialPrediction all = PredictEt(mixed, at, airAt);
    ASSERT_TRUE(before.et);
    EXPECT_EQ(*all.et, *before.et);
    EXPECT_EQ(*all.spread, *before.spread);
    EXPECT_EQ(all.runs, 20);
}

// A car whose ET follows the air by amounts far from the fleet default: with enough history
// across temperatures and pressures the prediction learns them.
TEST(DialPredictionTest, LearnsTheCarsOwnResponse) {
    const double perDegree = 0.012;  // s/°C, about twice the default for a 10 s car
    const double perHpa = -0.0012;   // s/hPa, a third of the default
    std::vector<PredictorRun> runs;
    std::uint32_t state = 12345;
    const auto jitter = [&state] {
        state = state * 1664525u + 1013904223u;
        return (static_cast<double>(state >> 8) / 16777216.0 - 0.5) * 0.01;
    };
    for (int i = 0; i < 60; ++i) {
        const AirReading a{10.0 + (i * 7) % 25, 8.0, (i % 3 == 0 ? 1005.0 : 840.0) + i % 5};
        runs.push_back(Pass(
            i * kHour,
            10.0 + perDegree * (a.tempC - 25.0) + perHpa * (DryAirPressure(a) - 990.0) + jitter(),
            a));
    }
    for (const AirReading& at : {AirReading{35.0, 20.0, 830.0}, AirReading{8.0, 5.0, 1010.0}}) {
        const double truth =
            10.0 + perDegree * (at.tempC - 25.0) + perHpa * (DryAirPressure(at) - 990.0);
        const DialPrediction p = PredictEt(runs, 100 * kHour, at);
        ASSERT_TRUE(p.et);
        EXPECT_TRUE(p.usedAir);
        EXPECT_NEAR(*p.et, truth, 0.01);
        EXPECT_NEAR(p.perDegree, perDegree, 0.001);
        EXPECT_NEAR(p.perHpa, perHpa, 0.0002);
        EXPECT_LT(*p.spread, 0.02);
    }
    // One run only: the fleet default carries it, the ET moves the right way with the air.
    const std::vector<PredictorRun> one(runs.begin(), runs.begin() + 1);
    const AirReading first = *runs[0].air;
    AirReading hotter = first;
    hotter.tempC += 10.0;
    EXPECT_GT(*PredictEt(one, kHour * 2, hotter).et, *PredictEt(one, kHour * 2, first).et);
}

// A lift on the day before beside the first run at a track a mile higher: the lift is left out
// and the new track's run is kept, however far the textbook response misses this car's.
TEST(DialPredictionTest, ALiftDoesNotHideTheFirstRunAtANewHeight) {
    const double perHpa = -0.0024;  // s/hPa, about half the default for a 10 s car
    const auto et = [&](const AirReading& a) {
        return 10.0 + perHpa * (DryAirPressure(a) - 990.0);
    };
    const AirReading sea{24.0, 12.0, 1015.0};
    std::vector<PredictorRun> runs;
    for (int i = 0; i < 5; ++i) {
        runs.push_back(Pass(10 * kHour + i * kHour, et(sea) + (i % 2 == 0 ? 0.004 : -0.004), sea));
    }
    runs[3].et += 1.2;  // a lift
    const AirReading high{16.0, 8.0, 820.0};
    runs.push_back(Pass(24 * 14 * kHour + 10 * kHour, et(high), high));
    const DialPrediction p = PredictEt(runs, 24 * 14 * kHour + 11 * kHour, high);
    ASSERT_TRUE(p.et);
    EXPECT_NEAR(*p.et, et(high), 0.02);
    EXPECT_EQ(p.runs, 5);  // the lift left out
    // The lift alone is no reason to move: the prediction is the same without it.
    std::vector<PredictorRun> clean = runs;
    clean.erase(clean.begin() + 3);
    EXPECT_NEAR(*PredictEt(clean, 24 * 14 * kHour + 11 * kHour, high).et, *p.et, 0.005);
}

// One day of history says little about the air (its pressure hardly moves): the car keeps the
// fleet default, however its runs scatter, until days at other pressures tell otherwise.
TEST(DialPredictionTest, ADayOfHistoryKeepsTheDefaultResponse) {
    std::vector<PredictorRun> runs;
    for (int i = 0; i < 8; ++i) {
        const AirReading a{20.0 + i, 10.0, 1000.0 + 0.3 * (i % 3)};
        runs.push_back(Pass(9 * kHour + i * kHour, 10.0 + (i % 3 - 1) * 0.01, a));
    }
    const AirReading at{26.0, 10.0, 1001.0};
    const DialPrediction p = PredictEt(runs, 20 * kHour, at);
    ASSERT_TRUE(p.et);
    // The default for a 10 s car: a third of the SAE J1349 factor's slopes at 25 °C, 990 hPa.
    const double defaultPerHpa = -10.0 / 3.0 * 1.18 / 990.0;
    EXPECT_NEAR(p.perHpa, defaultPerHpa, 0.1 * std::abs(defaultPerHpa));
    EXPECT_GT(p.perDegree, 0.0);
    EXPECT_NEAR(*p.et, 10.0, 0.03);
}

// A generated season: on the runs a racer dials in for (eliminations, after the event's time
// trials) the prediction beats the mean of the last three by far and comes within one and a
// half times the runs' own scatter, at every height. (The benchmark in bench/ does the same on
// a larger season.)
TEST(DialPredictionTest, NearTheNoiseFloorOnAGeneratedSeason) {
    AirSeasonOptions options;
    options.cars = 40;
    options.events = 8;
    options.seed = 3;
    const AirSeason season = GenerateAirSeason(options);
    const WeatherTimeline timeline(season.weather);
    std::map<int, std::vector<PredictorRun>> history;
    std::map<int, double> predicted;  // by track, -1 all
    std::map<int, double> lastThree;
    std::map<int, double> noise;
    int n = 0;
    int within = 0;
    for (const SeasonRun& run : season.runs) {
        const std::int64_t seconds = *SecondsOf(run.time);
        auto& runs = history[run.car];
        const int track = season.eventTrack[static_cast<std::size_t>(run.event)];
        if (!run.aborted && !run.redLight() && !run.timeTrial && runs.size() >= 3) {
            const DialPrediction p = PredictEt(runs, seconds, timeline.At(seconds));
            const DialPrediction blind = PredictEt(runs, seconds, std::nullopt);
            ASSERT_TRUE(p.et && blind.et && p.spread);
            EXPECT_TRUE(p.usedAir);
            for (const int key : {-1, track}) {
                predicted[key] += std::abs(*p.et - run.et);
                lastThree[key] += std::abs(*blind.et - run.et);
                noise[key] += std::abs(run.et - run.expectedEt);
            }
            within += std::abs(*p.et - run.et) <= *p.spread ? 1 : 0;
            ++n;
        }
        runs.push_back({seconds, run.et, run.rt, timeline.At(seconds)});
    }
    ASSERT_GT(n, 500);
    for (const int key : {-1, 0, 1, 2}) {
        SCOPED_TRACE(key);
        EXPECT_LT(predicted[key], 0.7 * lastThree[key]);
        EXPECT_LT(predicted[key], 1.5 * noise[key]);
    }
    EXPECT_GT(within, 0.85 * n);  // the spread holds about 95 % of runs
    // The season itself: three heights, weather all day, some aborted runs, time trials first.
    EXPECT_EQ(season.tracks.size(), 3u);
    EXPECT_EQ(season.weather.size(), 8u * 53u);
    const auto aborted = std::count_if(season.runs.begin(), season.runs.end(),
                                       [](const SeasonRun& r) { return r.aborted; });
    EXPECT_GT(aborted, 0);
    std::map<std::pair<int, int>, int> seen;  // (car, event) → runs so far
    for (const SeasonRun& r : season.runs) {
        EXPECT_EQ(r.timeTrial, seen[std::pair(r.car, r.event)]++ < options.timeTrials);
    }
    EXPECT_EQ(GenerateAirSeason(options).runs.back().et, season.runs.back().et);
}

}  // namespace
}  // namespace orvanrx::air
