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

// A generated season: the prediction beats the mean of the last three by far and comes near
// the runs' own scatter. (The benchmark in bench/ does the same on a larger season.)
TEST(DialPredictionTest, BeatsTheLastThreeOnAGeneratedSeason) {
    AirSeasonOptions options;
    options.cars = 40;
    options.events = 8;
    options.seed = 3;
    const AirSeason season = GenerateAirSeason(options);
    const WeatherTimeline timeline(season.weather);
    std::map<int, std::vector<PredictorRun>> history;
    std::map<int, std::set<int>> heights;  // the tracks each car has run at
    double predicted = 0.0;
    double lastThree = 0.0;
    // Runs at a track the car knows: what the response learned from its history can do.
    double known = 0.0;
    double knownNoise = 0.0;
    int n = 0;
    int nKnown = 0;
    for (const SeasonRun& run : season.runs) {
        const std::int64_t seconds = *SecondsOf(run.time);
        auto& runs = history[run.car];
        const int track = season.eventTrack[static_cast<std::size_t>(run.event)];
        if (!run.aborted && !run.redLight() && runs.size() >= 3) {
            const DialPrediction p = PredictEt(runs, seconds, timeline.At(seconds));
            const DialPrediction blind = PredictEt(runs, seconds, std::nullopt);
            ASSERT_TRUE(p.et && blind.et);
            predicted += std::abs(*p.et - run.et);
            lastThree += std::abs(*blind.et - run.et);
            ++n;
            if (heights[run.car].size() >= 2 && heights[run.car].contains(track)) {
                known += std::abs(*p.et - run.et);
                knownNoise += std::abs(run.et - run.expectedEt);
                ++nKnown;
            }
        }
        runs.push_back({seconds, run.et, run.rt, timeline.At(seconds)});
        heights[run.car].insert(track);
    }
    ASSERT_GT(n, 500);
    ASSERT_GT(nKnown, 300);
    EXPECT_LT(predicted, 0.3 * lastThree);
    EXPECT_LT(known, 1.8 * knownNoise);
    // The season itself: three heights, weather all day, some aborted runs.
    EXPECT_EQ(season.tracks.size(), 3u);
    EXPECT_EQ(season.weather.size(), 8u * 53u);
    const auto aborted = std::count_if(season.runs.begin(), season.runs.end(),
                                       [](const SeasonRun& r) { return r.aborted; });
    EXPECT_GT(aborted, 0);
    EXPECT_EQ(GenerateAirSeason(options).runs.back().et, season.runs.back().et);
}

}  // namespace
}  // namespace orvanrx::air
