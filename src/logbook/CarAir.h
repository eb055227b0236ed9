#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/CarStats.h"
#include "logbook/Logbook.h"
#include "weather/Air.h"
#include "weather/DialPrediction.h"

// A car's runs against the air of the logbook's weather: the runs the next dial-in rests on,
// the prediction itself as `orvanrx-cli predict` and the statistics window give it, and the
// car's 1/4-mile times against the density altitude of each run's air.
namespace orvanrx {

// The car's runs of the logbook with an ET and a time, in order of time, each with the air at
// its time when the timeline knows it (what PredictEt takes).
std::vector<air::PredictorRun> PredictorRunsOf(Logbook& logbook, const QString& car,
                                               const air::WeatherTimeline& timeline);

struct CarDialIn {
    QString car;
    QString at;  // the moment, "yyyy-MM-dd HH:mm:ss"
    std::optional<air::AirReading> airAt;
    air::DialPrediction prediction;
};

// The next 1/4-mile ET of `car` at the moment `at` ("yyyy-MM-dd HH:mm:ss"), from every one of
// its runs in the logbook before that moment (tracks and rounds alike: the car's response to
// the air is learned across them) and the logbook's weather. A moment that is not a time
// predicts nothing.
CarDialIn PredictCarEt(Logbook& logbook, const QString& car, const QString& at);
CarDialIn PredictCarEt(Logbook& logbook, const QString& car, const QString& at,
                       const air::WeatherTimeline& timeline);

// The moment just after the chosen races, for a next dial-in "at the end of the range": one
// second after the last of `races` (in order of time, as SelectRaces gives them), or the end of
// the day `until` when there is none.
QString MomentAfter(const RunTable& races, const QString& until);

// One line about a prediction for a window: "Next dial-in 10.512 ± 0.034 s at 2026-06-01
// 18:00:00, from 14 runs, corrected to the air (2,350 ft density altitude)" or "… the mean of
// the last three (no air known at that moment)"; "No next dial-in for car 77: no clean run
// before 2026-06-01 18:00:00." when there is none.
QString DialInText(const CarDialIn& dialIn);

// A run of the car with the air it was made in.
struct EtAirPoint {
    QString time;
    double et = 0.0;
    double densityAltitudeFt = 0.0;
    double correction = 1.0;  // SAE J1349
    bool redLight = false;
};

// The car's ETs against the density altitude: a point per run with an ET whose air is known,
// in order of time, and a least-squares line of ET on density altitude through its full runs
// (green lights within 15 % of their median ET), when there are three of them over at least
// 300 ft.
struct EtAgainstAir {
    std::vector<EtAirPoint> points;
    int runsWithoutAir = 0;  // runs with an ET but no air at their time
    // ET = intercept + slope × density altitude (seconds, seconds per foot).
    std::optional<double> slope;
    std::optional<double> intercept;
};

EtAgainstAir EtAgainstAirOf(const std::vector<CarRun>& runs, const air::WeatherTimeline& timeline);

// What the chart shows, in words: "12 runs, ET 10.410–10.630 s over 1,200–3,400 ft density
// altitude; the line: +0.021 s per 1,000 ft." or "No run with its air known (5 without)."
QString EtAgainstAirText(const EtAgainstAir& chart);

}  // namespace orvanrx
