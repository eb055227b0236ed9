#include "analysis/CarStats.h"

#include <QHash>
#include <algorithm>

#include "analysis/CarFiguresBuilder.h"
#include "analysis/LogFigures.h"

namespace orvanrx {

using stats::CarFiguresBuilder;
using stats::CategoryNames;
using stats::Trimmed;

std::optional<double> CarRun::Package() const {
    if (!rt || RedLight() || !overUnder) {
        return std::nullopt;
    }
    return *rt + *overUnder;
}

CarRun ReadCarRun(const RunTable& table, int row) {
    CarRun run;
    const RunRow* own = table.Row(row);
    const RunRow* other = table.Row(row ^ 1);
    if (!own || !other) {
        return run;
    }
    run.row = row;
    run.otherRow = row ^ 1;
    run.leftLane = row % 2 == 0;
    run.dateTime = (*own)[RunColumn::DateTime];
    run.category = (*own)[RunColumn::Category];
    run.name = Trimmed((*own)[RunColumn::Name]);
    run.opponent = Trimmed((*other)[RunColumn::Car]);
    stats::ReadFigures(*own, *other, run);
    return run;
}

std::vector<CarRun> ReadCarRuns(const RunTable& table, const QString& car) {
    std::vector<CarRun> runs;
    const QStringView wanted = QStringView(car).trimmed();
    if (wanted.isEmpty()) {
        return runs;
    }
    for (int row = 0; row < table.RowCount(); ++row) {
        if (QStringView(table.Row(row)->at(RunColumn::Car)).trimmed() == wanted) {
            runs.push_back(ReadCarRun(table, row));
        }
    }
    return runs;
}

CarFigures SummarizeRuns(const QString& car, const std::vector<CarRun>& runs) {
    CategoryNames categoryNames;
    CarFiguresBuilder builder(car.trimmed(), categoryNames);
    for (const CarRun& run : runs) {
        builder.Add(run, run.dateTime, run.category, run.name);
    }
    return builder.Finish();
}

std::vector<CarFigures> ComputeCarFigures(const RunTable& table) {
    // One pass over the rows: each run goes to its car's builder as it is read.
    QHash<QString, std::size_t> index;
    CategoryNames categoryNames;
    std::vector<CarFiguresBuilder> builders;
    builders.reserve(static_cast<std::size_t>(table.RowCount() / 4));
    CarRun run;  // only its numbers and result are read here
    for (int row = 0; row < table.RowCount(); ++row) {
        const RunRow& r = *table.Row(row);
        const QString car = Trimmed(r[RunColumn::Car]);
        if (car.isEmpty()) {
            continue;
        }
        auto it = index.constFind(car);
        if (it == index.constEnd()) {
            it = index.insert(car, builders.size());
            builders.emplace_back(car, categoryNames);
        }
        stats::ReadFigures(r, *table.Row(row ^ 1), run);
        builders[it.value()].Add(run, r[RunColumn::DateTime], r[RunColumn::Category],
                                 r[RunColumn::Name]);
    }

    // Sorted as numbers and builders: a car's figures are made in their place.
    std::vector<std::pair<QString, std::size_t>> order;
    order.reserve(builders.size());
    for (auto it = index.cbegin(); it != index.cend(); ++it) {
        order.emplace_back(it.key(), it.value());
    }
    std::sort(order.begin(), order.end(),
              [](const auto& a, const auto& b) { return CarNumberLess(a.first, b.first); });
    std::vector<CarFigures> figures;
    figures.reserve(order.size());
    for (const auto& [car, builder] : order) {
        figures.push_back(builders[builder].Finish());
    }
    return figures;
}

}  // namespace orvanrx
