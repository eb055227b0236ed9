#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <optional>
#include <vector>

#include "analysis/CarStats.h"
#include "decoding/RunTables.h"

// The parts the per-car statistics are made of, shared by the one-off computations of
// CarStats.h and by CarFiguresTracker. Not needed by a window.
namespace orvanrx::stats {

// The cell without blanks at either end, sharing the cell's text when it has none (as the
// decoder writes them), so that reading a log allocates no copies of its cells.
QString Trimmed(const QString& cell);

// Sets every number of the run in `own` and how it ended (`other` is the other lane's row);
// the texts and row numbers of `run` are left alone.
void ReadFigures(const RunRow& own, const RunRow& other, CarRun& run);

// The values of one figure as they come: count, lowest, highest, sum, and squares about the
// first value (which keeps the standard deviation exact for values far from zero), with the
// last three in a ring.
class Accumulator {
public:
    void Add(const std::optional<double>& value);
    std::optional<double> Mean() const;
    FigureSummary Summary(bool higherIsBetter) const;
    // The last up to three values, oldest first.
    std::vector<double> LastThree() const;

private:
    int count_ = 0;
    double shift_ = 0.0;
    double lowest_ = 0.0;
    double highest_ = 0.0;
    double sum_ = 0.0;
    double shiftedSum_ = 0.0;
    double shiftedSquares_ = 0.0;
    std::array<double, 3> last_{};
};

// The category names met so far, each kept as one text that every car's list shares.
class CategoryNames {
public:
    QString Shared(QStringView name);

private:
    std::vector<QString> names_;
};

// The figures of one car, gathered run by run in log order. A copy goes on from where the
// original stood, so the figures of a car can be taken with and without its latest runs.
class CarFiguresBuilder {
public:
    // `categoryNames` must outlive the builder and its copies.
    CarFiguresBuilder(const QString& car, CategoryNames& categoryNames);

    // The run's numbers and result from `run`, its texts from the cells given.
    void Add(const CarRun& run, const QString& dateTimeCell, const QString& categoryCell,
             const QString& nameCell);

    // The figures; the builder is spent.
    CarFigures Finish();

private:
    DialSuggestion SuggestDial() const;

    CategoryNames* categoryNames_;
    CarFigures figures_;
    Accumulator rts_;
    Accumulator sixties_;
    Accumulator ets_;
    Accumulator speeds_;
    Accumulator overUnders_;
    Accumulator packages_;
    std::optional<double> bestPackage_;
    // The 1/4-mile time and DateTime cell of the last three timed runs, in a ring.
    std::array<std::pair<double, QString>, 3> lastTimed_;
    int timedRuns_ = 0;
};

}  // namespace orvanrx::stats
