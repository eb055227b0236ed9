#include "analysis/CarFiguresTracker.h"

#include <QSet>
#include <algorithm>

#include "analysis/LogFigures.h"

namespace orvanrx {

using stats::Trimmed;

namespace {

bool ByNumber(const CarFigures& a, const CarFigures& b) {
    return CarNumberLess(a.car, b.car);
}

// The car numbers of rows `from` up to the end of the table.
QStringList CarsFrom(const RunTable& table, int from) {
    QStringList cars;
    for (int row = from; row < table.RowCount(); ++row) {
        const QString car = Trimmed(table.Row(row)->at(RunColumn::Car));
        if (!car.isEmpty() && !cars.contains(car)) {
            cars.append(car);
        }
    }
    return cars;
}

}  // namespace

void CarFiguresTracker::Update(const RunTable& table) {
    // Every row but those of the latest race is folded in; those two may still be rewritten.
    const int foldTo = std::max(0, table.RowCount() - 2);
    const bool startOver =
        held_.empty() || static_cast<int>(held_.size()) > foldTo || !StillHolds(table);
    if (startOver) {
        StartOver();
    }
    QSet<QString> changed(latestCars_.cbegin(), latestCars_.cend());
    for (int row = static_cast<int>(held_.size()); row < foldTo; ++row) {
        const QString car = Fold(table, row);
        if (!car.isEmpty()) {
            changed.insert(car);
        }
    }
    latestCars_ = CarsFrom(table, foldTo);
    for (const QString& car : latestCars_) {
        changed.insert(car);
    }

    // A few cars are put in their places; many, and every car is made anew in number order.
    constexpr qsizetype kFewCars = 64;
    if (!startOver && changed.size() <= kFewCars) {
        for (const QString& car : changed) {
            if (index_.contains(car) || latestCars_.contains(car)) {
                Place(FiguresOf(car, table, foldTo));
            } else {
                Remove(car);  // it was only in the latest race, which now holds other cars
            }
        }
        return;
    }
    QStringList cars = index_.keys();
    for (const QString& car : latestCars_) {
        if (!index_.contains(car)) {
            cars.append(car);
        }
    }
    std::sort(cars.begin(), cars.end(), CarNumberLess);
    figures_.clear();
    figures_.reserve(static_cast<std::size_t>(cars.size()));
    for (const QString& car : cars) {
        figures_.push_back(FiguresOf(car, table, foldTo));
    }
}

const CarFigures* CarFiguresTracker::Find(const QString& car) const {
    CarFigures key;
    key.car = car.trimmed();
    const auto it = std::lower_bound(figures_.begin(), figures_.end(), key, ByNumber);
    return it != figures_.end() && it->car == key.car ? &*it : nullptr;
}

bool CarFiguresTracker::StillHolds(const RunTable& table) const {
    // A held cell shares its text with the table's cell for as long as that cell is not
    // given another text; the held reference keeps the old text alive, so a new text can
    // never sit at the same address.
    for (std::size_t row = 0; row < held_.size(); ++row) {
        const RunRow& cells = *table.Row(static_cast<int>(row));
        const HeldCells& held = held_[row];
        for (std::size_t i = 0; i < kReadColumns.size(); ++i) {
            const QString& cell = cells[static_cast<std::size_t>(kReadColumns[i])];
            if (cell.constData() != held[i].constData() || cell.size() != held[i].size()) {
                return false;
            }
        }
    }
    return true;
}

void CarFiguresTracker::StartOver() {
    index_.clear();
    builders_.clear();
    held_.clear();
    figures_.clear();
    latestCars_.clear();
    categoryNames_ = stats::CategoryNames();
}

QString CarFiguresTracker::Fold(const RunTable& table, int row) {
    const RunRow& cells = *table.Row(row);
    HeldCells& held = held_.emplace_back();
    for (std::size_t i = 0; i < kReadColumns.size(); ++i) {
        held[i] = cells[static_cast<std::size_t>(kReadColumns[i])];
    }
    const QString car = Trimmed(cells[RunColumn::Car]);
    if (car.isEmpty()) {
        return car;
    }
    auto it = index_.constFind(car);
    if (it == index_.constEnd()) {
        it = index_.insert(car, builders_.size());
        builders_.emplace_back(car, categoryNames_);
    }
    CarRun run;
    stats::ReadFigures(cells, *table.Row(row ^ 1), run);
    builders_[it.value()].Add(run, cells[RunColumn::DateTime], cells[RunColumn::Category],
                              cells[RunColumn::Name]);
    return car;
}

CarFigures CarFiguresTracker::FiguresOf(const QString& car, const RunTable& table, int from) {
    const auto it = index_.constFind(car);
    stats::CarFiguresBuilder builder = it != index_.constEnd()
                                           ? builders_[it.value()]
                                           : stats::CarFiguresBuilder(car, categoryNames_);
    for (int row = from; row < table.RowCount(); ++row) {
        const RunRow& cells = *table.Row(row);
        if (Trimmed(cells[RunColumn::Car]) == car) {
            CarRun run;
            stats::ReadFigures(cells, *table.Row(row ^ 1), run);
            builder.Add(run, cells[RunColumn::DateTime], cells[RunColumn::Category],
                        cells[RunColumn::Name]);
        }
    }
    return builder.Finish();
}

void CarFiguresTracker::Place(CarFigures figures) {
    const auto it = std::lower_bound(figures_.begin(), figures_.end(), figures, ByNumber);
    if (it != figures_.end() && it->car == figures.car) {
        *it = std::move(figures);
    } else {
        figures_.insert(it, std::move(figures));
    }
}

void CarFiguresTracker::Remove(const QString& car) {
    CarFigures key;
    key.car = car;
    const auto it = std::lower_bound(figures_.begin(), figures_.end(), key, ByNumber);
    if (it != figures_.end() && it->car == car) {
        figures_.erase(it);
    }
}

}  // namespace orvanrx
