#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "decoding/RunTables.h"

// Per-car statistics of a race log: what racers work out by hand from the slips of a day.
// The functions here compute from the whole table; a window that follows the live log keeps
// a CarFiguresTracker instead, which gives the same figures for a fraction of the work.
//
// A car is a car number (the Car cell, blanks trimmed) across every category it ran in; the
// categories and driver names it appeared with are listed, and each run keeps its category,
// so a selection of runs (one category, one day) can be summarised on its own. Rows are read
// two at a time, left lane first, as the run tables keep them; a row without a car number is
// nobody's run. Figures are computed from the cells' texts with ParseFigure: a cell that is
// not a number is left out of a figure, never counted as zero, and a figure with no value at
// all is nothing (shown as a dash, see FigureText.h).
namespace orvanrx {

// How a race ended for one of its cars, by the win marks of the race's two rows.
enum class RunResult {
    Win,        // its row has the mark, the other lane's row has not
    Loss,       // the other lane's row has the mark, its row has not
    Bye,        // nobody in the other lane (no car number there): a solo run, marks aside
    Undecided,  // no mark in either lane (the race never finished), or a mark in both
};

// One run of a car: its row of the log with the figures as numbers, for lists and charts.
struct CarRun {
    int row = -1;       // the car's row in the run table
    int otherRow = -1;  // the other lane's row of the same race
    bool leftLane = true;
    QString dateTime;  // the DateTime cell
    QString category;  // the Category cell, round code included
    QString name;      // the Name cell
    QString opponent;  // the other lane's car number; empty for a bye
    // The Dial cell when it holds a number: a dial-in (bracket) run. Empty or any other text
    // (heads-up racing, where the Bump cell holds the bump spot) is a run without a dial-in.
    std::optional<double> dial;
    std::optional<double> rt;         // reaction time; negative is a red light
    std::optional<double> sixtyFoot;  // 60-foot time (et60), positive
    std::optional<double> et;         // 1/4-mile time (et1320), positive
    std::optional<double> mph;        // 1/4-mile speed (mph1320), positive
    // Dial-in runs only: the broadcast's own over/under (the overund cell) when it is a
    // number, else ET minus dial-in when both are numbers. Negative is under the dial-in.
    std::optional<double> overUnder;
    std::optional<double> margin;  // the margin cell, signed as logged
    RunResult result = RunResult::Undecided;

    bool RedLight() const { return rt && *rt < 0.0; }
    // Quicker than the dial-in (a negative over/under); only dial-in runs can break out.
    bool Breakout() const { return overUnder && *overUnder < 0.0; }
    // RT + over/under, the figure a bracket racer judges a run by: only for a dial-in run
    // with a green light (RT zero or more) and an over/under.
    std::optional<double> Package() const;
};

// Count, best, mean and sample standard deviation of the values a figure has.
struct FigureSummary {
    int count = 0;
    std::optional<double> best;    // the lowest time or the highest speed
    std::optional<double> mean;    // from one value on
    std::optional<double> stdDev;  // sample standard deviation (n - 1), from two values on

    friend bool operator==(const FigureSummary&, const FigureSummary&) = default;
};

// The next dial-in to consider: the mean of the last three 1/4-mile times of the day of the
// car's latest timed run (fewer when the day has fewer), with their spread (highest minus
// lowest) so that the racer sees how far to trust it.
struct DialSuggestion {
    std::optional<double> dial;
    std::optional<double> spread;  // from two times on
    int basis = 0;                 // how many times the mean is made of: 0 to 3

    friend bool operator==(const DialSuggestion&, const DialSuggestion&) = default;
};

// The figures of one car.
struct CarFigures {
    QString car;
    QStringList categories;  // category names (round codes dropped), in order of first run
    QStringList names;       // driver names as logged, in order of first run

    int runs = 0;
    int wins = 0;
    int losses = 0;
    int byes = 0;
    int undecided = 0;

    FigureSummary rt;  // green lights only: a red light is no reaction time to improve on
    int redLights = 0;
    FigureSummary sixtyFoot;
    std::vector<double> lastSixtyFoot;  // the last up to three, oldest first
    FigureSummary et;
    std::vector<double> lastEt;  // the last up to three, oldest first
    FigureSummary mph;           // best is the highest

    int dialInRuns = 0;
    int breakouts = 0;
    std::optional<double> meanOverUnder;  // signed, over every dial-in run that has one
    // Packages of the dial-in runs with a green light: the mean over all of them, the best
    // as the lowest among those that did not break out.
    std::optional<double> meanPackage;
    std::optional<double> bestPackage;
    DialSuggestion nextDial;

    friend bool operator==(const CarFigures&, const CarFigures&) = default;
};

// The run in `row` of the table, read for the car in that row (whose number may be empty).
CarRun ReadCarRun(const RunTable& table, int row);

// The runs of one car in log order, for its list and charts; the car number is compared with
// the trimmed Car cell. Empty when the car has no row.
std::vector<CarRun> ReadCarRuns(const RunTable& table, const QString& car);

// The figures of `car` from runs in log order: all of its runs, or any selection of them
// (one category, one day).
CarFigures SummarizeRuns(const QString& car, const std::vector<CarRun>& runs);

// The figures of every car in the log, ordered by CarNumberLess, in one pass over the rows
// (the run lists are not kept: ReadCarRuns gives those of the car on show).
std::vector<CarFigures> ComputeCarFigures(const RunTable& table);

}  // namespace orvanrx
