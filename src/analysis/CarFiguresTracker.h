#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

#include "analysis/CarFiguresBuilder.h"
#include "analysis/CarStats.h"
#include "decoding/RunTables.h"

namespace orvanrx {

// The figures of every car of a race log, kept up to date as races arrive: what a window
// showing the statistics of the live log holds, updated after each change of the run tables.
//
// The decoder only ever rewrites the two rows of the latest race. So the tracker folds every
// earlier row into running figures once, and on each update figures again only the cars of
// the rows written since and of the latest race. It holds a reference to every cell it has
// folded in, so any other change (a log opened, the log cleared) shows as a cell that is no
// longer the one it read; it then starts over, as ComputeCarFigures would. Its figures are
// always exactly those of ComputeCarFigures(table).
class CarFiguresTracker {
public:
    CarFiguresTracker() = default;
    CarFiguresTracker(const CarFiguresTracker&) = delete;
    CarFiguresTracker& operator=(const CarFiguresTracker&) = delete;

    // Brings the figures up to date with `table`. Cheap when only the latest race's rows were
    // written or added since the last update; otherwise as dear as ComputeCarFigures.
    void Update(const RunTable& table);

    // Every car's figures, ordered by CarNumberLess.
    const std::vector<CarFigures>& Figures() const { return figures_; }

    // One car's figures (the number trimmed), or nothing.
    const CarFigures* Find(const QString& car) const;

private:
    // The columns the figures read; a folded row's cells of these columns are held.
    static constexpr std::array<RunColumn, 12> kReadColumns{
        RunColumn::Car,     RunColumn::Name,   RunColumn::DateTime, RunColumn::Category,
        RunColumn::Dial,    RunColumn::RT,     RunColumn::et60,     RunColumn::et1320,
        RunColumn::mph1320, RunColumn::margin, RunColumn::overund,  RunColumn::win};
    using HeldCells = std::array<QString, kReadColumns.size()>;

    bool StillHolds(const RunTable& table) const;
    void StartOver();
    // Folds the row into its car's builder and holds its cells; gives the car number.
    QString Fold(const RunTable& table, int row);
    // A car's figures: its folded runs and its runs in rows `from` up to the end.
    CarFigures FiguresOf(const QString& car, const RunTable& table, int from);
    // Puts a car's figures in their place, replacing the car's old ones.
    void Place(CarFigures figures);
    void Remove(const QString& car);

    stats::CategoryNames categoryNames_;
    QHash<QString, std::size_t> index_;               // car number -> builder
    std::vector<stats::CarFiguresBuilder> builders_;  // over the folded rows
    std::vector<HeldCells> held_;                     // one per folded row
    std::vector<CarFigures> figures_;
    QStringList latestCars_;  // the car numbers of the rows not folded at the last update
};

}  // namespace orvanrx
