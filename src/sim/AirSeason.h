#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "decoding/RunTables.h"
#include "weather/Air.h"

// A season of race days whose elapsed times follow the air: events at tracks of three heights,
// the weather of each day (a station's samples every 15 minutes), and each car's runs made in
// that air. Each car answers the air by its own amounts: its ET grows by its own fraction per
// °C over 25 °C and per hPa of dry-air pressure under 990 hPa (the air an SAE J1349 figure is
// corrected to). Besides, each car's form wanders a little from event to event, every run has
// the car's own scatter, and some runs are aborted (a lift: far slower) or red-lit tip-toes.
// A car's first runs at an event are time trials, made without a dial-in, as at a real meet:
// the racer learns the day's air and track from them before eliminations.
// The same seed gives the same season.
namespace orvanrx {

struct AirSeasonOptions {
    int cars = 300;      // clamped to 2..2000
    int events = 8;      // clamped to 1..60
    int runsPerCar = 5;  // each car's runs at an event it attends, about; 1..12
    std::uint32_t seed = 1;
    double abortedShare = 0.04;  // lifts and breakage
    double redLightShare = 0.02;
    int timeTrials = 2;                               // each car's first runs at an event; 0..12
    QString firstDay = QStringLiteral("2026-04-04");  // events every two weeks from this day
};

struct SeasonTrack {
    QString name;
    double elevationFt = 0.0;
};

// One car's run as the simulation made it.
struct SeasonRun {
    int car = 0;  // index into the season's cars
    int event = 0;
    QString time;  // "yyyy-MM-dd HH:mm:ss"
    double et = 0.0;
    double expectedEt = 0.0;  // what the car would run in the air of the moment, its scatter aside
    double rt = 0.0;
    bool aborted = false;
    bool timeTrial = false;  // no dial-in: the car's first runs of the event
    bool redLight() const { return rt < 0.0; }
};

struct SeasonCar {
    QString number;
    QString name;
    double baseEt = 0.0;     // at 25 °C and 990 hPa dry
    double perDegree = 0.0;  // fraction of the ET per °C
    double perHpa = 0.0;     // fraction of the ET per hPa of dry-air pressure less
    double scatter = 0.0;    // standard deviation of a run, seconds
};

struct AirSeason {
    std::vector<SeasonTrack> tracks;
    std::vector<int> eventTrack;  // the track of each event
    std::vector<QString> eventDay;
    std::vector<SeasonCar> cars;
    std::vector<SeasonRun> runs;  // in order of time; two runs in a row of an event form a race
    std::vector<air::WeatherSample> weather;
};

AirSeason GenerateAirSeason(const AirSeasonOptions& options);

// The season's races as race-log rows, two a race (left lane first), with the track of each.
struct SeasonRace {
    int event = 0;
    RunRow left;
    RunRow right;
};
std::vector<SeasonRace> SeasonRaces(const AirSeason& season);

}  // namespace orvanrx
