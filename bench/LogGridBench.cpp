// Loading a race log of 10,000 races (20,000 rows) into the log grid, beside filling a
// QStandardItemModel with the same rows, and the memory the loaded grid takes.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QHash>
#include <QStandardItemModel>
#include <algorithm>
#include <memory>
#include <numeric>

#include "decoding/RunTables.h"
#include "views/LogGridModel.h"

namespace orvanrx {
namespace {

constexpr int kRaces = 10000;

QString Decimal(int value, int decimals) {
    return QString::number(value / 1000.0, 'f', decimals);
}

// A day of racing as the decoder leaves it: the categories run in blocks of 40 races, round
// after round; every cell its own text, as each race is decoded on its own.
RunRow LaneRow(int race, bool left, const QString& category) {
    const int v = race * 37 + (left ? 0 : 11);
    RunRow row;
    row[RunColumn::GeneralID] = QString::number(left ? 2 * race + 1 : 2 * race);
    row[RunColumn::DateTime] = QStringLiteral("2026-12-04 %1:%2:%3")
                                   .arg(8 + race / 1200, 2, 10, QLatin1Char('0'))
                                   .arg(race / 20 % 60, 2, 10, QLatin1Char('0'))
                                   .arg(race % 60, 2, 10, QLatin1Char('0'));
    row[RunColumn::Category] = category;
    row[RunColumn::Class] = QStringLiteral("SP");
    row[RunColumn::Car] = QString::number(100 + v % 9000);
    row[RunColumn::Name] = left ? QStringLiteral("DOE, JOHN") : QStringLiteral("RACER JANE Q");
    row[RunColumn::Lane] = left ? QStringLiteral("L") : QStringLiteral("R");
    row[RunColumn::Dial] = Decimal(9000 + v % 3000, 2);
    row[RunColumn::RT] = Decimal(400 + v % 300, 3);
    row[RunColumn::et60] = Decimal(1200 + v % 300, 3);
    row[RunColumn::et330] = Decimal(3600 + v % 500, 3);
    row[RunColumn::et660] = Decimal(5600 + v % 700, 3);
    row[RunColumn::mph660] = Decimal(110000 + v % 20000, 2);
    row[RunColumn::et1000] = Decimal(7400 + v % 900, 3);
    row[RunColumn::et1320] = Decimal(9000 + v % 1500, 3);
    row[RunColumn::mph1320] = Decimal(135000 + v % 30000, 2);
    row[RunColumn::margin] = Decimal(v % 900, 4);
    row[RunColumn::overund] = Decimal(v % 200, 3);
    row[RunColumn::win] = left == (race % 2 == 0) ? QStringLiteral("W") : QString();
    return row;
}

std::unique_ptr<RunTable> DayOfRacing() {
    static const char* const kNames[] = {"SUPER PRO", "PRO ET", "SPORTSMAN",     "STREET",
                                         "JUNIOR",    "BIKE",   "TOP SPORTSMAN", "SUPER STREET"};
    auto table = std::make_unique<RunTable>();
    table->StartNew();
    for (int race = 0; race < kRaces; ++race) {
        if (race > 0) {
            table->OpenNextPair();
        }
        const int block = race / 40;
        const QString category =
            QStringLiteral("%1 E%2").arg(QLatin1String(kNames[block % 8])).arg(block / 8 % 9);
        *table->MutableRow(table->LeftRow()) = LaneRow(race, true, category);
        *table->MutableRow(table->RightRow()) = LaneRow(race, false, category);
    }
    return table;
}

void SetUpAsRaceLog(LogGridModel& grid) {
    grid.SetGroupBy(u"Category");
    grid.SetFormatCondition(SetOfCarsCondition());
}

void BM_LogGridLoadRaceLog(benchmark::State& state) {
    const std::unique_ptr<RunTable> table = DayOfRacing();
    LogGridModel grid(LogGridFlavour::RaceLog);
    SetUpAsRaceLog(grid);
    for (auto _ : state) {
        grid.Load(*table);
    }
    if (grid.rowCount() != 8 * 9) {  // every category in every round
        state.SkipWithError("unexpected groups");
    }
    state.counters["groups"] = grid.rowCount();
}
BENCHMARK(BM_LogGridLoadRaceLog)->Unit(benchmark::kMillisecond);

// The filter window's grid: no groups, fourteen columns converted to numbers and date-times.
void BM_LogGridLoadFilter(benchmark::State& state) {
    const std::unique_ptr<RunTable> table = DayOfRacing();
    LogGridModel grid(LogGridFlavour::Filter);
    for (auto _ : state) {
        grid.Load(*table);
    }
    if (grid.rowCount() != 2 * kRaces) {
        state.SkipWithError("rows missing");
    }
}
BENCHMARK(BM_LogGridLoadFilter)->Unit(benchmark::kMillisecond);

// The same rows into a QStandardItemModel: one item per cell, group items holding their rows.
// Only the filling is timed; the grid order and the groups are worked out beforehand.
void BM_StandardItemModelFill(benchmark::State& state) {
    const std::unique_ptr<RunTable> table = DayOfRacing();
    std::vector<int> order(static_cast<std::size_t>(table->RowCount()));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        return table->Cell(a, RunColumn::GeneralID).toInt() >
               table->Cell(b, RunColumn::GeneralID).toInt();
    });
    QList<QString> groups;
    QHash<QString, QList<int>> rowsOf;
    for (const int r : order) {
        const QString category = table->Cell(r, RunColumn::Category);
        if (!rowsOf.contains(category)) {
            groups.push_back(category);
        }
        rowsOf[category].push_back(r);
    }
    QStandardItemModel model;
    for (auto _ : state) {
        model.clear();
        model.setColumnCount(kRunColumnCount);
        for (const QString& group : groups) {
            auto* header = new QStandardItem(group);
            for (const int r : rowsOf.value(group)) {
                QList<QStandardItem*> items;
                items.reserve(kRunColumnCount);
                for (const QString& text : *table->Row(r)) {
                    items.push_back(new QStandardItem(text));
                }
                header->appendRow(items);
            }
            model.appendRow(header);
        }
    }
    state.counters["groups"] = model.rowCount();
}
BENCHMARK(BM_StandardItemModelFill)->Unit(benchmark::kMillisecond);

// For scale: only reading one character of every cell of the table, which any grid that copied
// the texts at each load would have to do at least.
void BM_ReadEveryCell(benchmark::State& state) {
    const std::unique_ptr<RunTable> table = DayOfRacing();
    for (auto _ : state) {
        std::size_t sum = 0;
        for (int r = table->RowCount() - 1; r >= 0; --r) {
            for (const QString& text : *table->Row(r)) {
                sum += text.isEmpty() ? 0 : text.front().unicode();
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_ReadEveryCell)->Unit(benchmark::kMillisecond);

double HeapMegabytes() {
    return static_cast<double>(mallinfo2().uordblks) / (1024.0 * 1024.0);
}

// Heap in use: the table; the loaded grid over an empty one while the table lives (the grid
// shares the table's rows); and what the grid keeps alive by itself once the table is gone.
void BM_LogGridMemory(benchmark::State& state) {
    for (auto _ : state) {
        const double start = HeapMegabytes();
        std::unique_ptr<RunTable> table = DayOfRacing();
        const double withTable = HeapMegabytes();
        auto grid = std::make_unique<LogGridModel>(LogGridFlavour::RaceLog);
        SetUpAsRaceLog(*grid);
        const double emptyGrid = HeapMegabytes();
        grid->Load(*table);
        const double loaded = HeapMegabytes();
        table.reset();
        const double gridAlone = HeapMegabytes();
        grid.reset();
        state.counters["table_MB"] = withTable - start;
        state.counters["grid_over_empty_MB"] = loaded - emptyGrid;
        state.counters["grid_without_table_MB"] = gridAlone - start;
    }
}
BENCHMARK(BM_LogGridMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvanrx
