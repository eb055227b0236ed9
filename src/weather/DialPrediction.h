#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "weather/Air.h"

// The next 1/4-mile time of a car, from its own earlier runs corrected to the air of the
// moment asked about.
//
// The model: a car's ET is its level of the day plus its own amounts per degree of
// temperature and per hectopascal of dry-air pressure (the humidity acts through the dry-air
// pressure), both taken as differences from the air of the moment. One least-squares fit over
// the car's last 40 days of clean runs with their air finds a level per day and the two
// amounts. A change of level from one day to the next is penalised as much as a car's form
// wanders between meets against the scatter of its runs (so recent days count most for the
// level, while every day counts for the amounts). The amounts are held toward a fleet default
// (an engine's power goes with the SAE J1349 factor and ET with the cube root of power, taken
// at the factor's standard air) as strongly as cars are seen to differ from it: a car with
// little history or air that never changed keeps about the default, one with runs across
// days and tracks its own. The prediction is the latest day's level: the car's runs corrected
// to the air of the moment.
//
// Left out: runs without an ET, red-light runs (a tip-toe is no full run), runs far off the
// car's usual time (lifts, breakage): more than 15 % off the median of its recent runs, then
// more than four scatters (and at least 0.05 s) off a robust fit (Huber's weights, so one
// lift cannot pull the fit onto itself and push a good run out). Without the air of the
// moment, or without a run with its air, the prediction is the mean of the last three clean
// runs.
namespace orvanrx::air {

struct PredictorRun {
    std::int64_t seconds = 0;  // the run's time on the SecondsOf scale
    double et = 0.0;
    std::optional<double> rt;  // negative: a red light
    std::optional<AirReading> air;
};

struct DialPrediction {
    std::optional<double> et;
    // How far the next run may land: twice the car's run scatter (its robust deviation from
    // the fit), widened by how uncertain the fit's level is (about 95 % of runs within
    // ± spread of the ET), or for the mean of three their highest minus lowest.
    std::optional<double> spread;
    int runs = 0;          // how many of the car's runs the prediction rests on
    bool usedAir = false;  // false: the mean of the last three clean runs
    // The learned response, seconds of ET per °C and per hPa of dry-air pressure.
    double perDegree = 0.0;
    double perHpa = 0.0;
};

// The prediction for the moment `at` from the runs strictly before it (later ones are never
// looked at); `airAt` is the air at that moment when known.
DialPrediction PredictEt(const std::vector<PredictorRun>& runs, std::int64_t at,
                         const std::optional<AirReading>& airAt);

}  // namespace orvanrx::air
