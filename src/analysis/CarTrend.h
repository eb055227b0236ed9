#pragma once

#include <QString>
#include <array>
#include <vector>

#include "analysis/CarStats.h"

// A car's figures run by run, for its charts.
namespace orvanrx {

enum class TrendFigure { SixtyFoot, Et, Mph, Rt };

// The figure's name as a chart's title: "60 ft", "1/4 mile ET", "1/4 mile MPH", "Reaction
// time".
QString TrendFigureTitle(TrendFigure figure);

struct TrendPoint {
    double x = 0;  // see CarTrend::timed
    double y = 0;
    RunResult result = RunResult::Undecided;
    friend bool operator==(const TrendPoint&, const TrendPoint&) = default;
};

struct CarTrend {
    // True: x is the run's time of day as milliseconds since the epoch (the DateTime cell,
    // local time at the UTC offset of the first run's time, so a day that crosses a change of
    // the clocks keeps its runs evenly spaced). False: x is the run's number in the list, from
    // 1, because a run's DateTime could not be read.
    bool timed = false;
    // True when every run is of one day (a chart's time axis then needs no date).
    bool oneDay = true;
    // One point per run that has the figure, in the order of the runs. Red lights are points
    // below zero.
    std::vector<TrendPoint> points;
};

CarTrend TrendOf(const std::vector<CarRun>& runs, TrendFigure figure);

// The trends of every figure, in the order of TrendFigure, reading each run's time once.
std::array<CarTrend, 4> TrendsOf(const std::vector<CarRun>& runs);

}  // namespace orvanrx
